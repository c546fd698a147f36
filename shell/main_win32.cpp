// The program's entry point on Windows: the toolkit, the settings store and the handlers, wired.
#include <windows.h>

#include "settings/profile_store_win32.h"
#include "shell/program.h"
#include "ui/win32_toolkit.h"

namespace {

void noSkinEngine() {}
constexpr quorvin::SkinEngineLifecycle kSkinEngine{noSkinEngine, noSkinEngine, noSkinEngine};

// The handlers and the toolkit refer to each other; members are bound before either is used.
struct Application {
  explicit Application(HINSTANCE instance) : ui(instance, program) {}
  quorvin::ProfileStore store;
  quorvin::Program program{ui, store};
  quorvin::Win32Toolkit ui;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  static Application application(instance);
  return application.ui.run([] { return quorvin::startupRoutine(application.ui, kSkinEngine); });
}
