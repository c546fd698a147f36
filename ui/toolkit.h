// The window toolkit as the program's handlers see it: controls addressed by name, the message box,
// the millisecond clock, and the start-up services. Two implementations: the Win32 adapter (the
// product) and an in-memory one for the host tests. Nothing here knows about Windows.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "ui/text.h"

namespace quorvin {

// Every event the program binds, and so every handler the toolkit can call.
enum class Handler : std::uint8_t {
  none,
  windowCreated,
  startDraw,
  stopDraw,
  drawTick,
  awardFirstPrize,
  awardSecondPrize,
  awardThirdPrize,
  awardEncouragementPrize,
  awardSpecialPrize,
  saveWinners,
  confirmPrizes,
  clearSettings,
};

// Receives the events of the window; the shell binds each Handler to its function.
class EventSink {
 public:
  virtual void onEvent(Handler handler) = 0;

 protected:
  ~EventSink() = default;
};

using ExitRoutine = void (*)();

// Message box flags the program uses (those of MessageBoxA).
inline constexpr unsigned kMessageBoxOk = 0x0;
inline constexpr unsigned kMessageBoxIconError = 0x10;
inline constexpr unsigned kMessageBoxIconInformation = 0x40;
inline constexpr unsigned kMessageBoxSystemModal = 0x1000;
inline constexpr unsigned kMessageBoxTaskModal = 0x2000;

// The title a message box bears when none is given.
inline constexpr std::string_view kDefaultMessageBoxTitle = "信息：";

// Limits of the geometry properties.
inline constexpr int kMaxPosition = 32627;
inline constexpr int kMaxSize = 32627;

class WindowToolkit {
 public:
  virtual ~WindowToolkit() = default;

  // Control properties, the control named as in the window description. A text read is a copy; a
  // control without text reads as the empty text.
  virtual Text text(std::string_view control) = 0;
  virtual void setText(std::string_view control, std::string_view text) = 0;
  virtual bool disabled(std::string_view control) = 0;
  virtual void setDisabled(std::string_view control, bool disabled) = 0;
  virtual bool visible(std::string_view control) = 0;
  virtual void setVisible(std::string_view control, bool visible) = 0;
  // Moves a group box within its container's client area, size kept; clamped to +-kMaxPosition.
  virtual void setLeft(std::string_view control, int left) = 0;
  virtual void setTop(std::string_view control, int top) = 0;
  // Outer size of the main window, position kept; clamped to 0..kMaxSize.
  virtual void setWindowWidth(int width) = 0;
  virtual void setWindowHeight(int height) = 0;
  // 0 stops the timer; N > 0 fires its event every N ms from this write; the same value changes
  // nothing; a negative value counts as 0.
  virtual int timerPeriod(std::string_view timer) = 0;
  virtual void setTimerPeriod(std::string_view timer, int milliseconds) = 0;

  // Task-modal message box without an owner; "信息：" when no title is given. Returns the button.
  virtual int messageBox(std::string_view text, unsigned flags,
                         std::optional<std::string_view> title = std::nullopt) = 0;

  // Milliseconds since the system started, wrapping at 2^32.
  virtual std::uint32_t milliseconds() = 0;

  // Start-up services.
  // Adds a routine to the exit list unless it is there already.
  virtual void addExitRoutine(ExitRoutine routine) = 0;
  // Creates the main window and its controls, fires the created event, then shows the window.
  // A window that cannot be created is a fatal runtime error.
  virtual void loadMainWindow() = 0;
  // Sets the event-loop-entered flag and dispatches events until a quit request; returns at once
  // when no window of the program exists.
  virtual void runEventLoop() = 0;
  // Reports a failure of the toolkit itself and ends the process with exit code -1, the exit list
  // emptied without being run.
  [[noreturn]] virtual void fatalRuntimeError(std::string_view message) = 0;
};

}  // namespace quorvin
