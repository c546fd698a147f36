// The skin engine DLL at work on real windows (run under Wine by the win64 build): windows built like
// the program's are skinned by SkinH_AttachRes, checked by reading pixels of their own rendering, and
// keep working (clicks, keys, timers, caption buttons, moving, message boxes) without leaking objects.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "data_blocks.h"
#include "skin_format.h"
#include "test_skins.h"

namespace {

using AttachRes = int(WINAPI*)(const unsigned char*, int, const char*, int, int, int);

constexpr char kMainClass[] = "QuorvinMainWindow";
constexpr char kMainTitle[] = "Quorvin test";
constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr COLORREF kLabelColor = RGB(0, 0, 255);

enum ControlId : int {
  kStartButton = 101,
  kDisabledButton,
  kSideButton,
  kNumberDisplay,
  kNameEdit,
  kDeskEdit,
  kLabel,
  kGroup,
};

// What the main window saw, for the behaviour tests.
struct Observed {
  int commands[256] = {};
  int timerTicks = 0;
  int cancels = 0;
};
Observed g_observed;

WNDPROC g_groupBoxOriginal = nullptr;
WNDPROC g_labelOriginal = nullptr;

// ---- A window built the way the program builds its own ----

LRESULT CALLBACK mainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT rect;
      GetClientRect(window, &rect);
      FillRect(reinterpret_cast<HDC>(wParam), &rect, GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == IDCANCEL) ++g_observed.cancels;
      if (id >= 0 && id < 256 && HIWORD(wParam) == BN_CLICKED) ++g_observed.commands[id];
      return 0;
    }
    case WM_TIMER:
      if (wParam == 1) ++g_observed.timerTicks;
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

// The program's group boxes: filled with the brush the parent gives for WM_CTLCOLORSTATIC, and passing
// their children's notifications to the main window.
LRESULT CALLBACK groupBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: {
      HWND parent = GetParent(window);
      auto brush = reinterpret_cast<HBRUSH>(SendMessageA(parent, WM_CTLCOLORSTATIC, wParam,
                                                          reinterpret_cast<LPARAM>(window)));
      RECT rect;
      GetClientRect(window, &rect);
      FillRect(reinterpret_cast<HDC>(wParam), &rect, brush != nullptr ? brush : GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_DRAWITEM:
      return SendMessageA(GetAncestor(window, GA_ROOT), message, wParam, lParam);
    default:
      return CallWindowProcA(g_groupBoxOriginal, window, message, wParam, lParam);
  }
}

// The program's transparent labels: only the caption is painted, never a background.
LRESULT CALLBACK labelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      char text[64] = {};
      const int length = GetWindowTextA(window, text, sizeof text);
      RECT rect;
      GetClientRect(window, &rect);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, kLabelColor);
      SelectObject(dc, GetStockObject(SYSTEM_FONT));
      DrawTextA(dc, text, length, &rect, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
      EndPaint(window, &paint);
      return 0;
    }
    default:
      return CallWindowProcA(g_labelOriginal, window, message, wParam, lParam);
  }
}

HWND makeChild(HWND parent, const char* className, const char* text, DWORD style, int x, int y, int width,
               int height, int id, DWORD exStyle = 0) {
  HWND child = CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  return child;
}

void pump(DWORD milliseconds, HWND dialogWindow = nullptr) {
  const DWORD start = GetTickCount();
  do {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (dialogWindow != nullptr && IsDialogMessageA(dialogWindow, &message)) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(1);
  } while (GetTickCount() - start < milliseconds);
}

// ---- Reading what is on screen ----

void repaintNow(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  pump(30);
}

COLORREF clientPixel(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  const COLORREF value = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return value;
}

COLORREF framePixel(HWND window, int x, int y) {
  HDC dc = GetWindowDC(window);
  const COLORREF value = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return value;
}

std::string describe(COLORREF value) {
  char text[32];
  wsprintfA(text, "#%02X%02X%02X", GetRValue(value), GetGValue(value), GetBValue(value));
  return text;
}

