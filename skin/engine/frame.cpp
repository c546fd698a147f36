// The caption bar, frame and caption buttons of top-level windows. The engine keeps the system's frame and
// caption sizes (so the client area, and the program's layout, stay as designed) and paints over them.
#include "engine_internal.h"

namespace skinh {
namespace {

constexpr int kIconSize = 16;
constexpr int kTitleLength = 256;

HICON iconOf(HWND window) {
  HICON icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
  if (icon == nullptr) icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0));
  if (icon == nullptr) icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICONSM));
  if (icon == nullptr) icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICON));
  return icon;
}

bool isEmpty(const RECT& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

// Places the caption buttons from the right edge of the caption leftwards: close, maximize, minimize.
void placeButtons(CaptionLayout& layout, LONG style) {
  const int height = layout.caption.bottom - layout.caption.top;
  int size = height - 4;
  if (size < 8) size = height;
  const int width = size + size / 3;
  const int top = layout.caption.top + (height - size) / 2;
  int right = layout.caption.right - 2;
  auto place = [&](RECT& rect) {
    rect = {right - width, top, right, top + size};
    right = rect.left - 2;
  };
  layout.hasClose = (style & WS_SYSMENU) != 0;
  layout.hasMaximize = layout.hasClose && (style & WS_MAXIMIZEBOX) != 0;
  layout.hasMinimize = layout.hasClose && (style & WS_MINIMIZEBOX) != 0;
  if (layout.hasClose) place(layout.close);
  if (layout.hasMaximize) place(layout.maximize);
  if (layout.hasMinimize) place(layout.minimize);
  layout.text.right = right - 2;
}

void drawGlyph(HDC dc, const RECT& rect, UINT button, Rgb glyph) {
  const int cx = (rect.left + rect.right) / 2;
  const int cy = (rect.top + rect.bottom) / 2;
  const int half = (rect.bottom - rect.top) / 4;
  switch (button) {
    case HTMINBUTTON: {
      const RECT bar = {cx - half, cy + half - 1, cx + half + 1, cy + half + 1};
      fillSolid(dc, bar, glyph);
      break;
    }
    case HTMAXBUTTON: {
      const RECT box = {cx - half, cy - half, cx + half + 1, cy + half + 1};
      frameRect(dc, box, glyph, 1);
      const RECT top = {box.left, box.top, box.right, box.top + 2};
      fillSolid(dc, top, glyph);
      break;
    }
    case HTCLOSE: {
      SavedDc saved(dc);
      SelectObject(dc, GetStockObject(DC_PEN));
      SetDCPenColor(dc, static_cast<COLORREF>(glyph));
      for (int thick = 0; thick < 2; ++thick) {
        MoveToEx(dc, cx - half + thick, cy - half, nullptr);
        LineTo(dc, cx + half + 1 + thick, cy + half + 1);
        MoveToEx(dc, cx + half - thick, cy - half, nullptr);
        LineTo(dc, cx - half - 1 - thick, cy + half + 1);
      }
      break;
    }
    default:
      break;
  }
}

void drawCaptionButton(HDC dc, const RECT& rect, UINT button, const SkinnedWindow& record, bool active) {
  const bool pressed = record.pressedCaptionButton == button && record.pressedInside;
  const bool hot = record.hotCaptionButton == button && record.pressedCaptionButton == 0;
  if (pressed) {
    fillSolid(dc, rect, color(ColorId::CaptionButtonPressed));
  } else if (hot) {
    fillSolid(dc, rect, color(button == HTCLOSE ? ColorId::CaptionButtonCloseHot : ColorId::CaptionButtonHot));
  }
  const Rgb glyph = active ? color(ColorId::CaptionButtonGlyph) : color(ColorId::CaptionTextInactive);
  drawGlyph(dc, rect, button, glyph);
}

void drawTitle(HDC dc, HWND window, const CaptionLayout& layout, bool active) {
  WCHAR title[kTitleLength];
  const int length = GetWindowTextW(window, title, kTitleLength);
  if (length <= 0 || isEmpty(layout.text)) return;
  SavedDc saved(dc);
  if (engine().objects.captionFont != nullptr) SelectObject(dc, engine().objects.captionFont);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, static_cast<COLORREF>(color(active ? ColorId::CaptionTextActive : ColorId::CaptionTextInactive)));
  RECT text = layout.text;
  DrawTextW(dc, title, length, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
}

}  // namespace

// Wine activates a window shown from a background state with WM_NCACTIVATE(FALSE) and then makes it the
// foreground window without another WM_NCACTIVATE (a window that takes the focus while still hidden, as
// the program's does at start-up). Such a window is drawn active once it is in the foreground; a window
// told "inactive" while it was itself in the foreground (by a menu, say) stays inactive.
bool captionLooksActive(HWND window, const SkinnedWindow& record) {
  return record.active || (record.deactivatedInBackground && GetForegroundWindow() == window);
}

