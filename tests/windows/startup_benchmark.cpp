// Start-up benchmark (not a pass/fail test): the time from process start to the main window shown,
// for Quorvin and for a minimal one-window program of ours, alternated in one run; medians and ratio.
//   startup_benchmark.exe QUORVIN.exe MINIMAL.exe [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double secondsNow() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Milliseconds from CreateProcess to a visible window of the class; the program is then closed.
double timeToWindow(const char* executable, const char* windowClass) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  char commandLine[1024];
  std::snprintf(commandLine, sizeof commandLine, "\"%s\"", executable);
  const double start = secondsNow();
  if (!CreateProcessA(executable, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    std::fprintf(stderr, "cannot start %s\n", executable);
    std::exit(1);
  }
  HWND window = nullptr;
  double shown = 0;
  while (secondsNow() - start < 60) {
    window = FindWindowA(windowClass, nullptr);
    if (window && IsWindowVisible(window)) {
      shown = secondsNow();
      break;
    }
    Sleep(1);
  }
  if (window) PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (!shown) {
    std::fprintf(stderr, "%s showed no window\n", executable);
    std::exit(1);
  }
  return (shown - start) * 1000;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s QUORVIN.exe MINIMAL.exe [runs]\n", argv[0]);
    return 2;
  }
  const int runs = argc > 3 ? std::atoi(argv[3]) : 15;
  std::vector<double> quorvin, minimal;
  timeToWindow(argv[1], "QuorvinMainWindow");  // warm the file cache once, not counted
  timeToWindow(argv[2], "QuorvinMinimalWindow");
  for (int run = 0; run < runs; ++run) {
    quorvin.push_back(timeToWindow(argv[1], "QuorvinMainWindow"));
    minimal.push_back(timeToWindow(argv[2], "QuorvinMinimalWindow"));
  }
  const double q = median(quorvin), m = median(minimal);
  std::printf("runs: %d each\n", runs);
  std::printf("Quorvin: median %.1f ms to the window shown (min %.1f, max %.1f)\n", q,
              *std::min_element(quorvin.begin(), quorvin.end()), *std::max_element(quorvin.begin(), quorvin.end()));
  std::printf("minimal: median %.1f ms to the window shown (min %.1f, max %.1f)\n", m,
              *std::min_element(minimal.begin(), minimal.end()), *std::max_element(minimal.begin(), minimal.end()));
  std::printf("ratio Quorvin / minimal: %.2f\n", q / m);
  return 0;
}
