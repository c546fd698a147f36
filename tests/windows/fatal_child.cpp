// A program of the test suite: the real Win32 toolkit meets a fatal runtime error after an exit
// routine was listed. The routine would write the marker file named on the command line; it must not
// run. The test that starts this program dismisses the error box and reads the exit code.
#include <windows.h>

#include <cstdio>

#include "ui/win32_toolkit.h"

namespace {

const char* markerPath = nullptr;

void writeMarker() {
  if (FILE* marker = std::fopen(markerPath, "w")) std::fclose(marker);
}

struct NoEvents final : quorvin::EventSink {
  void onEvent(quorvin::Handler) override {}
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  markerPath = argv[1];
  static NoEvents events;
  static quorvin::Win32Toolkit ui(GetModuleHandleA(nullptr), events);
  return ui.run([] {
    ui.addExitRoutine(writeMarker);
    ui.fatalRuntimeError("测试：致命错误");
    return 0;
  });
}
