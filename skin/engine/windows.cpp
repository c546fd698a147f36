// Finding the windows to skin and subclassing them. Each skinned window gets a heap record found through
// a window property; the record is freed, and the original window procedure put back where it is still
// ours, at WM_NCDESTROY.
#include "engine_internal.h"

#include <cstring>

namespace skinh {
namespace {

LPCWSTR propertyName() {
  return reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(engine().windowProperty));
}

// Decides what a window is to the engine; false = leave it alone (labels, list boxes, owner-drawn
// buttons, check boxes, windows without a caption...).
bool classify(HWND window, WindowKind& kind, bool& isDialog) {
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  const ControlClass windowClass = classOf(window);
  isDialog = windowClass == ControlClass::Dialog;
  if ((style & WS_CHILD) == 0) {
    kind = WindowKind::Frame;
    return (style & WS_CAPTION) == WS_CAPTION;
  }
  if (windowClass == ControlClass::Edit) {
    kind = WindowKind::Edit;
    return true;
  }
  if (windowClass != ControlClass::Button) return false;
  const LONG type = style & BS_TYPEMASK;
  if ((type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) && (style & (BS_BITMAP | BS_ICON)) == 0) {
    kind = WindowKind::PushButton;
    return true;
  }
  if (type == BS_GROUPBOX) {
    kind = WindowKind::GroupBox;
    return true;
  }
  return false;
}

// With desktop composition on, Windows draws the frame itself and WM_NCPAINT never shows; turning the
// window's non-client rendering policy off gives the frame back to WM_NCPAINT. dwmapi is looked up at run
// time (it is absent before Vista), so the engine keeps importing only kernel32, user32 and gdi32.
void letTheEnginePaintTheFrame(HWND window) {
  using SetWindowAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
  static_assert(sizeof(FARPROC) == sizeof(SetWindowAttribute));
  HMODULE dwm = LoadLibraryA("dwmapi.dll");
  if (dwm == nullptr) return;
  FARPROC found = GetProcAddress(dwm, "DwmSetWindowAttribute");
  if (found == nullptr) return;
  SetWindowAttribute setAttribute;
  std::memcpy(&setAttribute, &found, sizeof setAttribute);
  constexpr DWORD kNonClientRenderingPolicy = 2;  // DWMWA_NCRENDERING_POLICY
  const DWORD disabled = 1;                       // DWMNCRP_DISABLED
  setAttribute(window, kNonClientRenderingPolicy, &disabled, sizeof disabled);
}

LONG_PTR setWindowProc(HWND window, bool unicode, WNDPROC procedure) {
  const LONG_PTR value = reinterpret_cast<LONG_PTR>(procedure);
  return unicode ? SetWindowLongPtrW(window, GWLP_WNDPROC, value) : SetWindowLongPtrA(window, GWLP_WNDPROC, value);
}

}  // namespace

SkinnedWindow* skinnedWindow(HWND window) {
  if (engine().windowProperty == 0) return nullptr;
  return static_cast<SkinnedWindow*>(GetPropW(window, propertyName()));
}

void skinWindowIfSuitable(HWND window) {
  if (window == nullptr || skinnedWindow(window) != nullptr) return;
  if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return;
  WindowKind kind = WindowKind::Frame;
  bool isDialog = false;
  if (!classify(window, kind, isDialog)) return;

  auto* record = static_cast<SkinnedWindow*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(SkinnedWindow)));
  if (record == nullptr) return;
  record->unicode = IsWindowUnicode(window) != FALSE;
  record->kind = kind;
  record->isDialog = isDialog;
  record->active = GetActiveWindow() == window;
  record->deactivatedInBackground = true;  // no WM_NCACTIVATE seen yet: the foreground state decides
  if (!SetPropW(window, propertyName(), record)) {
    HeapFree(GetProcessHeap(), 0, record);
    return;
  }
  const LONG_PTR previous = setWindowProc(window, record->unicode, &skinnedWindowProc);
  if (previous == 0) {
    RemovePropW(window, propertyName());
    HeapFree(GetProcessHeap(), 0, record);
    return;
  }
  record->original = reinterpret_cast<WNDPROC>(previous);
  if (kind == WindowKind::Frame) letTheEnginePaintTheFrame(window);
}

LRESULT callOriginal(const SkinnedWindow& record, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return record.unicode ? CallWindowProcW(record.original, window, message, wParam, lParam)
                        : CallWindowProcA(record.original, window, message, wParam, lParam);
}

void releaseWindowObjects(SkinnedWindow& record) {
  if (record.groupFont != nullptr) DeleteObject(record.groupFont);
  record.groupFont = nullptr;
  record.groupFontSource = nullptr;
}

// Called by the window procedure at WM_NCDESTROY: the last message a window gets.
LRESULT forgetWindow(HWND window, SkinnedWindow* record, UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC original = record->original;
  const bool unicode = record->unicode;
  const LONG_PTR current = unicode ? GetWindowLongPtrW(window, GWLP_WNDPROC) : GetWindowLongPtrA(window, GWLP_WNDPROC);
  if (current == reinterpret_cast<LONG_PTR>(&skinnedWindowProc)) setWindowProc(window, unicode, original);
  RemovePropW(window, propertyName());
  releaseWindowObjects(*record);
  HeapFree(GetProcessHeap(), 0, record);
  return unicode ? CallWindowProcW(original, window, message, wParam, lParam)
                 : CallWindowProcA(original, window, message, wParam, lParam);
}

}  // namespace skinh
