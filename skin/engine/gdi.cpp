#include "engine_internal.h"

namespace skinh {
namespace {

COLORREF toColorRef(Rgb value) { return static_cast<COLORREF>(value); }

BYTE channel(Rgb value, int shift) { return static_cast<BYTE>((value >> shift) & 0xFF); }

Rgb mix(Rgb from, Rgb to, int step, int steps) {
  if (steps <= 0) return from;
  Rgb result = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int a = channel(from, shift);
    const int b = channel(to, shift);
    const int value = a + (b - a) * step / steps;
    result |= static_cast<Rgb>(value & 0xFF) << shift;
  }
  return result;
}

}  // namespace

ControlClass classOf(HWND window) {
  char name[16] = {};
  if (GetClassNameA(window, name, static_cast<int>(sizeof name)) <= 0) return ControlClass::Other;
  if (lstrcmpiA(name, "Button") == 0) return ControlClass::Button;
  if (lstrcmpiA(name, "Edit") == 0) return ControlClass::Edit;
  if (lstrcmpiA(name, "Static") == 0) return ControlClass::Static;
  if (lstrcmpA(name, "#32770") == 0) return ControlClass::Dialog;
  return ControlClass::Other;
}

void fillSolid(HDC dc, const RECT& rect, Rgb rgbColor) {
  SetDCBrushColor(dc, toColorRef(rgbColor));
  FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void fillVerticalGradient(HDC dc, const RECT& rect, Rgb top, Rgb bottom) {
  const int rows = rect.bottom - rect.top;
  for (int row = 0; row < rows; ++row) {
    const RECT line = {rect.left, rect.top + row, rect.right, rect.top + row + 1};
    fillSolid(dc, line, mix(top, bottom, row, rows > 1 ? rows - 1 : 1));
  }
}

void frameRect(HDC dc, const RECT& rect, Rgb rgbColor, int thickness) {
  SetDCBrushColor(dc, toColorRef(rgbColor));
  HBRUSH brush = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
  RECT ring = rect;
  for (int i = 0; i < thickness && ring.right > ring.left && ring.bottom > ring.top; ++i) {
    FrameRect(dc, &ring, brush);
    InflateRect(&ring, -1, -1);
  }
}

void roundFrame(HDC dc, const RECT& rect, Rgb rgbColor, int radius) {
  SavedDc saved(dc);
  SelectObject(dc, GetStockObject(DC_PEN));
  SelectObject(dc, GetStockObject(NULL_BRUSH));
  SetDCPenColor(dc, toColorRef(rgbColor));
  if (radius <= 0) {
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
  } else {
    RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, radius * 2, radius * 2);
  }
}

HFONT fontOf(HWND window) {
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
  return font != nullptr ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace skinh
