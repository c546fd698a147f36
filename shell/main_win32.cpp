// The program's entry point on Windows: the toolkit, the settings store, the skin engine and the
// handlers, wired.
#include <windows.h>

#include "loader_platform.h"
#include "resources/data_blocks.h"
#include "settings/profile_store_win32.h"
#include "shell/program.h"
#include "skin_engine_binding.h"
#include "ui/win32_toolkit.h"

namespace {

void createModule() { quorvin::createSkinEngineModule(quorvin::systemLoaderPlatform()); }
void loadEngine() { quorvin::LoadSkinEngine(quorvin::skinEngineImage()); }
constexpr quorvin::SkinEngineLifecycle kSkinEngine{createModule, quorvin::releaseSkinEngineModule, loadEngine};

// The handlers and the toolkit refer to each other; members are bound before either is used.
struct Application {
  explicit Application(HINSTANCE instance) : ui(instance, program) {
    program.attachBuiltInSkin = [] { quorvin::AttachBuiltInSkin(quorvin::builtInSkin()); };
  }
  quorvin::ProfileStore store;
  quorvin::Program program{ui, store};
  quorvin::Win32Toolkit ui;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  static Application application(instance);
  return application.ui.run([] { return quorvin::startupRoutine(application.ui, kSkinEngine); });
}
