#include "ui/win32_toolkit.h"

#include <algorithm>
#include <new>
#include <string>

namespace quorvin {
namespace {

constexpr UINT_PTR kDrawTimerId = 1;
constexpr char kControlProperty[] = "Quorvin.Control";
constexpr char kToolkitProperty[] = "Quorvin.Toolkit";

std::string zeroTerminated(std::string_view text) { return std::string(text); }

DWORD styleOf(const ControlSpec& design) {
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  if (design.visible) style |= WS_VISIBLE;
  if (design.disabled) style |= WS_DISABLED;
  switch (design.kind) {
    case ControlKind::button: return style | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE;
    case ControlKind::editBox:
      return style | WS_TABSTOP | ES_AUTOHSCROLL | (design.align == TextAlign::centre ? ES_CENTER : ES_LEFT);
    case ControlKind::transparentLabel: return style | SS_LEFT | SS_NOPREFIX;
    case ControlKind::groupBox: return style | BS_GROUPBOX;
    case ControlKind::timer: break;
  }
  return style;
}

DWORD extendedStyleOf(const ControlSpec& design) {
  switch (design.kind) {
    case ControlKind::editBox: return WS_EX_CLIENTEDGE;
    case ControlKind::transparentLabel: return WS_EX_TRANSPARENT;
    case ControlKind::groupBox: return WS_EX_CONTROLPARENT;  // Tab walks into it
    default: return 0;
  }
}

const char* classOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::button:
    case ControlKind::groupBox: return "BUTTON";
    case ControlKind::editBox: return "EDIT";
    case ControlKind::transparentLabel: return "STATIC";
    case ControlKind::timer: break;
  }
  return nullptr;
}

// A subclassed control's last message: it lets go of the toolkit, then its class procedure ends it.
LRESULT endSubclass(HWND window, WNDPROC classProc, UINT message, WPARAM wParam, LPARAM lParam) {
  RemovePropA(window, kControlProperty);
  RemovePropA(window, kToolkitProperty);
  return CallWindowProcA(classProc, window, message, wParam, lParam);
}

// The rectangle of a child window in its parent's client coordinates.
RECT rectInParent(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

}  // namespace

Win32Toolkit::Win32Toolkit(HINSTANCE instance, EventSink& sink) : instance_(instance), sink_(sink) {}

Win32Toolkit::~Win32Toolkit() { releaseResources(); }

int Win32Toolkit::run(const std::function<int()>& startupRoutine) {
  initialise();
  startupRoutine();
  // End processing: the exit list in the order of registration, each routine once.
  const std::vector<ExitRoutine> routines = std::move(exitList_);
  exitList_.clear();
  for (ExitRoutine routine : routines) routine();
  releaseResources();
  return quitCode_;
}

void Win32Toolkit::initialise() {
  for (std::size_t row = 0; row < kControlCount; ++row) controls_[row].design = &kControls[row];

  largeIcon_ = static_cast<HICON>(LoadImageA(instance_, std::string(kMainWindow.iconResource).c_str(), IMAGE_ICON,
                                             kMainWindow.largeIconSize, kMainWindow.largeIconSize, LR_DEFAULTCOLOR));
  smallIcon_ = static_cast<HICON>(LoadImageA(instance_, std::string(kMainWindow.iconResource).c_str(), IMAGE_ICON,
                                             kMainWindow.smallIconSize, kMainWindow.smallIconSize, LR_DEFAULTCOLOR));
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = mainWindowProc;
  windowClass.hInstance = instance_;
  windowClass.hIcon = largeIcon_;
  windowClass.hIconSm = smallIcon_;
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kMainWindowClass;
  windowClass_ = RegisterClassExA(&windowClass);
  if (!windowClass_) fatalRuntimeError("无法注册主窗口类，程序不能启动。");

  editBackground_ = CreateSolidBrush(RGB(255, 255, 255));
  if (!editBackground_) fatalRuntimeError("无法创建窗口画刷，程序不能启动。");
}

