#include "skin_engine_binding.h"

#include "in_memory_module.h"

namespace quorvin {
namespace {

InMemoryModule* engineModule = nullptr;
LoaderPlatform* enginePlatform = nullptr;  // the platform the engine was mapped on; it makes the calls

std::uintptr_t word(std::int32_t value) { return static_cast<std::uintptr_t>(static_cast<std::uint32_t>(value)); }

}  // namespace

InMemoryModule* skinEngineModule() { return engineModule; }

void createSkinEngineModule(LoaderPlatform& platform) {
  enginePlatform = &platform;
  engineModule = new InMemoryModule(platform);
}

void releaseSkinEngineModule() {
  delete engineModule;  // its destroy operation leaves the image mapped
  engineModule = nullptr;
}

void LoadSkinEngine(DataBlockView engineImage) {
  if (!engineModule) return;
  engineModule->Load(engineImage.bytes, static_cast<std::int32_t>(engineImage.length));
}

void AttachBuiltInSkin(DataBlockView skin) { AttachSkinResource(skin); }

std::uint32_t AttachSkinResource(DataBlockView skin, const char* password, std::int32_t first, std::int32_t second,
                                 std::int32_t third) {
  const std::uintptr_t attach = engineModule ? engineModule->GetExport("SkinH_AttachRes") : 0;
  if (!attach) return 0;  // no engine, or no such export: the window keeps the system's look
  const std::uintptr_t result = enginePlatform->callCode(
      attach, {reinterpret_cast<std::uintptr_t>(skin.bytes), skin.length, reinterpret_cast<std::uintptr_t>(password),
               word(first), word(second), word(third), 0, 0, 0, 0});
  return static_cast<std::uint32_t>(result);
}

}  // namespace quorvin