// True when every channel of `value` lies between those of `a` and `b` (a gradient's two ends).
bool between(COLORREF value, COLORREF a, COLORREF b) {
  auto inside = [](int v, int x, int y) { return v >= (x < y ? x : y) - 1 && v <= (x < y ? y : x) + 1; };
  return inside(GetRValue(value), GetRValue(a), GetRValue(b)) && inside(GetGValue(value), GetGValue(a), GetGValue(b)) &&
         inside(GetBValue(value), GetBValue(a), GetBValue(b));
}

struct FrameGeometry {
  int border;      // left frame thickness
  int clientTop;   // client area's top, window-relative
  int width;
};

FrameGeometry frameGeometry(HWND window) {
  RECT windowRect;
  GetWindowRect(window, &windowRect);
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  return {origin.x - windowRect.left, origin.y - windowRect.top, windowRect.right - windowRect.left};
}

// A pixel of the caption bar's top row, clear of the title and the buttons.
COLORREF captionPixel(HWND window) {
  const FrameGeometry frame = frameGeometry(window);
  return framePixel(window, frame.width * 3 / 4 - 30, frame.border);
}

skinh::SkinTheme themeOf(quorvin::DataBlockView skin) {
  skinh::SkinTheme theme;
  skinh::loadDefaultTheme(theme);
  EXPECT_EQ(skinh::parseSkin(skin.bytes, skin.length, theme), skinh::SkinError::None);
  return theme;
}

COLORREF expected(const skinh::SkinTheme& theme, skinh::ColorId id) { return static_cast<COLORREF>(theme.color(id)); }

// ---- Input through the system, as a user's mouse and keyboard would give it ----

void sendMouse(DWORD flags) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

INPUT absoluteMouse(POINT screen, DWORD flags) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  return input;
}

void moveMouse(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  pump(30);
}

void clickAt(POINT screen) {
  moveMouse(screen);
  sendMouse(MOUSEEVENTF_LEFTDOWN);
  pump(30);
  sendMouse(MOUSEEVENTF_LEFTUP);
  pump(60);
}

void pressKey(WORD key) {
  INPUT inputs[2] = {};
  inputs[0].type = INPUT_KEYBOARD;
  inputs[0].ki.wVk = key;
  inputs[1] = inputs[0];
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, inputs, sizeof inputs[0]);
}