void Win32Toolkit::loadMainWindow() {
  const Point start = centredStartPosition(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  const std::string title = zeroTerminated(kMainWindow.title);
  mainWindow_ = CreateWindowExA(
      WS_EX_CONTROLPARENT, kMainWindowClass, title.c_str(), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
      start.x, start.y, kMainWindow.designedWidth, kMainWindow.designedHeight, nullptr, nullptr, instance_, this);
  if (!mainWindow_) fatalRuntimeError("无法创建主窗口，程序不能启动。");
  SendMessageA(mainWindow_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_));
  SendMessageA(mainWindow_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  createControls();
  stackControls();
  fire(kMainWindow.created);
  if (!mainWindow_) return;  // closed while it was being created
  ShowWindow(mainWindow_, SW_SHOW);
  UpdateWindow(mainWindow_);
  SetForegroundWindow(mainWindow_);
  // The focus starts in the first name box the operator can type into, else the first Tab stop.
  HWND focus = nullptr;
  for (const Control& control : controls_)
    if (control.design->kind == ControlKind::editBox && IsWindowVisible(control.window) &&
        IsWindowEnabled(control.window)) {
      focus = control.window;
      break;
    }
  SetFocus(focus ? focus : GetNextDlgTabItem(mainWindow_, nullptr, FALSE));
}

void Win32Toolkit::createControls() {
  HFONT defaultFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  for (std::size_t row = 0; row < kControlCount; ++row) {
    Control& control = controls_[row];
    const ControlSpec& design = *control.design;
    if (design.kind == ControlKind::timer) continue;
    HWND parent = design.container.empty() ? mainWindow_ : find(design.container).window;
    const std::string text = zeroTerminated(design.text);
    control.window =
        CreateWindowExA(extendedStyleOf(design), classOf(design.kind), text.c_str(), styleOf(design), design.left,
                        design.top, design.width, design.height, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + row)), instance_, nullptr);
    if (!control.window) fatalRuntimeError("无法创建窗口控件，程序不能启动。");
    SetPropA(control.window, kControlProperty, &control);
    SetPropA(control.window, kToolkitProperty, this);

    control.font = defaultFont;
    if (design.font) {
      const std::string face = zeroTerminated(design.font->face);
      HFONT font = CreateFontA(-design.font->height, 0, 0, 0, design.font->weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH, face.c_str());
      if (!font) fatalRuntimeError("无法创建字体，程序不能启动。");
      fonts_.emplace_back(font);
      control.font = font;
    }
    SendMessageA(control.window, WM_SETFONT, reinterpret_cast<WPARAM>(control.font), FALSE);
    if (design.kind == ControlKind::editBox) SendMessageA(control.window, EM_SETLIMITTEXT, 0, 0);  // no length limit

    if (design.kind == ControlKind::groupBox)
      control.classProc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrA(control.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(groupBoxProc)));
    else if (design.kind == ControlKind::transparentLabel)
      control.classProc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrA(control.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(labelProc)));
  }
}

