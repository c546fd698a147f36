// An in-memory window toolkit for the host tests: the window and its controls built from the window
// description as plain state, events fired by the test, message boxes recorded.
#pragma once

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/toolkit.h"
#include "ui/window_description.h"

namespace quorvin {

// Thrown where the real toolkit would end the process with exit code -1.
struct FatalRuntimeError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class MemoryToolkit final : public WindowToolkit {
 public:
  struct ControlState {
    const ControlSpec* design;
    Text text;
    bool visible;
    bool disabled;
    int left, top;
    int period;  // timers only
  };
  struct MessageBoxCall {
    Text text;
    unsigned flags;  // as passed to MessageBoxA, the task-modal flag included
    Text title;
  };

  explicit MemoryToolkit(EventSink& sink);

  // WindowToolkit
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
  std::uint32_t milliseconds() override { return clock_; }
  void addExitRoutine(ExitRoutine routine) override;
  void loadMainWindow() override;
  void runEventLoop() override;
  [[noreturn]] void fatalRuntimeError(std::string_view message) override;

  // The toolkit's own run: calls the start-up routine, then runs the exit list once. Returns the
  // process exit code: 0 after a normal end, -1 after a fatal runtime error.
  int run(const std::function<int()>& startupRoutine);

  // What the operator does while the event loop runs; the window is closed when it returns.
  std::function<void(MemoryToolkit&)> operatorActions;

  // The operator's side.
  void click(std::string_view control);  // does nothing on a disabled or hidden control
  void tick();                           // one period of the draw timer, if it runs
  void type(std::string_view control, std::string_view text);
  void closeWindow();
  void setClock(std::uint32_t milliseconds) { clock_ = milliseconds; }

  // Inspection.
  const ControlState& control(std::string_view name) const;
  // Visible on screen: its own flag and every container's.
  bool shownOnScreen(std::string_view name) const;
  const std::vector<MessageBoxCall>& messageBoxes() const { return messageBoxes_; }
  const std::vector<ExitRoutine>& exitList() const { return exitList_; }
  bool windowExists() const { return windowExists_; }
  bool windowShown() const { return windowShown_; }
  bool eventLoopEntered() const { return eventLoopEntered_; }
  int windowLeft() const { return windowLeft_; }
  int windowTop() const { return windowTop_; }
  int windowWidth() const { return windowWidth_; }
  int windowHeight() const { return windowHeight_; }

  // Set-up for a test.
  void setScreenSize(int width, int height) { screenWidth_ = width, screenHeight_ = height; }
  void failWindowCreation() { failWindowCreation_ = true; }

 private:
  ControlState& find(std::string_view name);

  EventSink& sink_;
  std::map<std::string, ControlState, std::less<>> controls_;
  std::vector<MessageBoxCall> messageBoxes_;
  std::vector<ExitRoutine> exitList_;
  std::uint32_t clock_ = 0;
  int screenWidth_ = 1024, screenHeight_ = 768;
  int windowLeft_ = 0, windowTop_ = 0, windowWidth_ = 0, windowHeight_ = 0;
  bool windowExists_ = false, windowShown_ = false, eventLoopEntered_ = false;
  bool failWindowCreation_ = false;
};

}  // namespace quorvin