POINT centreOf(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// Finds a point of the caption row that the window's hit test answers with `hit`, scanning from the right.
bool findCaptionPoint(HWND window, LRESULT hit, POINT& found) {
  RECT rect;
  GetWindowRect(window, &rect);
  const FrameGeometry frame = frameGeometry(window);
  const int y = rect.top + (frame.border + frame.clientTop) / 2;
  for (int x = rect.right - 1; x > rect.left; --x) {
    if (SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == hit) {
      found = {x, y};
      return true;
    }
  }
  return false;
}

// ---- GDI and USER object counts ----

// GetGuiResources, or where Wine leaves it unimplemented, a count taken another way: live GDI objects by
// probing each slot of the process's handle table (a handle of index only matches any live entry there),
// and live windows of this thread for USER objects.
DWORD countGdiObjects() {
  const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (counted != 0) return counted;
  DWORD live = 0;
  for (ULONG_PTR index = 0x20; index < 0x10000; ++index) {
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++live;
  }
  return live;
}

BOOL CALLBACK countWindow(HWND window, LPARAM count) {
  ++*reinterpret_cast<DWORD*>(count);
  EnumChildWindows(window, &countWindow, count);
  return TRUE;
}

DWORD countUserObjects() {
  const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  if (counted != 0) return counted;
  DWORD windows = 0;
  EnumThreadWindows(GetCurrentThreadId(), &countWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// ---- The shared test window and the loaded engine ----

struct Harness {
  HMODULE engine = nullptr;
  AttachRes attach = nullptr;
  HWND main = nullptr;
  HWND group = nullptr;
  HWND startButton = nullptr;
  HWND disabledButton = nullptr;
  HWND sideButton = nullptr;
  HWND numberDisplay = nullptr;
  HWND nameEdit = nullptr;
  HWND deskEdit = nullptr;
  HWND label = nullptr;
  int firstAttach = -1;
};

// The engine DLL is written out from the program's own data block, so the bytes the program carries are
// the ones tested, and loaded with the system's loader.
HMODULE loadEngineFromDataBlock() {
  const quorvin::DataBlockView image = quorvin::skinEngineImage();
  char folder[MAX_PATH];
  char path[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  wsprintfA(path, "%squorvin_skin_engine_%lu.dll", folder, GetCurrentProcessId());
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  DWORD written = 0;
  WriteFile(file, image.bytes, image.length, &written, nullptr);
  CloseHandle(file);
  return written == image.length ? LoadLibraryA(path) : nullptr;
}

void buildMainWindow(Harness& h) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = &mainProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kMainClass;
  RegisterClassA(&windowClass);
  h.main = CreateWindowExA(0, kMainClass, kMainTitle, kMainStyle, 100, 100, 375, 348, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);

  h.group = makeChild(h.main, "BUTTON", "座号抽奖区域", BS_GROUPBOX, 1, 2, 216, 174, kGroup);
  g_groupBoxOriginal = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(h.group, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&groupBoxProc)));
  h.startButton = makeChild(h.group, "BUTTON", "开始抽取幸运座号", BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP, 8, 42, 96,
                            32, kStartButton);
  h.disabledButton = makeChild(h.group, "BUTTON", "停止抽取幸运座号", BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED, 8, 75,
                               96, 31, kDisabledButton);
  h.numberDisplay = makeChild(h.group, "EDIT", "0", ES_CENTER | WS_DISABLED, 110, 16, 96, 90, kNumberDisplay,
                              WS_EX_CLIENTEDGE);
  static HFONT numberFont = CreateFontA(-56, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, PROOF_QUALITY, 0, "");
  SendMessageA(h.numberDisplay, WM_SETFONT, reinterpret_cast<WPARAM>(numberFont), TRUE);
  h.sideButton = makeChild(h.main, "BUTTON", "确定奖品", BS_PUSHBUTTON | WS_TABSTOP, 230, 100, 110, 28, kSideButton);
  h.nameEdit = makeChild(h.main, "EDIT", "", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, 230, 20, 110, 20, kNameEdit,
                         WS_EX_CLIENTEDGE);
  h.deskEdit = makeChild(h.main, "EDIT", "", ES_LEFT | WS_DISABLED, 230, 50, 110, 20, kDeskEdit, WS_EX_CLIENTEDGE);
  h.label = makeChild(h.main, "STATIC", "IIIIIIIIIIII", SS_LEFT, 230, 140, 110, 24, kLabel);
  g_labelOriginal =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h.label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&labelProc)));
}

Harness& harness() {
  static Harness h;
  static bool ready = false;
  if (ready) return h;
  ready = true;
  h.engine = loadEngineFromDataBlock();
  if (h.engine == nullptr) return h;
  h.attach = reinterpret_cast<AttachRes>(reinterpret_cast<void*>(GetProcAddress(h.engine, "SkinH_AttachRes")));
  buildMainWindow(h);
  // As in the program: the skin goes on once the window and its controls exist, before it is shown.
  const quorvin::DataBlockView skin = quorvin::builtInSkin();
  if (h.attach != nullptr) h.firstAttach = h.attach(skin.bytes, static_cast<int>(skin.length), nullptr, 0, 0, 0);
  ShowWindow(h.main, SW_SHOW);
  SetForegroundWindow(h.main);
  SetFocus(h.nameEdit);
  repaintNow(h.main);
  return h;
}

class SkinEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    h = &harness();
    ASSERT_NE(h->engine, nullptr) << "the engine image from the data block did not load";
    ASSERT_NE(h->attach, nullptr) << "SkinH_AttachRes is not exported";
    ASSERT_EQ(h->firstAttach, 1) << "the built-in skin was refused";
    theme = themeOf(quorvin::builtInSkin());
    SetForegroundWindow(h->main);
    SetFocus(h->nameEdit);
    repaintNow(h->main);
  }

  // The pixels the look checks sample, one per skinned part.
  struct Look {
    COLORREF caption, face, button, disabledButton, groupFrame, editFace, disabledEdit;
  };
  Look sampleLook() {
    repaintNow(h->main);
    RECT button;
    GetClientRect(h->sideButton, &button);
    RECT group;
    GetClientRect(h->group, &group);
    return {captionPixel(h->main),
            clientPixel(h->main, 300, 260),
            clientPixel(h->sideButton, 6, button.bottom / 2),
            clientPixel(h->disabledButton, 6, 8),
            clientPixel(h->group, 0, group.bottom / 2),
            clientPixel(h->nameEdit, 100, 8),
            clientPixel(h->deskEdit, 100, 8)};
  }

  void expectLookOf(const skinh::SkinTheme& skin, const char* which) {
    using skinh::ColorId;
    const Look look = sampleLook();
    EXPECT_EQ(look.caption, expected(skin, ColorId::CaptionActiveStart)) << which << " caption " << describe(look.caption);
    EXPECT_EQ(look.face, expected(skin, ColorId::WindowFace)) << which << " face " << describe(look.face);
    EXPECT_TRUE(between(look.button, expected(skin, ColorId::ButtonFaceStart), expected(skin, ColorId::ButtonFaceEnd)))
        << which << " button " << describe(look.button);
    EXPECT_EQ(look.disabledButton, expected(skin, ColorId::ButtonDisabledFace))
        << which << " disabled button " << describe(look.disabledButton);
    EXPECT_EQ(look.groupFrame, expected(skin, ColorId::GroupFrame)) << which << " group frame " << describe(look.groupFrame);
    EXPECT_EQ(look.editFace, expected(skin, ColorId::EditFace)) << which << " edit " << describe(look.editFace);
    EXPECT_EQ(look.disabledEdit, expected(skin, ColorId::EditDisabledFace))
        << which << " disabled edit " << describe(look.disabledEdit);
  }

  Harness* h = nullptr;
  skinh::SkinTheme theme{};
};

// ---- The look ----

TEST_F(SkinEngine, WindowsThatExistAtAttachCarryTheSkinColours) { expectLookOf(theme, "built-in"); }

TEST_F(SkinEngine, GroupBoxFaceAndEditBorderAreSkinned) {
  using skinh::ColorId;
  RECT group;
  GetClientRect(h->group, &group);
  EXPECT_EQ(clientPixel(h->group, 60, group.bottom - 10), expected(theme, ColorId::WindowFace));
  // Unfocused edit: its outer border ring; the disabled number display: its face.
  EXPECT_EQ(framePixel(h->deskEdit, 0, 10), expected(theme, ColorId::ButtonDisabledBorder));
  EXPECT_EQ(clientPixel(h->numberDisplay, 4, 4), expected(theme, ColorId::EditDisabledFace));
}

int pixelsOf(HWND window, COLORREF wanted) {
  RECT rect;
  GetClientRect(window, &rect);
  HDC dc = GetDC(window);
  int count = 0;
  for (int y = 0; y < rect.bottom; ++y) {
    for (int x = 0; x < rect.right; ++x) count += GetPixel(dc, x, y) == wanted ? 1 : 0;
  }
  ReleaseDC(window, dc);
  return count;
}

// The number display is disabled but must stay readable: its text is drawn in the skin's colour, not the
// system's grey, also after its text changes (as it does every 50 ms during a draw).
TEST_F(SkinEngine, DisabledNumberDisplayShowsItsTextInTheSkinColour) {
  const COLORREF text = expected(theme, skinh::ColorId::EditDisabledText);
  SetWindowTextA(h->numberDisplay, "88");
  pump(20);
  const int before = pixelsOf(h->numberDisplay, text);
  EXPECT_GT(before, 40) << "the disabled text is not in the skin's colour";
  SetWindowTextA(h->numberDisplay, "1");
  pump(20);
  const int after = pixelsOf(h->numberDisplay, text);
  EXPECT_GT(after, 10);
  EXPECT_LT(after, before) << "the old text was left under the new one";
  SetWindowTextA(h->numberDisplay, "0");
}

TEST_F(SkinEngine, FocusedButtonShowsTheFocusRingAndFocusedEditItsBorder) {
  using skinh::ColorId;
  SetFocus(h->sideButton);
  pump(30);
  EXPECT_EQ(clientPixel(h->sideButton, 2, 14), expected(theme, ColorId::FocusRing));
  SetFocus(h->nameEdit);
  pump(30);
  EXPECT_EQ(clientPixel(h->sideButton, 2, 14), clientPixel(h->sideButton, 6, 14)) << "the ring stayed after focus left";
  EXPECT_EQ(framePixel(h->nameEdit, 0, 10), expected(theme, ColorId::FocusRing));
}