// Among the controls of each container, the first row of the description lies on top.
void Win32Toolkit::stackControls() {
  const auto stack = [this](std::string_view container) {
    HWND above = HWND_TOP;
    for (const Control& control : controls_) {
      if (!control.window || control.design->container != container) continue;
      SetWindowPos(control.window, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
      above = control.window;
    }
  };
  stack({});  // the main window's own controls
  for (const Control& control : controls_)
    if (control.design->kind == ControlKind::groupBox) stack(control.design->name);
}

void Win32Toolkit::fire(Handler handler) {
  if (handler == Handler::none) return;
  try {
    sink_.onEvent(handler);
  } catch (const std::bad_alloc&) {
    fatalRuntimeError("内存不足，程序必须结束。");
  } catch (...) {
    fatalRuntimeError("程序内部出错，必须结束。");
  }
}

void Win32Toolkit::runEventLoop() {
  eventLoopEntered_ = true;
  if (!mainWindow_) return;
  MSG message;
  BOOL got;
  while ((got = GetMessageA(&message, nullptr, 0, 0)) != 0) {
    if (got == -1) fatalRuntimeError("消息循环出错，程序必须结束。");
    if (preTranslateKey(message)) continue;
    if (mainWindow_ && IsDialogMessageA(mainWindow_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  quitCode_ = static_cast<int>(message.wParam);
}

// Esc closes the window from any control, the name boxes included; Enter presses nothing and F1 does
// nothing. Keys of other windows (a message box, say) pass untouched.
bool Win32Toolkit::preTranslateKey(const MSG& message) {
  if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN && message.message != WM_CHAR) return false;
  if (!mainWindow_ || (message.hwnd != mainWindow_ && !IsChild(mainWindow_, message.hwnd))) return false;
  if (message.message == WM_CHAR) return message.wParam == '\r' || message.wParam == 27;
  switch (message.wParam) {
    case VK_ESCAPE: PostMessageA(mainWindow_, WM_CLOSE, 0, 0); return true;
    case VK_RETURN:
    case VK_F1: return true;
    default: return false;
  }
}

Win32Toolkit::Control& Win32Toolkit::find(std::string_view name) {
  for (Control& control : controls_)
    if (control.design->name == name) return control;
  fatalRuntimeError("程序内部出错：找不到控件。");
}

Win32Toolkit::Control* Win32Toolkit::fromWindow(HWND window) {
  return static_cast<Control*>(GetPropA(window, kControlProperty));
}

Text Win32Toolkit::text(std::string_view name) {
  HWND window = find(name).window;
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return {};
  Text text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(copied, 0)));
  return text;
}

void Win32Toolkit::setText(std::string_view name, std::string_view text) {
  SetWindowTextA(find(name).window, zeroTerminated(text).c_str());
}

bool Win32Toolkit::disabled(std::string_view name) { return !IsWindowEnabled(find(name).window); }

void Win32Toolkit::setDisabled(std::string_view name, bool disabled) {
  HWND window = find(name).window;
  EnableWindow(window, disabled ? FALSE : TRUE);
  if (disabled) keepFocusUsable(window);
}

bool Win32Toolkit::visible(std::string_view name) {
  return (GetWindowLongPtrA(find(name).window, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32Toolkit::setVisible(std::string_view name, bool visible) {
  HWND window = find(name).window;
  ShowWindow(window, visible ? SW_SHOWNA : SW_HIDE);
  if (!visible) keepFocusUsable(window);
}

// A control that has just been disabled or hidden must not keep the keyboard focus, or Esc and Tab
// would find no window to go to: the focus moves on to the next Tab stop, as in a dialog.
void Win32Toolkit::keepFocusUsable(HWND leaving) {
  HWND focus = GetFocus();
  if (!mainWindow_ || (focus != leaving && !IsChild(leaving, focus) && focus != nullptr)) return;
  HWND next = GetNextDlgTabItem(mainWindow_, nullptr, FALSE);
  SetFocus(next ? next : mainWindow_);
}

void Win32Toolkit::setLeft(std::string_view name, int left) {
  HWND window = find(name).window;
  const RECT rect = rectInParent(window);
  SetWindowPos(window, nullptr, std::clamp(left, -kMaxPosition, kMaxPosition), rect.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Toolkit::setTop(std::string_view name, int top) {
  HWND window = find(name).window;
  const RECT rect = rectInParent(window);
  SetWindowPos(window, nullptr, rect.left, std::clamp(top, -kMaxPosition, kMaxPosition), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Toolkit::setWindowWidth(int width) {
  RECT rect{};
  GetWindowRect(mainWindow_, &rect);
  SetWindowPos(mainWindow_, nullptr, 0, 0, std::clamp(width, 0, kMaxSize), rect.bottom - rect.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Toolkit::setWindowHeight(int height) {
  RECT rect{};
  GetWindowRect(mainWindow_, &rect);
  SetWindowPos(mainWindow_, nullptr, 0, 0, rect.right - rect.left, std::clamp(height, 0, kMaxSize),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Win32Toolkit::timerPeriod(std::string_view timer) { return find(timer).period; }

void Win32Toolkit::setTimerPeriod(std::string_view timer, int milliseconds) {
  Control& control = find(timer);
  milliseconds = std::max(milliseconds, 0);
  if (milliseconds == control.period) return;
  control.period = milliseconds;
  if (!mainWindow_) return;
  KillTimer(mainWindow_, kDrawTimerId);
  if (milliseconds > 0) SetTimer(mainWindow_, kDrawTimerId, static_cast<UINT>(milliseconds), nullptr);
}

int Win32Toolkit::messageBox(std::string_view text, unsigned flags, std::optional<std::string_view> title) {
  if (!(flags & MB_SYSTEMMODAL)) flags |= MB_TASKMODAL;
  const std::string body = zeroTerminated(text);
  const std::string caption = zeroTerminated(title.value_or(kDefaultMessageBoxTitle));
  return MessageBoxA(nullptr, body.c_str(), caption.c_str(), flags);
}

std::uint32_t Win32Toolkit::milliseconds() { return GetTickCount(); }

void Win32Toolkit::addExitRoutine(ExitRoutine routine) {
  if (std::find(exitList_.begin(), exitList_.end(), routine) == exitList_.end()) exitList_.push_back(routine);
}

void Win32Toolkit::fatalRuntimeError(std::string_view message) {
  const std::string body = zeroTerminated(message);
  MessageBoxA(nullptr, body.c_str(), "Quorvin", MB_OK | MB_ICONERROR | MB_TASKMODAL);
  exitList_.clear();  // emptied without being run
  releaseResources();
  ExitProcess(static_cast<UINT>(-1));
}

void Win32Toolkit::releaseResources() noexcept {
  if (mainWindow_) {
    DestroyWindow(mainWindow_);
    mainWindow_ = nullptr;
  }
  fonts_.clear();
  if (editBackground_) DeleteObject(editBackground_), editBackground_ = nullptr;
  if (windowClass_) UnregisterClassA(kMainWindowClass, instance_), windowClass_ = 0;
  if (largeIcon_) DestroyIcon(largeIcon_), largeIcon_ = nullptr;
  if (smallIcon_) DestroyIcon(smallIcon_), smallIcon_ = nullptr;
}

LRESULT CALLBACK Win32Toolkit::mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* toolkit = static_cast<Win32Toolkit*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    SetPropA(window, kToolkitProperty, toolkit);
  }
  auto* toolkit = static_cast<Win32Toolkit*>(GetPropA(window, kToolkitProperty));
  if (!toolkit) return DefWindowProcA(window, message, wParam, lParam);
  return toolkit->onMainWindowMessage(window, message, wParam, lParam);
}

LRESULT Win32Toolkit::onMainWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const int row = LOWORD(wParam) - kFirstControlId;
      if (HIWORD(wParam) == BN_CLICKED && row >= 0 && row < static_cast<int>(kControlCount) &&
          controls_[static_cast<std::size_t>(row)].design->kind == ControlKind::button)
        fire(controls_[static_cast<std::size_t>(row)].design->event);
      return 0;
    }
    case WM_TIMER:
      if (wParam == kDrawTimerId)
        for (const Control& control : controls_)
          if (control.design->kind == ControlKind::timer && control.period > 0) fire(control.design->event);
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
      // Edit boxes, the disabled ones included, show black text on white; group boxes fill with the
      // button face.
      const Control* control = fromWindow(reinterpret_cast<HWND>(lParam));
      HDC dc = reinterpret_cast<HDC>(wParam);
      if (control && control->design->kind == ControlKind::editBox) {
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(editBackground_);
      }
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_HELP: return TRUE;  // no help file: F1 does nothing
    case WM_DESTROY: KillTimer(window, kDrawTimerId); return 0;
    case WM_NCDESTROY:
      RemovePropA(window, kToolkitProperty);
      mainWindow_ = nullptr;
      // The program's last window is gone: once the loop runs, that ends the program.
      if (eventLoopEntered_) PostQuitMessage(0);
      return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

LRESULT CALLBACK Win32Toolkit::groupBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* toolkit = static_cast<Win32Toolkit*>(GetPropA(window, kToolkitProperty));
  Control* control = toolkit ? toolkit->fromWindow(window) : nullptr;
  if (!control) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_DRAWITEM:
      // The controls inside a group box are its child windows; their events belong to the main window.
      return toolkit->mainWindow_ ? SendMessageA(toolkit->mainWindow_, message, wParam, lParam) : 0;
    case WM_ERASEBKGND: {
      // A group box hides what lies beneath it: it fills its whole area.
      HDC dc = reinterpret_cast<HDC>(wParam);
      auto brush = reinterpret_cast<HBRUSH>(
          SendMessageA(GetParent(window), WM_CTLCOLORSTATIC, wParam, reinterpret_cast<LPARAM>(window)));
      RECT client{};
      GetClientRect(window, &client);
      FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
      return TRUE;
    }
    case WM_NCHITTEST:
      // A plain group box is transparent to the mouse; this one is a solid panel, and a click on it
      // must not reach a button beneath it.
      return HTCLIENT;
    case WM_NCDESTROY: return endSubclass(window, control->classProc, message, wParam, lParam);
    default: return CallWindowProcA(control->classProc, window, message, wParam, lParam);
  }
}

LRESULT CALLBACK Win32Toolkit::labelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* toolkit = static_cast<Win32Toolkit*>(GetPropA(window, kToolkitProperty));
  Control* control = toolkit ? toolkit->fromWindow(window) : nullptr;
  if (!control) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_ERASEBKGND: return TRUE;  // a transparent label has no background
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      const int length = GetWindowTextLengthA(window);
      if (length > 0) {
        std::string caption(static_cast<std::size_t>(length) + 1, '\0');
        const int copied = GetWindowTextA(window, caption.data(), length + 1);
        RECT client{};
        GetClientRect(window, &client);
        HGDIOBJ previousFont = SelectObject(dc, control->font);
        SetBkMode(dc, TRANSPARENT);
        const Colour colour = control->design->textColour;
        SetTextColor(dc, RGB(colour.red, colour.green, colour.blue));
        UINT format = DT_NOPREFIX | (control->design->align == TextAlign::centre ? DT_CENTER : DT_LEFT);
        format |= control->design->wordWrap ? DT_WORDBREAK | DT_TOP : DT_SINGLELINE | DT_VCENTER;
        DrawTextA(dc, caption.c_str(), copied, &client, format);
        SelectObject(dc, previousFont);
      }
      EndPaint(window, &paint);
      return 0;
    }
    case WM_SETTEXT: {
      // Nothing of the old caption may stay visible: what lies beneath the label is repainted first,
      // then the label draws its new caption over it.
      const LRESULT result = CallWindowProcA(control->classProc, window, message, wParam, lParam);
      HWND parent = GetParent(window);
      RECT area = rectInParent(window);
      RedrawWindow(parent, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      return result;
    }
    case WM_NCDESTROY: return endSubclass(window, control->classProc, message, wParam, lParam);
    default: return CallWindowProcA(control->classProc, window, message, wParam, lParam);
  }
}

}  // namespace quorvin
