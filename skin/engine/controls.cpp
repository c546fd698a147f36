// Push buttons, group boxes and edit borders, and the colours the engine gives controls through their
// parents' WM_CTLCOLOR* answers. Static controls are never painted: the program's transparent labels
// draw only their own captions over whatever the container painted.
#include "engine_internal.h"

namespace skinh {
namespace {

constexpr int kTextLength = 256;

struct FaceColors {
  Rgb top;
  Rgb bottom;
};

FaceColors buttonFace(bool enabled, bool pressed, bool hot) {
  if (!enabled) return {color(ColorId::ButtonDisabledFace), color(ColorId::ButtonDisabledFace)};
  if (pressed) return {color(ColorId::ButtonPressedStart), color(ColorId::ButtonPressedEnd)};
  if (hot) return {color(ColorId::ButtonHotStart), color(ColorId::ButtonHotEnd)};
  return {color(ColorId::ButtonFaceStart), color(ColorId::ButtonFaceEnd)};
}

// Fills the button's rounded face. The clip region is given in device units, so it follows the DC's
// origin (a WM_PRINTCLIENT DC may be offset).
void fillRoundedFace(HDC dc, const RECT& rect, int radius, const FaceColors& face) {
  SavedDc saved(dc);
  POINT viewport = {0, 0};
  POINT origin = {0, 0};
  GetViewportOrgEx(dc, &viewport);
  GetWindowOrgEx(dc, &origin);
  GdiObject<HRGN> region(CreateRoundRectRgn(rect.left, rect.top, rect.right + 1, rect.bottom + 1, radius * 2,
                                            radius * 2));
  if (region.get() != nullptr) {
    OffsetRgn(region.get(), viewport.x - origin.x, viewport.y - origin.y);
    ExtSelectClipRgn(dc, region.get(), RGN_AND);
  }
  fillVerticalGradient(dc, rect, face.top, face.bottom);
}

void drawButtonText(HDC dc, HWND button, RECT area, bool enabled, LONG style) {
  WCHAR text[kTextLength];
  const int length = GetWindowTextW(button, text, kTextLength);
  if (length <= 0) return;
  SavedDc saved(dc);
  SelectObject(dc, fontOf(button));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, static_cast<COLORREF>(color(enabled ? ColorId::ButtonText : ColorId::ButtonDisabledText)));
  UINT flags = DT_CENTER;
  if ((style & BS_MULTILINE) != 0) {
    // Wrapped captions are centred as a block: measure first, then move the block down.
    RECT measured = area;
    DrawTextW(dc, text, length, &measured, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
    const int spare = (area.bottom - area.top) - (measured.bottom - measured.top);
    if (spare > 0) area.top += spare / 2;
    flags |= DT_WORDBREAK;
  } else {
    flags |= DT_SINGLELINE | DT_VCENTER;
  }
  DrawTextW(dc, text, length, &area, flags);
}

HFONT groupCaptionFont(HWND groupBox, SkinnedWindow& record) {
  HFONT base = fontOf(groupBox);
  const LONG weight = metric(MetricId::GroupTextWeight);
  if (record.groupFont != nullptr && record.groupFontSource == base && record.groupFontWeight == weight) {
    return record.groupFont;
  }
  LOGFONTW description;
  if (GetObjectW(base, static_cast<int>(sizeof description), &description) != static_cast<int>(sizeof description)) {
    return base;
  }
  description.lfWeight = weight;
  HFONT made = CreateFontIndirectW(&description);
  if (made == nullptr) return base;
  if (record.groupFont != nullptr) DeleteObject(record.groupFont);
  record.groupFont = made;
  record.groupFontSource = base;
  record.groupFontWeight = weight;
  return made;
}

}  // namespace

void paintPushButton(HWND button, HDC dc, const SkinnedWindow& record) {
  RECT rect;
  if (!GetClientRect(button, &rect) || rect.right <= 2 || rect.bottom <= 2) return;
  const LONG style = GetWindowLongW(button, GWL_STYLE);
  const bool enabled = IsWindowEnabled(button) != FALSE;
  const bool pressed = (SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
  const bool focused = GetFocus() == button;
  const bool isDefault = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  const int radius = metric(MetricId::ButtonCornerRadius);

  fillSolid(dc, rect, color(ColorId::WindowFace));  // shows at the rounded corners
  fillRoundedFace(dc, rect, radius, buttonFace(enabled, pressed, record.hot));
  roundFrame(dc, rect, color(enabled ? ColorId::ButtonBorder : ColorId::ButtonDisabledBorder), radius);
  int inset = 2;
  if (isDefault && enabled) {
    RECT inner = rect;
    InflateRect(&inner, -1, -1);
    roundFrame(dc, inner, color(ColorId::ButtonDefaultBorder), radius > 0 ? radius - 1 : 0);
    inset = 3;
  }
  if (focused && enabled) {
    RECT ring = rect;
    InflateRect(&ring, -inset, -inset);
    frameRect(dc, ring, color(ColorId::FocusRing), metric(MetricId::FocusWidth));
  }
  RECT textArea = rect;
  InflateRect(&textArea, -4, -2);
  if (pressed) OffsetRect(&textArea, 1, 1);
  drawButtonText(dc, button, textArea, enabled, style);
}

void eraseGroupBox(HWND groupBox, HDC dc) {
  RECT rect;
  if (!GetClientRect(groupBox, &rect)) return;
  SavedDc saved(dc);
  // Opaque children paint themselves; leaving them out avoids flicker. Labels are transparent and need
  // the face beneath them, so they are painted over.
  for (HWND child = GetWindow(groupBox, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child) || classOf(child) == ControlClass::Static) continue;
    RECT childRect;
    if (!GetWindowRect(child, &childRect)) continue;
    MapWindowPoints(nullptr, groupBox, reinterpret_cast<POINT*>(&childRect), 2);
    ExcludeClipRect(dc, childRect.left, childRect.top, childRect.right, childRect.bottom);
  }
  fillSolid(dc, rect, color(ColorId::WindowFace));
}

void paintGroupBox(HWND groupBox, HDC dc, SkinnedWindow& record) {
  RECT rect;
  if (!GetClientRect(groupBox, &rect)) return;
  SavedDc saved(dc);
  SelectObject(dc, groupCaptionFont(groupBox, record));
  TEXTMETRICW metrics;
  if (!GetTextMetricsW(dc, &metrics)) return;
  const int textHeight = metrics.tmHeight;

  RECT frame = {rect.left, rect.top + textHeight / 2, rect.right, rect.bottom};
  const int radius = metric(MetricId::ButtonCornerRadius);
  for (int ring = 0; ring < metric(MetricId::GroupFrameWidth); ++ring) {
    roundFrame(dc, frame, color(ColorId::GroupFrame), radius);
    InflateRect(&frame, -1, -1);
  }

  WCHAR text[kTextLength];
  const int length = GetWindowTextW(groupBox, text, kTextLength);
  if (length <= 0) return;
  RECT measured = {0, 0, 0, 0};
  DrawTextW(dc, text, length, &measured, DT_SINGLELINE | DT_CALCRECT);
  const int textLeft = rect.left + 9;
  const int textRight = textLeft + measured.right < rect.right - 4 ? textLeft + measured.right : rect.right - 4;
  const RECT gap = {textLeft - 3, rect.top, textRight + 3, rect.top + textHeight};
  fillSolid(dc, gap, color(ColorId::WindowFace));
  SetBkMode(dc, TRANSPARENT);
  const bool enabled = IsWindowEnabled(groupBox) != FALSE;
  SetTextColor(dc, static_cast<COLORREF>(color(enabled ? ColorId::GroupText : ColorId::ButtonDisabledText)));
  RECT textRect = {textLeft, rect.top, textRight, rect.top + textHeight};
  DrawTextW(dc, text, length, &textRect, DT_SINGLELINE | DT_LEFT | DT_END_ELLIPSIS);
}

void paintDisabledEdit(HWND edit, HDC dc) {
  RECT client;
  if (!GetClientRect(edit, &client)) return;
  fillSolid(dc, client, color(ColorId::EditDisabledFace));
  const int length = GetWindowTextLengthW(edit);
  if (length <= 0) return;
  const SIZE_T bytes = (static_cast<SIZE_T>(length) + 1) * sizeof(WCHAR);
  auto* text = static_cast<WCHAR*>(HeapAlloc(GetProcessHeap(), 0, bytes));
  if (text == nullptr) return;
  const int copied = GetWindowTextW(edit, text, length + 1);
  // The edit's formatting rectangle is where the system would draw the text, margins included.
  RECT area = client;
  SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
  const LONG style = GetWindowLongW(edit, GWL_STYLE);
  UINT flags = DT_NOPREFIX | DT_EDITCONTROL | DT_TOP;
  flags |= (style & ES_MULTILINE) != 0 ? DT_WORDBREAK : DT_SINGLELINE;
  if ((style & ES_CENTER) != 0) {
    flags |= DT_CENTER;
  } else if ((style & ES_RIGHT) != 0) {
    flags |= DT_RIGHT;
  }
  SavedDc saved(dc);
  SelectObject(dc, fontOf(edit));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, static_cast<COLORREF>(color(ColorId::EditDisabledText)));
  DrawTextW(dc, text, copied, &area, flags);
  HeapFree(GetProcessHeap(), 0, text);
}

