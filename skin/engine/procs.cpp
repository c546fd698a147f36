// The one window procedure of every skinned window, dispatching to the handling of its kind. Anything
// the engine does not paint itself goes to the window's original procedure, so clicks, keys, timers,
// moving and minimizing behave as before.
#include "engine_internal.h"

namespace skinh {
namespace {

int pointX(LPARAM lParam) { return static_cast<int>(static_cast<short>(LOWORD(static_cast<DWORD_PTR>(lParam)))); }
int pointY(LPARAM lParam) { return static_cast<int>(static_cast<short>(HIWORD(static_cast<DWORD_PTR>(lParam)))); }

// Undocumented messages by which themed Windows (without composition) draws the caption and frame
// directly, outside WM_NCPAINT; a skinned frame swallows them.
constexpr UINT kThemedDrawCaption = 0x00AE;  // WM_NCUAHDRAWCAPTION
constexpr UINT kThemedDrawFrame = 0x00AF;    // WM_NCUAHDRAWFRAME

bool isCaptionButton(WPARAM hit) { return hit == HTCLOSE || hit == HTMINBUTTON || hit == HTMAXBUTTON; }

// The original procedure may destroy the window (a click that closes it), so the record is looked up
// again afterwards; null means the window is gone.
SkinnedWindow* stillSkinned(HWND window) { return IsWindow(window) ? skinnedWindow(window) : nullptr; }

void runCaptionCommand(HWND window, UINT button) {
  WPARAM command = SC_CLOSE;
  if (button == HTMINBUTTON) command = SC_MINIMIZE;
  if (button == HTMAXBUTTON) command = IsZoomed(window) ? SC_RESTORE : SC_MAXIMIZE;
  SendMessageW(window, WM_SYSCOMMAND, command, 0);
}

void trackLeave(HWND window, SkinnedWindow& record, DWORD flags) {
  if (record.trackingLeave) return;
  TRACKMOUSEEVENT request = {};
  request.cbSize = sizeof request;
  request.dwFlags = flags;
  request.hwndTrack = window;
  record.trackingLeave = TrackMouseEvent(&request) != FALSE;
}

// Messages after which the system's own code has painted the frame directly, outside WM_NCPAINT.
bool repaintsFrame(UINT message) {
  switch (message) {
    case WM_NCACTIVATE:
    case WM_SETTEXT:
    case WM_SETICON:
    case WM_ENABLE:
    case WM_STYLECHANGED:
    case WM_SYSCOMMAND:
      return true;
    default:
      return false;
  }
}

LRESULT frameProc(HWND window, SkinnedWindow& record, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCPAINT: {
      CaptionLayout layout;
      if (!computeCaptionLayout(window, layout)) break;
      paintFrame(window, record);
      return 0;
    }
    case kThemedDrawCaption:
    case kThemedDrawFrame: {
      CaptionLayout layout;
      if (!computeCaptionLayout(window, layout)) break;
      return 0;
    }
    case WM_NCHITTEST: {
      const UINT hit = captionHitTest(window, POINT{pointX(lParam), pointY(lParam)});
      if (hit != HTNOWHERE) return static_cast<LRESULT>(hit);
      break;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      // Caption buttons are tracked here: the system's tracking would draw its own buttons.
      if (!isCaptionButton(wParam)) break;
      record.pressedCaptionButton = static_cast<UINT>(wParam);
      record.pressedInside = true;
      SetCapture(window);
      paintFrame(window, record);
      return 0;
    case WM_MOUSEMOVE:
      if (record.pressedCaptionButton != 0) {
        POINT point = {pointX(lParam), pointY(lParam)};
        ClientToScreen(window, &point);
        const bool inside = captionHitTest(window, point) == record.pressedCaptionButton;
        if (inside != record.pressedInside) {
          record.pressedInside = inside;
          paintFrame(window, record);
        }
        return 0;
      }
      break;
    case WM_LBUTTONUP:
      if (record.pressedCaptionButton != 0) {
        const UINT button = record.pressedCaptionButton;
        const bool inside = record.pressedInside;
        record.pressedCaptionButton = 0;
        record.pressedInside = false;
        ReleaseCapture();
        paintFrame(window, record);
        if (inside) runCaptionCommand(window, button);  // may destroy the window: nothing after this
        return 0;
      }
      break;
    case WM_CAPTURECHANGED:
      if (record.pressedCaptionButton != 0 && reinterpret_cast<HWND>(lParam) != window) {
        record.pressedCaptionButton = 0;
        record.pressedInside = false;
        paintFrame(window, record);
      }
      break;
    case WM_NCMOUSEMOVE: {
      const UINT hot = isCaptionButton(wParam) ? static_cast<UINT>(wParam) : 0;
      if (hot != 0) trackLeave(window, record, TME_LEAVE | TME_NONCLIENT);
      if (hot != record.hotCaptionButton) {
        record.hotCaptionButton = hot;
        paintFrame(window, record);
      }
      break;
    }
    case WM_NCMOUSELEAVE:
      record.trackingLeave = false;
      if (record.hotCaptionButton != 0) {
        record.hotCaptionButton = 0;
        paintFrame(window, record);
      }
      break;
    case WM_WINDOWPOSCHANGED: {
      // Showing a window may bring it to the foreground without a WM_NCACTIVATE (see captionLooksActive).
      const bool activeBefore = captionLooksActive(window, record);
      const LRESULT result = callOriginal(record, window, message, wParam, lParam);
      SkinnedWindow* alive = stillSkinned(window);
      if (alive != nullptr && captionLooksActive(window, *alive) != activeBefore) paintFrame(window, *alive);
      return result;
    }
    case WM_ERASEBKGND: {
      RECT rect;
      GetClientRect(window, &rect);
      FillRect(reinterpret_cast<HDC>(wParam), &rect, engine().objects.windowFace);
      return 1;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: {
      HBRUSH brush = answerControlColor(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                                        record.isDialog);
      if (brush != nullptr) return reinterpret_cast<LRESULT>(brush);
      break;
    }
    default:
      if (repaintsFrame(message)) {
        if (message == WM_NCACTIVATE) {
          record.active = wParam != 0;
          record.deactivatedInBackground = wParam == 0 && GetForegroundWindow() != window;
          lParam = -1;  // asks DefWindowProc not to draw its own caption for the new state
        }
        const LRESULT result = callOriginal(record, window, message, wParam, lParam);
        if (SkinnedWindow* alive = stillSkinned(window)) paintFrame(window, *alive);
        return result;
      }
      break;
  }
  return callOriginal(record, window, message, wParam, lParam);
}

void repaintButtonNow(HWND button) {
  SkinnedWindow* record = stillSkinned(button);
  if (record == nullptr || !IsWindowVisible(button)) return;
  WindowDc dc(button, false);
  if (dc.get() != nullptr) paintPushButton(button, dc.get(), *record);
}

bool isPushed(HWND button) { return (SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; }

// The system's button code paints straight to the screen when its state changes (press, focus, enable,
// text); after those messages the engine paints its own face over it at once.
bool changesButtonState(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_SETFONT:
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
    case WM_UPDATEUISTATE:
    case WM_STYLECHANGED:
    case BM_SETSTATE:
    case BM_SETSTYLE:
    case BM_SETCHECK:
      return true;
    default:
      return false;
  }
}

// WM_PAINT: into the device context that came with the message, or else the window's own paint DC.
template <typename Paint>
LRESULT paintMessage(HWND window, WPARAM wParam, Paint paint) {
  if (wParam != 0) {
    paint(reinterpret_cast<HDC>(wParam));
    return 0;
  }
  PAINTSTRUCT paintStruct;
  HDC dc = BeginPaint(window, &paintStruct);
  if (dc != nullptr) paint(dc);
  EndPaint(window, &paintStruct);
  return 0;
}

LRESULT pushButtonProc(HWND button, SkinnedWindow& record, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      return paintMessage(button, wParam, [&](HDC dc) { paintPushButton(button, dc, record); });
    case WM_PRINTCLIENT:
      paintPushButton(button, reinterpret_cast<HDC>(wParam), record);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the face covers the whole button
    case WM_MOUSEMOVE: {
      const bool becameHot = !record.hot;
      record.hot = true;
      trackLeave(button, record, TME_LEAVE);
      const bool pushedBefore = isPushed(button);
      const LRESULT result = callOriginal(record, button, message, wParam, lParam);
      if (becameHot || (IsWindow(button) && isPushed(button) != pushedBefore)) repaintButtonNow(button);
      return result;
    }
    case WM_MOUSELEAVE: {
      record.hot = false;
      record.trackingLeave = false;
      const LRESULT result = callOriginal(record, button, message, wParam, lParam);
      repaintButtonNow(button);
      return result;
    }
    default:
      if (changesButtonState(message)) {
        const LRESULT result = callOriginal(record, button, message, wParam, lParam);
        repaintButtonNow(button);
        return result;
      }
      break;
  }
  return callOriginal(record, button, message, wParam, lParam);
}

void redrawGroupBox(HWND groupBox) {
  if (IsWindow(groupBox)) {
    RedrawWindow(groupBox, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
}

LRESULT groupBoxProc(HWND groupBox, SkinnedWindow& record, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      eraseGroupBox(groupBox, reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_PAINT:
      return paintMessage(groupBox, wParam, [&](HDC dc) { paintGroupBox(groupBox, dc, record); });
    case WM_PRINTCLIENT:
      if ((lParam & PRF_ERASEBKGND) != 0) eraseGroupBox(groupBox, reinterpret_cast<HDC>(wParam));
      paintGroupBox(groupBox, reinterpret_cast<HDC>(wParam), record);
      return 0;
    case WM_SETTEXT:
    case WM_ENABLE:
    case WM_SETFONT:
    case WM_UPDATEUISTATE:
    case WM_STYLECHANGED: {
      const LRESULT result = callOriginal(record, groupBox, message, wParam, lParam);
      redrawGroupBox(groupBox);
      return result;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      HBRUSH brush = answerControlColor(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), false);
      if (brush != nullptr) return reinterpret_cast<LRESULT>(brush);
      break;
    }
    default:
      break;
  }
  return callOriginal(record, groupBox, message, wParam, lParam);
}

// Disabled edits without scroll bars or password masking are drawn by the engine.
bool paintsOwnDisabledFace(HWND edit) {
  return !IsWindowEnabled(edit) && (GetWindowLongW(edit, GWL_STYLE) & (ES_PASSWORD | WS_VSCROLL | WS_HSCROLL)) == 0;
}

bool hasScrollBars(HWND window) { return (GetWindowLongW(window, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL)) != 0; }

LRESULT editProc(HWND edit, SkinnedWindow& record, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCPAINT: {
      // Scroll bars stay the system's; the border around them is ours.
      const LRESULT result = hasScrollBars(edit) ? callOriginal(record, edit, message, wParam, lParam) : 0;
      paintEditBorder(edit);
      return result;
    }
    case WM_PAINT:
      if (!paintsOwnDisabledFace(edit)) break;
      if (wParam != 0) {
        paintDisabledEdit(edit, reinterpret_cast<HDC>(wParam));
      } else {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(edit, &paint);
        if (dc != nullptr) paintDisabledEdit(edit, dc);
        EndPaint(edit, &paint);
      }
      return 0;
    case WM_PRINTCLIENT:
      if (!paintsOwnDisabledFace(edit)) break;
      paintDisabledEdit(edit, reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_ERASEBKGND:
      if (paintsOwnDisabledFace(edit)) return 1;
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_STYLECHANGED:
    case WM_SETTEXT:
    case WM_SETFONT: {
      // The system's edit code may paint straight away here (a new text, a change of state); the
      // engine's face goes back over it.
      const LRESULT result = callOriginal(record, edit, message, wParam, lParam);
      if (stillSkinned(edit) == nullptr) return result;
      paintEditBorder(edit);
      if (paintsOwnDisabledFace(edit) && IsWindowVisible(edit)) {
        RedrawWindow(edit, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
      }
      return result;
    }
    default:
      break;
  }
  return callOriginal(record, edit, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK skinnedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SkinnedWindow* record = skinnedWindow(window);
  if (record == nullptr) {
    return IsWindowUnicode(window) ? DefWindowProcW(window, message, wParam, lParam)
                                   : DefWindowProcA(window, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) return forgetWindow(window, record, message, wParam, lParam);
  if (!engine().attached) return callOriginal(*record, window, message, wParam, lParam);
  switch (record->kind) {
    case WindowKind::Frame:
      return frameProc(window, *record, message, wParam, lParam);
    case WindowKind::PushButton:
      return pushButtonProc(window, *record, message, wParam, lParam);
    case WindowKind::GroupBox:
      return groupBoxProc(window, *record, message, wParam, lParam);
    case WindowKind::Edit:
      return editProc(window, *record, message, wParam, lParam);
  }
  return callOriginal(*record, window, message, wParam, lParam);
}

}  // namespace skinh
