// Drives the real program from a second process, as an operator would: starts Quorvin.exe, finds its
// windows, clicks with real mouse input, reads texts and pixels, and waits for it to end.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvin::test {

// Where the program keeps its settings, as seen from any process in the prefix.
inline constexpr char kIniPath[] = "C:\\Quorvin.ini";

// Polls until the condition holds or the time is up; says which.
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 20000);

// Replaces C:\Quorvin.ini with these bytes, or removes it (and any folder of that name) for nullopt.
void prepareIniFile(std::optional<std::string_view> content);
// The bytes of C:\Quorvin.ini, or nullopt when it is missing.
std::optional<std::string> readIniFile();

struct MessageBoxSeen {
  HWND window;
  std::string title;
  std::string text;
  bool hasIcon;
};

// 32-bit colour samples of a screen rectangle, row by row.
struct Capture {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;
  COLORREF at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
  bool operator==(const Capture&) const = default;
};

class RunningProgram {
 public:
  explicit RunningProgram(const char* executable);
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  HWND mainWindow() const { return main_; }
  // The window of a control named in the window description.
  HWND control(std::string_view name) const;

  std::string text(std::string_view name) const;
  void setText(std::string_view name, std::string_view text) const;  // as if typed
  bool enabled(std::string_view name) const { return IsWindowEnabled(control(name)) != FALSE; }
  bool visible(std::string_view name) const { return IsWindowVisible(control(name)) != FALSE; }
  RECT rectInContainer(std::string_view name) const;

  // A left click with real mouse input at the centre of the control.
  void click(std::string_view name) const;
  // A click posted to the button as the keyboard's space bar would press it (for quick sequences).
  void postClick(std::string_view name) const;
  void pressKey(HWND target, WORD virtualKey) const;

  // The program's message box, once it is up.
  std::optional<MessageBoxSeen> waitForMessageBox(DWORD timeoutMs = 20000) const;
  void dismissMessageBox(const MessageBoxSeen& box) const;

  // The screen pixels of a control's rectangle (after the program has painted).
  Capture capture(std::string_view name) const;
  Capture captureScreen(const RECT& rect) const;
  void repaintAll() const;

  // Waits for the process to end; its exit code, or nullopt on time-out.
  std::optional<DWORD> waitForExit(DWORD timeoutMs = 20000);
  DWORD processId() const { return process_.dwProcessId; }
  // Lets the program's queue drain: a message sent to the main window returns once it is handled.
  void sync() const;

 private:
  PROCESS_INFORMATION process_{};
  HWND main_ = nullptr;
  bool ended_ = false;
};

}  // namespace quorvin::test
