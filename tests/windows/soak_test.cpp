// The whole program in this process, skinned by the real engine mapped with our loader, through 1,000
// start, stop and award cycles with full repaints and a message box now and then: the GDI objects and
// device contexts the engine holds stay flat, and so do the process's GDI and USER counts.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "in_memory_module.h"
#include "loader_platform.h"
#include "resources/data_blocks.h"
#include "settings/profile_store_win32.h"
#include "shell/program.h"
#include "skin_engine_binding.h"
#include "ui/controls.h"
#include "ui/win32_toolkit.h"
#include "ui/window_description.h"

namespace quorvin {
namespace {

// GetGuiResources, or where Wine leaves it unimplemented (it answers 0), a count of our own: live GDI
// objects found by probing every slot of the process's handle table, and the windows of this thread.
DWORD gdiObjects() {
  if (const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return counted;
  DWORD live = 0;
  for (ULONG_PTR index = 0x20; index < 0x10000; ++index) live += GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0;
  return live;
}

BOOL CALLBACK countWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<DWORD*>(count);
  return TRUE;
}

BOOL CALLBACK countWindowAndChildren(HWND window, LPARAM count) {
  countWindow(window, count);
  EnumChildWindows(window, countWindow, count);
  return TRUE;
}

DWORD userObjects() {
  if (const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) return counted;
  DWORD windows = 0;
  EnumThreadWindows(GetCurrentThreadId(), countWindowAndChildren, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// The engine's own objects, counted exactly: the loader links the engine's GDI and DC imports to these
// wrappers through its import resolver.
std::set<HGDIOBJ> engineObjects;
int engineDeviceContexts = 0;

HBRUSH WINAPI countedCreateSolidBrush(COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  if (brush) engineObjects.insert(brush);
  return brush;
}
HFONT WINAPI countedCreateFontIndirectW(const LOGFONTW* font) {
  HFONT created = CreateFontIndirectW(font);
  if (created) engineObjects.insert(created);
  return created;
}
HRGN WINAPI countedCreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height) {
  HRGN region = CreateRoundRectRgn(left, top, right, bottom, width, height);
  if (region) engineObjects.insert(region);
  return region;
}
BOOL WINAPI countedDeleteObject(HGDIOBJ object) {
  const BOOL deleted = DeleteObject(object);
  if (deleted) engineObjects.erase(object);
  return deleted;
}
int WINAPI countedSetWindowRgn(HWND window, HRGN region, BOOL redraw) {
  const int set = SetWindowRgn(window, region, redraw);
  if (set) engineObjects.erase(region);  // the system owns it now
  return set;
}
HDC WINAPI countedGetDC(HWND window) {
  HDC dc = GetDC(window);
  engineDeviceContexts += dc != nullptr;
  return dc;
}
HDC WINAPI countedGetWindowDC(HWND window) {
  HDC dc = GetWindowDC(window);
  engineDeviceContexts += dc != nullptr;
  return dc;
}
int WINAPI countedReleaseDC(HWND window, HDC dc) {
  const int released = ReleaseDC(window, dc);
  engineDeviceContexts -= released != 0;
  return released;
}

struct Wrapper {
  const char* name;
  std::uintptr_t address;
};
const Wrapper kWrappers[] = {
    {"CreateSolidBrush", reinterpret_cast<std::uintptr_t>(&countedCreateSolidBrush)},
    {"CreateFontIndirectW", reinterpret_cast<std::uintptr_t>(&countedCreateFontIndirectW)},
    {"CreateRoundRectRgn", reinterpret_cast<std::uintptr_t>(&countedCreateRoundRectRgn)},
    {"DeleteObject", reinterpret_cast<std::uintptr_t>(&countedDeleteObject)},
    {"SetWindowRgn", reinterpret_cast<std::uintptr_t>(&countedSetWindowRgn)},
    {"GetDC", reinterpret_cast<std::uintptr_t>(&countedGetDC)},
    {"GetWindowDC", reinterpret_cast<std::uintptr_t>(&countedGetWindowDC)},
    {"ReleaseDC", reinterpret_cast<std::uintptr_t>(&countedReleaseDC)},
};
std::set<std::string> wrappedImports;

// The import resolver: a wrapper where there is one, else 0 so that GetProcAddress decides.
std::uintptr_t WINAPI countingResolver(const char*, const char* function, std::uintptr_t) {
  for (const Wrapper& wrapper : kWrappers)
    if (std::strcmp(function, wrapper.name) == 0) return wrappedImports.insert(function), wrapper.address;
  return 0;
}

HWND mainWindow() { return FindWindowA(kMainWindowClass, nullptr); }

HWND controlWindow(std::string_view name) {
  for (std::size_t row = 0; row < kControls.size(); ++row) {
    if (kControls[row].name != name) continue;
    HWND parent = kControls[row].container.empty() ? mainWindow() : controlWindow(kControls[row].container);
    return GetDlgItem(parent, kFirstControlId + static_cast<int>(row));
  }
  return nullptr;
}

void pumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

void click(std::string_view button) {
  SendMessageA(controlWindow(button), BM_CLICK, 0, 0);
  pumpMessages();
}

// Closes this thread's message box once its modal loop runs.
void CALLBACK dismissMessageBox(HWND, UINT, UINT_PTR timer, DWORD) {
  if (HWND box = FindWindowA("#32770", nullptr)) {
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    KillTimer(nullptr, timer);
  }
}

TEST(Soak, ThousandDrawCyclesLeaveGdiAndUserCountsFlat) {
  char folder[MAX_PATH], iniPath[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  GetTempFileNameA(folder, "qvs", 0, iniPath);
  DeleteFileA(iniPath);

  ProfileStore store(iniPath);
  struct Wiring {
    Wiring(ProfileStore& s) : program(ui, s), ui(GetModuleHandleA(nullptr), program) {}
    Program program;
    Win32Toolkit ui;
  } wiring(store);
  Win32Toolkit& ui = wiring.ui;
  wiring.program.attachBuiltInSkin = [] { AttachBuiltInSkin(builtInSkin()); };

  DWORD gdiAfterWarmUp = 0, userAfterWarmUp = 0, gdiAtEnd = 0, userAtEnd = 0;
  std::size_t engineObjectsAfterWarmUp = 0;
  int engineDcsAfterWarmUp = 0;
  bool skinned = false;
  const int code = ui.run([&] {
    createSkinEngineModule(systemLoaderPlatform());
    const DataBlockView image = skinEngineImage();
    skinEngineModule()->Load(image.bytes, static_cast<std::int32_t>(image.length),
                             reinterpret_cast<std::uintptr_t>(&countingResolver));
    skinned = skinEngineModule()->GetExport("SkinH_AttachRes") != 0;
    ui.loadMainWindow();
    ui.setText("jp11", "笔记本");
    click(kConfirmButton);
    for (int cycle = 1; cycle <= 1000; ++cycle) {
      const std::size_t level = static_cast<std::size_t>(cycle) % kPrizeLevels.size();
      click(kStartButton);
      Sleep(cycle % 50 == 0 ? 60 : 0);  // now and then a real tick of the draw timer
      click(kStopButton);
      click(kPrizeLevels[level].awardButton);
      ui.setText(kPrizeLevels[level].winnerLabel, kNoWinner);  // so that the prize can be won again
      RedrawWindow(mainWindow(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      if (cycle % 100 == 0) {
        SetTimer(nullptr, 0, 30, dismissMessageBox);
        click(kSaveWinnersButton);  // its message box, skinned, opened and closed
      }
      pumpMessages();
      // The first message box makes what the system keeps for all later ones: count after it.
      if (cycle == 150) {
        gdiAfterWarmUp = gdiObjects(), userAfterWarmUp = userObjects();
        engineObjectsAfterWarmUp = engineObjects.size(), engineDcsAfterWarmUp = engineDeviceContexts;
      }
    }
    gdiAtEnd = gdiObjects();
    userAtEnd = userObjects();
    PostMessageA(mainWindow(), WM_CLOSE, 0, 0);
    ui.runEventLoop();
    return 0;
  });
  releaseSkinEngineModule();
  DeleteFileA(iniPath);

  EXPECT_EQ(code, 0);
  EXPECT_TRUE(skinned) << "the engine did not load: the soak ran without the skin";
  std::printf("engine: %zu GDI objects and %d DCs held after 150 cycles, %zu and %d after 1000\n",
              engineObjectsAfterWarmUp, engineDcsAfterWarmUp, engineObjects.size(), engineDeviceContexts);
  std::printf("process: GDI objects %lu after 150 cycles, %lu after 1000; USER objects %lu and %lu\n", gdiAfterWarmUp,
              gdiAtEnd, userAfterWarmUp, userAtEnd);
  EXPECT_TRUE(wrappedImports.count("CreateSolidBrush") && wrappedImports.count("DeleteObject"))
      << "the engine's GDI imports were not counted";
  EXPECT_GT(engineObjectsAfterWarmUp, 0u);
  EXPECT_LE(engineObjects.size(), engineObjectsAfterWarmUp) << "the skin engine leaks GDI objects";
  EXPECT_LE(engineDeviceContexts, engineDcsAfterWarmUp) << "the skin engine leaks device contexts";
  EXPECT_LE(userAtEnd, userAfterWarmUp) << "USER objects leak";
  // Where GetGuiResources works (Windows) its GDI count must be flat too. Wine answers 0 there, and the
  // handle-table count above then includes Wine's own caches, which now and then keep three bitmaps
  // after a message box (none of them the engine's or the program's): printed, not judged.
  if (GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) != 0) {
    EXPECT_LE(gdiAtEnd, gdiAfterWarmUp) << "GDI objects leak";
  }
}

}  // namespace
}  // namespace quorvin
