// The engine's entry point and exports. SkinH_AttachRes reads a skin, makes its GDI objects, and skins
// every window of the calling thread, now and (through a thread-local CBT hook) every one it creates
// later, message boxes included.
#include "engine_internal.h"

namespace skinh {
namespace {

Engine g_engine;  // zero-initialised: no constructor runs, as nothing starts a C runtime here

bool makeCaptionFont(const SkinTheme& theme, HFONT& font) {
  LOGFONTW description = {};
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
    description = metrics.lfCaptionFont;
  } else if (GetObjectW(GetStockObject(DEFAULT_GUI_FONT), static_cast<int>(sizeof description), &description) == 0) {
    return false;
  }
  description.lfWeight = theme.metric(MetricId::CaptionFontWeight);
  const int height = theme.metric(MetricId::CaptionTextHeight);
  if (height > 0) {
    description.lfHeight = -height;
    description.lfWidth = 0;
  }
  font = CreateFontIndirectW(&description);
  return font != nullptr;
}

BOOL CALLBACK skinChild(HWND child, LPARAM) {
  skinWindowIfSuitable(child);
  return TRUE;
}

BOOL CALLBACK skinTopLevel(HWND window, LPARAM) {
  skinWindowIfSuitable(window);
  EnumChildWindows(window, &skinChild, 0);
  return TRUE;
}

BOOL CALLBACK redrawTopLevel(HWND window, LPARAM) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  return TRUE;
}

LRESULT CALLBACK creationHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && g_engine.attached) skinWindowIfSuitable(reinterpret_cast<HWND>(wParam));
  return CallNextHookEx(g_engine.hook, code, wParam, lParam);
}

// The hook and the property atom are made once, by the first attach, on the attaching thread.
bool ensureHook() {
  if (g_engine.hook != nullptr) return g_engine.thread == GetCurrentThreadId();
  if (g_engine.windowProperty == 0) g_engine.windowProperty = GlobalAddAtomW(L"SkinH.Window");
  if (g_engine.windowProperty == 0) return false;
  g_engine.hook = SetWindowsHookExW(WH_CBT, &creationHook, nullptr, GetCurrentThreadId());
  if (g_engine.hook == nullptr) return false;
  g_engine.thread = GetCurrentThreadId();
  return true;
}

}  // namespace

Engine& engine() { return g_engine; }

bool createSkinObjects(const SkinTheme& theme, SkinObjects& objects) {
  objects = {};
  objects.windowFace = CreateSolidBrush(static_cast<COLORREF>(theme.color(ColorId::WindowFace)));
  objects.editFace = CreateSolidBrush(static_cast<COLORREF>(theme.color(ColorId::EditFace)));
  objects.editDisabledFace = CreateSolidBrush(static_cast<COLORREF>(theme.color(ColorId::EditDisabledFace)));
  const bool fontMade = makeCaptionFont(theme, objects.captionFont);
  if (objects.windowFace == nullptr || objects.editFace == nullptr || objects.editDisabledFace == nullptr ||
      !fontMade) {
    destroySkinObjects(objects);
    return false;
  }
  return true;
}

void destroySkinObjects(SkinObjects& objects) {
  if (objects.windowFace != nullptr) DeleteObject(objects.windowFace);
  if (objects.editFace != nullptr) DeleteObject(objects.editFace);
  if (objects.editDisabledFace != nullptr) DeleteObject(objects.editDisabledFace);
  if (objects.captionFont != nullptr) DeleteObject(objects.captionFont);
  objects = {};
}

}  // namespace skinh

using namespace skinh;

// Skins the calling thread's windows with the skin in `data` (`length` bytes, the ".SHE" format). The
// password and the three integers are reserved: version 1 skins are not protected and have no options.
// Returns 1 when the skin was put on, 0 when the skin was refused (nothing changes then). A second call
// replaces the skin: the new GDI objects are made first and the old ones freed after the windows have
// been told to repaint.
extern "C" int WINAPI SkinH_AttachRes(const unsigned char* data, int length, const char* /*password*/,
                                       int /*reserved1*/, int /*reserved2*/, int /*reserved3*/) {
  SkinTheme theme;
  loadDefaultTheme(theme);
  if (parseSkin(data, length, theme) != SkinError::None) return 0;
  if (g_engine.attached && g_engine.thread != GetCurrentThreadId()) return 0;

  SkinObjects fresh;
  if (!createSkinObjects(theme, fresh)) return 0;
  if (!ensureHook()) {
    destroySkinObjects(fresh);
    return 0;
  }
  SkinObjects previous = g_engine.objects;
  g_engine.theme = theme;
  g_engine.objects = fresh;
  g_engine.attached = true;

  EnumThreadWindows(GetCurrentThreadId(), &skinTopLevel, 0);
  EnumThreadWindows(GetCurrentThreadId(), &redrawTopLevel, 0);
  destroySkinObjects(previous);
  return 1;
}

// The entry point our loader (and the system's) calls. Nothing to set up: the engine's state is static
// data and starts zeroed.
extern "C" BOOL WINAPI SkinEngineEntry(HINSTANCE /*module*/, DWORD /*reason*/, LPVOID /*reserved*/) { return TRUE; }