void paintEditBorder(HWND edit) {
  const LONG style = GetWindowLongW(edit, GWL_STYLE);
  const LONG exStyle = GetWindowLongW(edit, GWL_EXSTYLE);
  const int thickness = ((exStyle & WS_EX_CLIENTEDGE) != 0 ? 2 : 0) + ((style & WS_BORDER) != 0 ? 1 : 0);
  RECT windowRect;
  if (thickness == 0 || !IsWindowVisible(edit) || !GetWindowRect(edit, &windowRect)) return;
  WindowDc dc(edit, true);
  if (dc.get() == nullptr) return;
  const RECT whole = {0, 0, windowRect.right - windowRect.left, windowRect.bottom - windowRect.top};
  const bool enabled = IsWindowEnabled(edit) != FALSE;
  const bool focused = GetFocus() == edit;
  if (focused && enabled) {
    frameRect(dc.get(), whole, color(ColorId::FocusRing), thickness);
    return;
  }
  frameRect(dc.get(), whole, color(enabled ? ColorId::EditBorder : ColorId::ButtonDisabledBorder), 1);
  RECT inner = whole;
  InflateRect(&inner, -1, -1);
  frameRect(dc.get(), inner, color(enabled ? ColorId::EditFace : ColorId::EditDisabledFace), thickness - 1);
}