bool computeCaptionLayout(HWND window, CaptionLayout& layout) {
  layout = {};
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  // Windows with a menu bar keep the system's non-client painting: the menu lives there too.
  if ((style & WS_CAPTION) != WS_CAPTION || (style & WS_CHILD) != 0 || IsIconic(window) || GetMenu(window) != nullptr) {
    return false;
  }
  RECT windowRect;
  POINT clientOrigin = {0, 0};
  if (!GetWindowRect(window, &windowRect) || !ClientToScreen(window, &clientOrigin)) return false;
  const int border = clientOrigin.x - windowRect.left;
  const int clientTop = clientOrigin.y - windowRect.top;
  const int width = windowRect.right - windowRect.left;
  if (border < 0 || clientTop <= border + 6 || width <= 2 * border + 20) return false;

  // The last row above the client area stays in the frame colour, as a rule under the caption.
  layout.caption = {border, border, width - border, clientTop - 1};
  const int height = layout.caption.bottom - layout.caption.top;
  layout.text = layout.caption;
  layout.text.left += 6;
  const LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
  if ((style & WS_SYSMENU) != 0 && (exStyle & WS_EX_DLGMODALFRAME) == 0 && iconOf(window) != nullptr) {
    const int top = layout.caption.top + (height - kIconSize) / 2;
    layout.icon = {layout.caption.left + 3, top, layout.caption.left + 3 + kIconSize, top + kIconSize};
    layout.text.left = layout.icon.right + 5;
  }
  placeButtons(layout, style);
  return true;
}

UINT captionHitTest(HWND window, POINT screenPoint) {
  CaptionLayout layout;
  RECT windowRect;
  if (!computeCaptionLayout(window, layout) || !GetWindowRect(window, &windowRect)) return HTNOWHERE;
  const POINT point = {screenPoint.x - windowRect.left, screenPoint.y - windowRect.top};
  if (layout.hasClose && PtInRect(&layout.close, point)) return HTCLOSE;
  if (layout.hasMaximize && PtInRect(&layout.maximize, point)) return HTMAXBUTTON;
  if (layout.hasMinimize && PtInRect(&layout.minimize, point)) return HTMINBUTTON;
  if (!isEmpty(layout.icon) && PtInRect(&layout.icon, point)) return HTSYSMENU;
  if (PtInRect(&layout.caption, point)) return HTCAPTION;
  return HTNOWHERE;
}

void paintFrame(HWND window, const SkinnedWindow& record) {
  CaptionLayout layout;
  if (!IsWindowVisible(window) || !computeCaptionLayout(window, layout)) return;
  RECT windowRect;
  RECT clientRect;
  POINT clientOrigin = {0, 0};
  if (!GetWindowRect(window, &windowRect) || !GetClientRect(window, &clientRect) ||
      !ClientToScreen(window, &clientOrigin)) {
    return;
  }
  WindowDc dc(window, true);
  if (dc.get() == nullptr) return;
  SavedDc saved(dc.get());
  const int clientLeft = clientOrigin.x - windowRect.left;
  const int clientTop = clientOrigin.y - windowRect.top;
  ExcludeClipRect(dc.get(), clientLeft, clientTop, clientLeft + clientRect.right, clientTop + clientRect.bottom);

  const bool active = captionLooksActive(window, record);
  const RECT whole = {0, 0, windowRect.right - windowRect.left, windowRect.bottom - windowRect.top};
  fillSolid(dc.get(), whole, color(active ? ColorId::FrameActive : ColorId::FrameInactive));
  fillVerticalGradient(dc.get(), layout.caption,
                       color(active ? ColorId::CaptionActiveStart : ColorId::CaptionInactiveStart),
                       color(active ? ColorId::CaptionActiveEnd : ColorId::CaptionInactiveEnd));
  if (!isEmpty(layout.icon)) {
    DrawIconEx(dc.get(), layout.icon.left, layout.icon.top, iconOf(window), kIconSize, kIconSize, 0, nullptr,
               DI_NORMAL);
  }
  drawTitle(dc.get(), window, layout, active);
  if (layout.hasMinimize) drawCaptionButton(dc.get(), layout.minimize, HTMINBUTTON, record, active);
  if (layout.hasMaximize) drawCaptionButton(dc.get(), layout.maximize, HTMAXBUTTON, record, active);
  if (layout.hasClose) drawCaptionButton(dc.get(), layout.close, HTCLOSE, record, active);
}

}  // namespace skinh
