// The window toolkit on Win32: the main window and its controls are real windows of the standard
// classes (BUTTON, EDIT, STATIC), built from the window description.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "ui/toolkit.h"
#include "ui/window_description.h"

namespace quorvin {

inline constexpr char kMainWindowClass[] = "QuorvinMainWindow";
// Control identifiers are the row of the control in the window description plus this base.
inline constexpr int kFirstControlId = 1000;

class Win32Toolkit final : public WindowToolkit {
 public:
  Win32Toolkit(HINSTANCE instance, EventSink& sink);
  ~Win32Toolkit() override;
  Win32Toolkit(const Win32Toolkit&) = delete;
  Win32Toolkit& operator=(const Win32Toolkit&) = delete;

  // Initialises the toolkit, calls the start-up routine, then runs the exit list once. Returns the
  // process exit code, the quit request's (0); a fatal runtime error never returns.
  int run(const std::function<int()>& startupRoutine);

  Text text(std::string_view control) override;
  void setText(std::string_view control, std::string_view text) override;
  bool disabled(std::string_view control) override;
  void setDisabled(std::string_view control, bool disabled) override;
  bool visible(std::string_view control) override;
  void setVisible(std::string_view control, bool visible) override;
  void setLeft(std::string_view control, int left) override;
  void setTop(std::string_view control, int top) override;
  void setWindowWidth(int width) override;
  void setWindowHeight(int height) override;
  int timerPeriod(std::string_view timer) override;
  void setTimerPeriod(std::string_view timer, int milliseconds) override;
  int messageBox(std::string_view text, unsigned flags, std::optional<std::string_view> title) override;
  std::uint32_t milliseconds() override;
  void addExitRoutine(ExitRoutine routine) override;
  void loadMainWindow() override;
  void runEventLoop() override;
  [[noreturn]] void fatalRuntimeError(std::string_view message) override;

 private:
  struct FontDeleter {
    void operator()(HFONT font) const noexcept { DeleteObject(font); }
  };
  using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

  struct Control {
    const ControlSpec* design = nullptr;
    HWND window = nullptr;  // none for the timer
    HFONT font = nullptr;   // borrowed: the default GUI font or one of fonts_
    WNDPROC classProc = nullptr;
    int period = 0;  // timers only
  };

  static LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK groupBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK labelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  LRESULT onMainWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void initialise();
  void createControls();
  void stackControls();
  void fire(Handler handler);
  bool preTranslateKey(const MSG& message);
  void keepFocusUsable(HWND leaving);
  void releaseResources() noexcept;
  Control& find(std::string_view name);
  Control* fromWindow(HWND window);

  HINSTANCE instance_;
  EventSink& sink_;
  HWND mainWindow_ = nullptr;
  ATOM windowClass_ = 0;
  HICON largeIcon_ = nullptr, smallIcon_ = nullptr;
  HBRUSH editBackground_ = nullptr;
  std::vector<FontHandle> fonts_;
  std::array<Control, kControlCount> controls_{};
  std::vector<ExitRoutine> exitList_;
  bool eventLoopEntered_ = false;
  int quitCode_ = 0;
};

}  // namespace quorvin