HBRUSH answerControlColor(UINT message, HDC dc, HWND child, bool parentIsDialog) {
  const SkinObjects& objects = engine().objects;
  const ControlClass kind = classOf(child);
  switch (message) {
    case WM_CTLCOLOREDIT:
      if (kind != ControlClass::Edit) return nullptr;
      SetTextColor(dc, static_cast<COLORREF>(color(ColorId::EditText)));
      SetBkColor(dc, static_cast<COLORREF>(color(ColorId::EditFace)));
      return objects.editFace;
    case WM_CTLCOLORSTATIC:
      // Disabled and read-only edit boxes ask with WM_CTLCOLORSTATIC.
      if (kind == ControlClass::Edit) {
        SetTextColor(dc, static_cast<COLORREF>(color(ColorId::EditDisabledText)));
        SetBkColor(dc, static_cast<COLORREF>(color(ColorId::EditDisabledFace)));
        return objects.editDisabledFace;
      }
      // The program's own labels are left alone; a dialog's labels (a message box's text) are ours.
      if (kind != ControlClass::Button && !(kind == ControlClass::Static && parentIsDialog)) return nullptr;
      SetTextColor(dc, static_cast<COLORREF>(color(ColorId::WindowText)));
      SetBkColor(dc, static_cast<COLORREF>(color(ColorId::WindowFace)));
      SetBkMode(dc, TRANSPARENT);
      return objects.windowFace;
    case WM_CTLCOLORBTN:
      if (kind != ControlClass::Button) return nullptr;
      SetTextColor(dc, static_cast<COLORREF>(color(ColorId::ButtonText)));
      SetBkColor(dc, static_cast<COLORREF>(color(ColorId::WindowFace)));
      return objects.windowFace;
    case WM_CTLCOLORDLG:
      SetTextColor(dc, static_cast<COLORREF>(color(ColorId::WindowText)));
      SetBkColor(dc, static_cast<COLORREF>(color(ColorId::WindowFace)));
      return objects.windowFace;
    default:
      return nullptr;
  }
}

}  // namespace skinh
