// What the engine's parts share: the engine's one state, the record kept for each skinned window, and
// the painting and message handling of each kind of window.
#pragma once

#include <windows.h>

#include "skin_format.h"

namespace skinh {

// GDI objects made from a theme. Brushes are handed out in WM_CTLCOLOR* answers, so they must live as long
// as the skin; solid fills in our own painting use the DC brush and pen instead and create nothing.
struct SkinObjects {
  HBRUSH windowFace;
  HBRUSH editFace;
  HBRUSH editDisabledFace;
  HFONT captionFont;
};

bool createSkinObjects(const SkinTheme& theme, SkinObjects& objects);
void destroySkinObjects(SkinObjects& objects);

// The engine's state. A plain aggregate, zero-initialised: the engine has no C runtime to run constructors.
struct Engine {
  SkinTheme theme;
  SkinObjects objects;
  HHOOK hook;
  DWORD thread;
  ATOM windowProperty;
  bool attached;
};

Engine& engine();
inline Rgb color(ColorId id) { return engine().theme.color(id); }
inline int metric(MetricId id) { return engine().theme.metric(id); }

enum class WindowKind : unsigned char { Frame, PushButton, GroupBox, Edit };

// What the engine keeps for one subclassed window; allocated on the process heap and found through a
// window property, freed at WM_NCDESTROY.
struct SkinnedWindow {
  WNDPROC original;
  bool unicode;
  WindowKind kind;
  bool isDialog;          // a "#32770" dialog, such as a message box: its labels are ours to colour
  bool active;            // the last WM_NCACTIVATE said active
  bool deactivatedInBackground;  // ...said inactive while another window was in the foreground
  bool hot;               // mouse over a push button
  bool trackingLeave;     // TrackMouseEvent armed for WM_MOUSELEAVE / WM_NCMOUSELEAVE
  UINT hotCaptionButton;  // HTMINBUTTON, HTMAXBUTTON, HTCLOSE or 0
  UINT pressedCaptionButton;
  bool pressedInside;
  HFONT groupFont;        // the group box's caption font in the skin's weight, made from groupFontSource
  HFONT groupFontSource;
  LONG groupFontWeight;
};

// Subclassing (windows.cpp).
void skinWindowIfSuitable(HWND window);
SkinnedWindow* skinnedWindow(HWND window);
LRESULT callOriginal(const SkinnedWindow& record, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void releaseWindowObjects(SkinnedWindow& record);
LRESULT forgetWindow(HWND window, SkinnedWindow* record, UINT message, WPARAM wParam, LPARAM lParam);

// Message handling of each kind (procs.cpp).
LRESULT CALLBACK skinnedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Caption and frame of top-level windows (frame.cpp). Coordinates are window-relative.
struct CaptionLayout {
  RECT caption;
  RECT icon;
  RECT text;
  RECT minimize;
  RECT maximize;
  RECT close;
  bool hasMinimize;
  bool hasMaximize;
  bool hasClose;
};
bool computeCaptionLayout(HWND window, CaptionLayout& layout);
bool captionLooksActive(HWND window, const SkinnedWindow& record);
UINT captionHitTest(HWND window, POINT screenPoint);
void paintFrame(HWND window, const SkinnedWindow& record);

// Controls (controls.cpp).
void paintPushButton(HWND button, HDC dc, const SkinnedWindow& record);
void eraseGroupBox(HWND groupBox, HDC dc);
void paintGroupBox(HWND groupBox, HDC dc, SkinnedWindow& record);
void paintEditBorder(HWND edit);
// Disabled edit boxes are painted by the engine: the system would grey their text whatever the skin says.
void paintDisabledEdit(HWND edit, HDC dc);
// The answer to a WM_CTLCOLOR* message at a skinned parent; 0 = not ours, pass it on.
HBRUSH answerControlColor(UINT message, HDC dc, HWND child, bool parentIsDialog);

// Small drawing helpers (gdi.cpp).
enum class ControlClass { Other, Button, Edit, Static, Dialog };
ControlClass classOf(HWND window);
void fillSolid(HDC dc, const RECT& rect, Rgb rgbColor);
void fillVerticalGradient(HDC dc, const RECT& rect, Rgb top, Rgb bottom);
void frameRect(HDC dc, const RECT& rect, Rgb rgbColor, int thickness);
void roundFrame(HDC dc, const RECT& rect, Rgb rgbColor, int radius);
HFONT fontOf(HWND window);

// Restores a DC's selections and clipping when it goes out of scope.
class SavedDc {
 public:
  explicit SavedDc(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  ~SavedDc() {
    if (saved_ != 0) RestoreDC(dc_, saved_);
  }
  SavedDc(const SavedDc&) = delete;
  SavedDc& operator=(const SavedDc&) = delete;

 private:
  HDC dc_;
  int saved_;
};

// A DC of a window (client or whole window), released when it goes out of scope.
class WindowDc {
 public:
  WindowDc(HWND window, bool wholeWindow)
      : window_(window), dc_(wholeWindow ? GetWindowDC(window) : GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// A GDI object deleted when it goes out of scope.
template <typename Handle>
class GdiObject {
 public:
  explicit GdiObject(Handle handle) : handle_(handle) {}
  ~GdiObject() {
    if (handle_ != nullptr) DeleteObject(handle_);
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  Handle get() const { return handle_; }

 private:
  Handle handle_;
};

}  // namespace skinh
