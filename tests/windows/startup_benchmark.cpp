// Start-up benchmark (not a pass/fail test): the time from process start to the main window shown, for
// several programs alternated in one run; each one's median, and its ratio to the first program's.
//   startup_benchmark.exe RUNS PROGRAM.exe WINDOW-CLASS [PROGRAM.exe WINDOW-CLASS ...]
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
  if (argc < 4 || argc % 2 != 0) {
    std::fprintf(stderr, "usage: %s RUNS PROGRAM.exe WINDOW-CLASS [PROGRAM.exe WINDOW-CLASS ...]\n", argv[0]);
    return 2;
  }
  const int runs = std::atoi(argv[1]);
  const int programs = (argc - 2) / 2;
  std::vector<std::vector<double>> times(static_cast<std::size_t>(programs));
  for (int p = 0; p < programs; ++p) timeToWindow(argv[2 + 2 * p], argv[3 + 2 * p]);  // warm the file cache
  for (int run = 0; run < runs; ++run)
    for (int p = 0; p < programs; ++p)
      times[static_cast<std::size_t>(p)].push_back(timeToWindow(argv[2 + 2 * p], argv[3 + 2 * p]));
  const double reference = median(times[0]);
  std::printf("%d runs each, programs alternated\n", runs);
  for (int p = 0; p < programs; ++p) {
    const auto& t = times[static_cast<std::size_t>(p)];
    const double m = median(t);
    std::printf("%-60s median %7.1f ms (min %6.1f, max %6.1f), ratio to the first %.2f\n", argv[2 + 2 * p], m,
                *std::min_element(t.begin(), t.end()), *std::max_element(t.begin(), t.end()), m / reference);
  }
  return 0;
}
