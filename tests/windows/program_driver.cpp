#include "tests/windows/program_driver.h"

#include <stdexcept>

#include "ui/win32_toolkit.h"
#include "ui/window_description.h"

namespace quorvin::test {
namespace {

constexpr DWORD kPollMs = 20;

std::size_t rowOf(std::string_view name) {
  for (std::size_t row = 0; row < kControls.size(); ++row)
    if (kControls[row].name == name) return row;
  throw std::logic_error("no control named " + std::string(name));
}

struct FindBox {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK findMessageBox(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<FindBox*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char className[32] = {};
  GetClassNameA(window, className, sizeof className);
  if (owner == search->processId && std::string_view(className) == "#32770" && IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

std::string windowText(HWND window) {
  char buffer[4096] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000,
                      &copied);
  return std::string(buffer, static_cast<std::size_t>(copied));
}

}  // namespace

bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!condition()) {
    if (GetTickCount64() > deadline) return false;
    Sleep(kPollMs);
  }
  return true;
}

void prepareIniFile(std::optional<std::string_view> content) {
  SetFileAttributesA(kIniPath, FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(kIniPath);
  RemoveDirectoryA(kIniPath);
  if (!content) return;
  HANDLE file = CreateFileA(kIniPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write C:\\Quorvin.ini");
  DWORD written = 0;
  WriteFile(file, content->data(), static_cast<DWORD>(content->size()), &written, nullptr);
  CloseHandle(file);
}

std::optional<std::string> readIniFile() {
  HANDLE file = CreateFileA(kIniPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string content;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
  CloseHandle(file);
  return content;
}

RunningProgram::RunningProgram(const char* executable) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  std::string commandLine = std::string("\"") + executable + "\"";
  if (!CreateProcessA(executable, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process_))
    throw std::runtime_error(std::string("cannot start ") + executable);
  // The main window exists once the program is idle in its event loop, shown.
  WaitForInputIdle(process_.hProcess, 30000);
  const bool found = waitUntil(
      [&] {
        HWND window = nullptr;
        while ((window = FindWindowExA(nullptr, window, kMainWindowClass, nullptr)) != nullptr) {
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          if (owner == process_.dwProcessId && IsWindowVisible(window)) {
            main_ = window;
            return true;
          }
        }
        return false;
      },
      60000);
  if (!found) throw std::runtime_error("the main window did not come up");
  sync();
}

RunningProgram::~RunningProgram() {
  if (!ended_ && WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) {
    TerminateProcess(process_.hProcess, 99);
    WaitForSingleObject(process_.hProcess, 10000);
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

HWND RunningProgram::control(std::string_view name) const {
  const std::size_t row = rowOf(name);
  const ControlSpec& design = kControls[row];
  HWND parent = design.container.empty() ? main_ : control(design.container);
  return GetDlgItem(parent, kFirstControlId + static_cast<int>(row));
}

std::string RunningProgram::text(std::string_view name) const { return windowText(control(name)); }

void RunningProgram::setText(std::string_view name, std::string_view text) const {
  const std::string value(text);
  DWORD_PTR result = 0;
  SendMessageTimeoutA(control(name), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()), SMTO_ABORTIFHUNG, 5000,
                      &result);
}

RECT RunningProgram::rectInContainer(std::string_view name) const {
  HWND window = control(name);
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void RunningProgram::click(std::string_view name) const {
  RECT rect{};
  GetWindowRect(control(name), &rect);
  SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  INPUT inputs[2]{};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, inputs, sizeof(INPUT));
  sync();
}

void RunningProgram::postClick(std::string_view name) const {
  HWND button = control(name);
  PostMessageA(button, WM_KEYDOWN, VK_SPACE, 0x00390001);
  PostMessageA(button, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001u));
}

void RunningProgram::pressKey(HWND target, WORD virtualKey) const {
  const UINT scan = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
  PostMessageA(target, WM_KEYDOWN, virtualKey, static_cast<LPARAM>(1u | (scan << 16)));
  PostMessageA(target, WM_KEYUP, virtualKey, static_cast<LPARAM>(1u | (scan << 16) | 0xC0000000u));
}

std::optional<MessageBoxSeen> RunningProgram::waitForMessageBox(DWORD timeoutMs) const {
  FindBox search{process_.dwProcessId, nullptr};
  if (!waitUntil(
          [&] {
            search.found = nullptr;
            EnumWindows(findMessageBox, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
          },
          timeoutMs))
    return std::nullopt;
  MessageBoxSeen box{search.found, windowText(search.found), {}, false};
  // The box's text is its static control 0xFFFF; its icon, a static control 0x14 on Windows and 0x440
  // on Wine, that holds an icon only when the box has one.
  box.text = windowText(GetDlgItem(search.found, 0xFFFF));
  HWND icon = GetDlgItem(search.found, 0x14);
  if (!icon) icon = GetDlgItem(search.found, 0x440);
  box.hasIcon = icon && IsWindowVisible(icon) && SendMessageA(icon, STM_GETICON, 0, 0) != 0;
  return box;
}

void RunningProgram::dismissMessageBox(const MessageBoxSeen& box) const {
  HWND ok = GetDlgItem(box.window, IDOK);
  if (!ok) ok = GetDlgItem(box.window, IDCANCEL);
  PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(ok), BN_CLICKED), reinterpret_cast<LPARAM>(ok));
  waitUntil([&] { return !IsWindow(box.window); });
}

Capture RunningProgram::capture(std::string_view name) const {
  RECT rect{};
  GetWindowRect(control(name), &rect);
  return captureScreen(rect);
}

Capture RunningProgram::captureScreen(const RECT& rect) const {
  sync();
  Capture capture;
  capture.width = rect.right - rect.left;
  capture.height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, capture.width, capture.height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, capture.width, capture.height, screen, rect.left, rect.top, SRCCOPY);
  capture.pixels.reserve(static_cast<std::size_t>(capture.width * capture.height));
  for (int y = 0; y < capture.height; ++y)
    for (int x = 0; x < capture.width; ++x) capture.pixels.push_back(GetPixel(memory, x, y));
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return capture;
}

void RunningProgram::repaintAll() const {
  RedrawWindow(main_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
  sync();
}

std::optional<DWORD> RunningProgram::waitForExit(DWORD timeoutMs) {
  if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
  ended_ = true;
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

void RunningProgram::sync() const {
  DWORD_PTR result = 0;
  if (main_ && IsWindow(main_)) SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
  // Painting happens when the queue is idle; give it a moment after the last message.
  Sleep(60);
}

}  // namespace quorvin::test
