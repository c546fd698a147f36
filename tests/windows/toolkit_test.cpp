// The Win32 toolkit in this process: creation order, the event loop, the exit list, the fatal path.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/windows/program_driver.h"
#include "ui/controls.h"
#include "ui/win32_toolkit.h"

namespace quorvin {
namespace {

HWND ownMainWindow() {
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, kMainWindowClass, nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == GetCurrentProcessId()) return window;
  }
  return nullptr;
}

struct Recorder final : EventSink {
  std::vector<Handler> events;
  bool windowVisibleWhenCreated = true;
  void onEvent(Handler handler) override {
    events.push_back(handler);
    if (handler == Handler::windowCreated) windowVisibleWhenCreated = IsWindowVisible(ownMainWindow()) != FALSE;
  }
};

int exitRoutineRuns = 0;
void countExitRoutine() { ++exitRoutineRuns; }

TEST(Win32Toolkit, CreatedBeforeShownThenLoopUntilClosedThenExitListOnce) {
  Recorder recorder;
  Win32Toolkit ui(GetModuleHandleA(nullptr), recorder);
  exitRoutineRuns = 0;
  bool shownAfterLoad = false;
  const int code = ui.run([&] {
    ui.addExitRoutine(countExitRoutine);
    ui.addExitRoutine(countExitRoutine);
    ui.loadMainWindow();
    HWND main = ownMainWindow();
    shownAfterLoad = IsWindowVisible(main) != FALSE;
    ui.setTimerPeriod(kDrawTimer, 20);  // rolling while the window closes
    PostMessageA(main, WM_CLOSE, 0, 0);
    ui.runEventLoop();
    return 0;
  });
  EXPECT_EQ(code, 0);
  ASSERT_FALSE(recorder.events.empty());
  EXPECT_EQ(recorder.events.front(), Handler::windowCreated);
  EXPECT_FALSE(recorder.windowVisibleWhenCreated) << "the window was visible before the created handler returned";
  EXPECT_TRUE(shownAfterLoad);
  EXPECT_EQ(exitRoutineRuns, 1);
  EXPECT_EQ(ownMainWindow(), nullptr);
}

TEST(Win32Toolkit, TimerFiresItsEventAndStops) {
  Recorder recorder;
  Win32Toolkit ui(GetModuleHandleA(nullptr), recorder);
  int ticks = 0;
  ui.run([&] {
    ui.loadMainWindow();
    ui.setTimerPeriod(kDrawTimer, 10);
    EXPECT_EQ(ui.timerPeriod(kDrawTimer), 10);
    MSG message;
    const ULONGLONG deadline = GetTickCount64() + 5000;
    while (GetTickCount64() < deadline && ticks < 3) {
      if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
      ticks = static_cast<int>(std::count(recorder.events.begin(), recorder.events.end(), Handler::drawTick));
      Sleep(1);
    }
    ui.setTimerPeriod(kDrawTimer, -5);  // a negative period stops it
    EXPECT_EQ(ui.timerPeriod(kDrawTimer), 0);
    recorder.events.clear();
    const ULONGLONG quiet = GetTickCount64() + 200;
    while (GetTickCount64() < quiet)
      if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    EXPECT_EQ(std::count(recorder.events.begin(), recorder.events.end(), Handler::drawTick), 0);
    PostMessageA(ownMainWindow(), WM_CLOSE, 0, 0);
    ui.runEventLoop();
    return 0;
  });
  EXPECT_GE(ticks, 3);
}

TEST(Win32Toolkit, PropertiesReadBackAndClamp) {
  Recorder recorder;
  Win32Toolkit ui(GetModuleHandleA(nullptr), recorder);
  ui.run([&] {
    ui.loadMainWindow();
    ui.setText("No1", "100");
    EXPECT_EQ(ui.text("No1"), "100");
    ui.setText("jp11", "");
    EXPECT_EQ(ui.text("jp11"), "");
    ui.setDisabled(kStartButton, true);
    EXPECT_TRUE(ui.disabled(kStartButton));
    ui.setVisible(kSettingsPanel, false);
    EXPECT_FALSE(ui.visible(kSettingsPanel));
    EXPECT_TRUE(ui.visible(kConfirmButton)) << "its own flag stays; its container hides it";
    ui.setWindowWidth(-40);
    ui.setWindowHeight(300);
    RECT rect{};
    GetWindowRect(ownMainWindow(), &rect);
    EXPECT_EQ(rect.bottom - rect.top, 300);
    EXPECT_LE(rect.right - rect.left, 300) << "a negative width counts as 0 (the system may keep a minimum)";
    PostMessageA(ownMainWindow(), WM_CLOSE, 0, 0);
    ui.runEventLoop();
    return 0;
  });
}

TEST(Win32Toolkit, FatalErrorShowsABoxSkipsTheExitListAndExitsWithMinusOne) {
  char folder[MAX_PATH], marker[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  GetTempFileNameA(folder, "qv", 0, marker);
  DeleteFileA(marker);
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string child(self);
  child = child.substr(0, child.find_last_of('\\') + 1) + "fatal_child.exe";
  std::string commandLine = "\"" + child + "\" \"" + marker + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessA(child.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &process));
  // The error box comes first; the process ends only once it is closed.
  HWND box = nullptr;
  ASSERT_TRUE(test::waitUntil([&] {
    box = nullptr;
    while ((box = FindWindowExA(nullptr, box, "#32770", nullptr)) != nullptr) {
      DWORD owner = 0;
      GetWindowThreadProcessId(box, &owner);
      if (owner == process.dwProcessId) return true;
    }
    return false;
  }));
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 200), static_cast<DWORD>(WAIT_TIMEOUT));
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_EQ(WaitForSingleObject(process.hProcess, 20000), static_cast<DWORD>(WAIT_OBJECT_0));
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  EXPECT_EQ(code, 0xFFFFFFFFu) << "exit code -1";
  EXPECT_EQ(GetFileAttributesA(marker), INVALID_FILE_ATTRIBUTES) << "the exit list ran";
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace
}  // namespace quorvin