TEST_F(SkinEngine, InactiveCaptionUsesTheInactiveColours) {
  using skinh::ColorId;
  SendMessageA(h->main, WM_NCACTIVATE, FALSE, 0);
  pump(20);
  EXPECT_EQ(captionPixel(h->main), expected(theme, ColorId::CaptionInactiveStart));
  SendMessageA(h->main, WM_NCACTIVATE, TRUE, 0);
  pump(20);
  EXPECT_EQ(captionPixel(h->main), expected(theme, ColorId::CaptionActiveStart));
}

// The program's start-up: its window takes the focus while still hidden (Wine then calls it inactive, as
// it is not yet in the foreground), and is shown and brought to the foreground afterwards.
TEST_F(SkinEngine, WindowFocusedWhileHiddenShowsAnActiveCaptionOnceInTheForeground) {
  HWND window = CreateWindowExA(WS_EX_CONTROLPARENT, kMainClass, "Hidden start", kMainStyle, 420, 320, 300, 200,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  HWND edit = makeChild(window, "EDIT", "", WS_TABSTOP, 10, 10, 100, 20, kNameEdit, WS_EX_CLIENTEDGE);
  SetFocus(edit);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  SetForegroundWindow(window);
  pump(50);
  EXPECT_EQ(GetForegroundWindow(), window);
  EXPECT_EQ(captionPixel(window), expected(theme, skinh::ColorId::CaptionActiveStart)) << describe(captionPixel(window));
  DestroyWindow(window);
}

TEST_F(SkinEngine, TransparentLabelsAreLeftToPaintOnlyTheirCaption) {
  EXPECT_EQ(GetWindowLongPtrA(h->label, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&labelProc))
      << "the engine subclassed a static control";
  repaintNow(h->main);
  RECT rect;
  GetClientRect(h->label, &rect);
  int textPixels = 0;
  int facePixels = 0;
  for (int x = 0; x < rect.right; ++x) {
    const COLORREF value = clientPixel(h->label, x, rect.bottom / 2);
    // The label's blue text, allowing for smoothed glyphs: blue well above red and green.
    const int strongest = GetRValue(value) > GetGValue(value) ? GetRValue(value) : GetGValue(value);
    if (GetBValue(value) - strongest > 100) ++textPixels;
    if (value == expected(theme, skinh::ColorId::WindowFace)) ++facePixels;
  }
  EXPECT_GT(textPixels, 0) << "the label's own caption is not drawn";
  EXPECT_GT(facePixels, 0) << "the skinned face does not show between the label's letters";
}

TEST_F(SkinEngine, ChangedButtonTextAndStateRepaintInTheSkin) {
  using skinh::ColorId;
  SetWindowTextA(h->sideButton, "保存");
  EnableWindow(h->sideButton, FALSE);
  pump(20);
  EXPECT_EQ(clientPixel(h->sideButton, 6, 8), expected(theme, ColorId::ButtonDisabledFace));
  EnableWindow(h->sideButton, TRUE);
  SetWindowTextA(h->sideButton, "确定奖品");
  pump(20);
  EXPECT_TRUE(between(clientPixel(h->sideButton, 6, 14), expected(theme, ColorId::ButtonFaceStart),
                      expected(theme, ColorId::ButtonFaceEnd)));
}

// ---- Skins that are refused, and a second skin ----

std::vector<unsigned char> copyOf(quorvin::DataBlockView block) {
  return std::vector<unsigned char>(block.bytes, block.bytes + block.length);
}

void putU32(std::vector<unsigned char>& bytes, size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
}

TEST_F(SkinEngine, BadSkinsAreRefusedAndLeaveTheLookUnchanged) {
  const std::vector<unsigned char> good = copyOf(quorvin::builtInSkin());
  const int size = static_cast<int>(good.size());
  struct Case {
    const char* name;
    std::vector<unsigned char> bytes;
    int length;  // the length passed, which may differ from the bytes' size
  };
  std::vector<Case> cases;
  auto variant = [&](const char* name, auto edit) {
    std::vector<unsigned char> bytes = good;
    edit(bytes);
    cases.push_back({name, bytes, static_cast<int>(bytes.size())});
  };
  variant("wrong magic", [](auto& b) { b[0] = 'M'; });
  variant("unknown major version", [](auto& b) { b[4] = 9; });
  variant("absurd entry count", [](auto& b) { putU32(b, 16, 0xFFFFFFFFu); });
  variant("entry count one too many", [&](auto& b) { putU32(b, 16, b[16] + 1u); });
  variant("absurd total size", [](auto& b) { putU32(b, 12, 0x7FFFFFFFu); });
  variant("absurd header size", [](auto& b) { putU32(b, 8, 0xFFFFFFF0u); });
  variant("absurd entry size", [](auto& b) { putU32(b, 28, 0xFFFFFFF0u); });
  variant("damaged colour byte", [](auto& b) { b[32] ^= 0x40; });
  for (int cut : {0, 3, 4, 23, 24, 30, size / 2, size - 1}) {
    cases.push_back({"truncated", std::vector<unsigned char>(good.begin(), good.begin() + cut), cut});
  }
  cases.push_back({"negative length", good, -1});
  cases.push_back({"length beyond the limit", good, 0x7FFFFFFF});

  // Put the alternate skin on first, so that a refused skin that still changed anything would show.
  const quorvin::DataBlockView alternate = quorvin::test::alternateSkin();
  ASSERT_EQ(h->attach(alternate.bytes, static_cast<int>(alternate.length), nullptr, 0, 0, 0), 1);
  const skinh::SkinTheme alternateTheme = themeOf(alternate);
  for (const Case& c : cases) {
    // A short buffer is padded so the engine's reads past `length` would still land in memory we own.
    std::vector<unsigned char> buffer = c.bytes;
    buffer.resize(good.size() + 64, 0);
    EXPECT_EQ(h->attach(buffer.data(), c.length, nullptr, 0, 0, 0), 0) << c.name << " (length " << c.length << ")";
  }
  EXPECT_EQ(h->attach(nullptr, size, nullptr, 0, 0, 0), 0) << "null skin";
  expectLookOf(alternateTheme, "after refused skins");
  const quorvin::DataBlockView builtIn = quorvin::builtInSkin();
  EXPECT_EQ(h->attach(builtIn.bytes, static_cast<int>(builtIn.length), nullptr, 0, 0, 0), 1);
}

TEST_F(SkinEngine, SecondAttachReplacesTheColoursAndThirdRestoresThem) {
  const quorvin::DataBlockView alternate = quorvin::test::alternateSkin();
  ASSERT_EQ(h->attach(alternate.bytes, static_cast<int>(alternate.length), nullptr, 0, 0, 0), 1);
  expectLookOf(themeOf(alternate), "alternate");
  const quorvin::DataBlockView builtIn = quorvin::builtInSkin();
  ASSERT_EQ(h->attach(builtIn.bytes, static_cast<int>(builtIn.length), "any password", 1, 2, 3), 1);
  expectLookOf(theme, "built-in again");
}

// ---- Behaviour that must keep working ----

TEST_F(SkinEngine, ClickOnSkinnedButtonsStillSendsCommands) {
  const int sideBefore = g_observed.commands[kSideButton];
  const int startBefore = g_observed.commands[kStartButton];
  const int disabledBefore = g_observed.commands[kDisabledButton];
  clickAt(centreOf(h->sideButton));
  clickAt(centreOf(h->startButton));  // inside a group box: its notification is forwarded by the program
  clickAt(centreOf(h->disabledButton));
  EXPECT_EQ(g_observed.commands[kSideButton], sideBefore + 1);
  EXPECT_EQ(g_observed.commands[kStartButton], startBefore + 1);
  EXPECT_EQ(g_observed.commands[kDisabledButton], disabledBefore) << "a disabled button answered a click";
}

TEST_F(SkinEngine, HotButtonTakesTheHotColours) {
  using skinh::ColorId;
  moveMouse(centreOf(h->sideButton));
  pump(30);
  EXPECT_TRUE(between(clientPixel(h->sideButton, 6, 14), expected(theme, ColorId::ButtonHotStart),
                      expected(theme, ColorId::ButtonHotEnd)))
      << describe(clientPixel(h->sideButton, 6, 14));
  moveMouse({5, 5});
  pump(30);
  EXPECT_TRUE(between(clientPixel(h->sideButton, 6, 14), expected(theme, ColorId::ButtonFaceStart),
                      expected(theme, ColorId::ButtonFaceEnd)));
}

TEST_F(SkinEngine, TimersEscAndTabStillWork) {
  g_observed.timerTicks = 0;
  SetTimer(h->main, 1, 20, nullptr);
  pump(400, h->main);
  KillTimer(h->main, 1);
  EXPECT_GE(g_observed.timerTicks, 3);

  SetFocus(h->sideButton);
  const int cancels = g_observed.cancels;
  pressKey(VK_ESCAPE);
  pump(60, h->main);
  EXPECT_EQ(g_observed.cancels, cancels + 1) << "Esc did not reach the window as IDCANCEL";

  SetFocus(h->sideButton);
  pressKey(VK_TAB);
  pump(60, h->main);
  EXPECT_NE(GetFocus(), h->sideButton) << "Tab did not move the focus";
  EXPECT_NE(GetFocus(), nullptr);
}

struct BoxSeen {
  bool found = false;
  COLORREF face = 0, caption = 0, button = 0;
};
BoxSeen g_boxSeen;

void CALLBACK inspectAndClickBox(HWND window, UINT, UINT_PTR id, DWORD) {
  KillTimer(window, id);
  HWND box = FindWindowA("#32770", "Quorvin box");
  HWND button = box != nullptr ? FindWindowExA(box, nullptr, "Button", nullptr) : nullptr;
  if (button == nullptr) return;
  g_boxSeen.found = true;
  RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  g_boxSeen.face = clientPixel(box, 3, 3);
  g_boxSeen.caption = captionPixel(box);
  RECT rect;
  GetClientRect(button, &rect);
  g_boxSeen.button = clientPixel(button, 7, rect.bottom / 2);
  PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
}

void CALLBACK abandonBox(HWND window, UINT, UINT_PTR id, DWORD) {
  KillTimer(window, id);
  if (HWND box = FindWindowA("#32770", "Quorvin box")) EndDialog(box, IDABORT);
}

void CALLBACK closeLeakBox(HWND window, UINT, UINT_PTR id, DWORD) {
  KillTimer(window, id);
  if (HWND box = FindWindowA("#32770", "Quorvin leak")) EndDialog(box, IDOK);
}

TEST_F(SkinEngine, MessageBoxIsSkinnedAndItsButtonDismissesIt) {
  using skinh::ColorId;
  // The box runs its own modal loop; a timer of the main window looks at it from inside that loop and
  // then clicks its button.
  g_boxSeen = BoxSeen{};
  SetTimer(h->main, 7, 300, &inspectAndClickBox);
  SetTimer(h->main, 8, 5000, &abandonBox);  // a box nobody could click must not hang the test run
  const int result = MessageBoxA(nullptr, "保存成功", "Quorvin box", MB_OK | MB_TASKMODAL);
  KillTimer(h->main, 8);
  ASSERT_TRUE(g_boxSeen.found) << "no message box found";
  EXPECT_EQ(result, IDOK) << "the click on the box's button did not dismiss it";
  EXPECT_EQ(g_boxSeen.face, expected(theme, ColorId::WindowFace)) << describe(g_boxSeen.face);
  EXPECT_EQ(g_boxSeen.caption, expected(theme, ColorId::CaptionActiveStart)) << describe(g_boxSeen.caption);
  EXPECT_TRUE(between(g_boxSeen.button, expected(theme, ColorId::ButtonFaceStart), expected(theme, ColorId::ButtonFaceEnd)))
      << describe(g_boxSeen.button);
  EXPECT_TRUE(IsWindowEnabled(h->main)) << "the task-modal box left the main window disabled";
}

// A top-level window made after the attach: skinned through the creation hook; its caption buttons
// minimize and close it, and dragging its caption moves it.
TEST_F(SkinEngine, CaptionButtonsAndCaptionDragWorkOnWindowsMadeLater) {
  HWND window = CreateWindowExA(0, kMainClass, "Later", kMainStyle | WS_VISIBLE, 400, 300, 300, 200, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  SetForegroundWindow(window);
  repaintNow(window);
  EXPECT_EQ(captionPixel(window), expected(theme, skinh::ColorId::CaptionActiveStart)) << describe(captionPixel(window));

  POINT caption;
  ASSERT_TRUE(findCaptionPoint(window, HTCAPTION, caption));
  RECT before;
  GetWindowRect(window, &before);
  // The whole drag is queued at once: the system's move loop runs modally and reads it from the queue.
  std::vector<INPUT> drag = {absoluteMouse(caption, MOUSEEVENTF_MOVE), absoluteMouse(caption, MOUSEEVENTF_LEFTDOWN)};
  for (int step = 1; step <= 4; ++step) {
    drag.push_back(absoluteMouse({caption.x - 10 * step, caption.y + 5 * step}, MOUSEEVENTF_MOVE));
  }
  drag.push_back(absoluteMouse({caption.x - 40, caption.y + 20}, MOUSEEVENTF_LEFTUP));
  SendInput(static_cast<UINT>(drag.size()), drag.data(), sizeof(INPUT));
  pump(300);
  RECT after;
  GetWindowRect(window, &after);
  EXPECT_EQ(after.left - before.left, -40) << "the caption drag did not move the window";
  EXPECT_EQ(after.top - before.top, 20);

  POINT minimize;
  ASSERT_TRUE(findCaptionPoint(window, HTMINBUTTON, minimize));
  // The point found is the button's right edge, clear of its glyph: it shows the hot colour under the mouse.
  moveMouse(minimize);
  RECT windowRect;
  GetWindowRect(window, &windowRect);
  const COLORREF hot = framePixel(window, minimize.x - windowRect.left, minimize.y - windowRect.top);
  EXPECT_EQ(hot, expected(theme, skinh::ColorId::CaptionButtonHot)) << describe(hot);
  clickAt(minimize);
  EXPECT_TRUE(IsIconic(window)) << "the minimize button did not minimize";
  ShowWindow(window, SW_RESTORE);
  SetForegroundWindow(window);
  pump(50);

  POINT close;
  ASSERT_TRUE(findCaptionPoint(window, HTCLOSE, close));
  clickAt(close);
  EXPECT_FALSE(IsWindow(window)) << "the close button did not close the window";
  if (IsWindow(window)) DestroyWindow(window);
}

// Repaints, state changes and message boxes: the work whose objects must all be given back.
void exerciseSkin(const Harness& h, int cycles, int boxes) {
  for (int cycle = 0; cycle < cycles; ++cycle) {
    const WPARAM odd = static_cast<WPARAM>(cycle % 2);
    EnableWindow(h.startButton, cycle % 2);
    SetWindowTextA(h.group, cycle % 2 ? "奖品台" : "座号抽奖区域");
    SetWindowTextA(h.main, cycle % 2 ? "Quorvin test" : "Quorvin test ");
    SendMessageA(h.sideButton, BM_SETSTATE, odd, 0);
    SetFocus(cycle % 2 ? h.sideButton : h.nameEdit);
    SendMessageA(h.main, WM_NCACTIVATE, odd, 0);
    RedrawWindow(h.main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  SendMessageA(h.main, WM_NCACTIVATE, TRUE, 0);
  EnableWindow(h.startButton, TRUE);
  SetWindowTextA(h.group, "座号抽奖区域");
  SetWindowTextA(h.main, kMainTitle);
  for (int box = 0; box < boxes; ++box) {
    SetTimer(h.main, 9, 100, &closeLeakBox);
    MessageBoxA(nullptr, "x", "Quorvin leak", MB_OK | MB_TASKMODAL);
  }
  pump(50);
}

TEST_F(SkinEngine, NoGdiOrUserObjectsLeakOverRepaintsStateChangesAndBoxes) {
  // A first round lets the system make what it keeps after first use (a message box's fonts, DC caches).
  exerciseSkin(*h, 4, 1);
  const DWORD gdiBefore = countGdiObjects();
  const DWORD userBefore = countUserObjects();
  exerciseSkin(*h, 300, 3);
  EXPECT_EQ(countGdiObjects(), gdiBefore);
  EXPECT_EQ(countUserObjects(), userBefore);
}

}  // namespace
