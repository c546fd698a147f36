// The skin engine binding: the program's one skin engine module, created at start-up and released at
// exit, the engine loaded into it from its data block, and the built-in skin attached to the window.
#pragma once

#include <cstdint>

#include "loader_platform.h"
#include "resources/data_blocks.h"

namespace quorvin {

class InMemoryModule;

// The process-wide slot of the skin engine module; null before start-up and after the exit clean-up.
InMemoryModule* skinEngineModule();

// Start-up: the module is created empty on the platform the loader will use.
void createSkinEngineModule(LoaderPlatform& platform);
// The exit clean-up: destroys the module object. The engine stays mapped until the process ends.
void releaseSkinEngineModule();

// Maps the engine image into the module. Whether it worked is not looked at: without the engine the
// window keeps the system's look.
void LoadSkinEngine(DataBlockView engineImage);

// The first action of the window-created handler.
void AttachBuiltInSkin(DataBlockView skin);

// Calls the engine's SkinH_AttachRes with the skin's address and length, the password's address (0
// when there is none) and three integers; the engine's result. Without an engine, or without that
// export, nothing is called and the result is 0.
std::uint32_t AttachSkinResource(DataBlockView skin, const char* password = nullptr, std::int32_t first = 0,
                                 std::int32_t second = 0, std::int32_t third = 0);

}  // namespace quorvin
