// The skin engine binding with the real i386 engine image, mapped by our loader under qemu-i386: the
// engine's imports are stand-ins that must not be called while it starts, its entry point accepts the
// attach with a module handle of 0, and the attach call carries the built-in skin.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "call_proc_address.h"
#include "image_loader.h"
#include "in_memory_module.h"
#include "resources/data_blocks.h"
#include "skin_engine_binding.h"
#include "tests/loader/test_platform.h"

namespace quorvin {
namespace {

// Every import of the engine resolves here: the engine must not call into the system while it starts.
extern "C" void standInImportCalled() {
  std::fputs("the skin engine called a system function while starting\n", stderr);
  std::abort();
}

constexpr std::uintptr_t kLearnImports = 0x7FFF0001;  // a resolver address the platform answers itself

struct Engine : ::testing::Test {
  Engine() : platform(test::TestPlatform::Memory::mmap) {
    // First pass: learn the names the engine imports, through the resolver the loader asks first.
    platform.caller = [this](std::uintptr_t code, const CallArguments& arguments) -> std::uintptr_t {
      if (code == kLearnImports) {
        imports.emplace(reinterpret_cast<const char*>(arguments[0]), reinterpret_cast<const char*>(arguments[1]));
        return reinterpret_cast<std::uintptr_t>(&standInImportCalled);
      }
      return CallProcAddress(code, arguments[0], arguments[1], arguments[2], arguments[3], arguments[4], arguments[5],
                             arguments[6], arguments[7], arguments[8], arguments[9]);
    };
    const DataBlockView image = skinEngineImage();
    const MapResult learned =
        mapImage(platform, image.bytes, static_cast<std::int32_t>(image.length), kLearnImports, 0);
    EXPECT_NE(learned.base, 0u) << describe(learned.failure);
    if (learned.base) UnmapImage(platform, learned.base);
    for (const auto& [library, function] : imports) {
      std::string key = library;  // the stand-in table is keyed by the lower-case name
      std::transform(key.begin(), key.end(), key.begin(),
                     [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
      platform.libraries[key].byName[function] = reinterpret_cast<std::uintptr_t>(&standInImportCalled);
    }
    platform.calls.clear();
  }
  ~Engine() override { releaseSkinEngineModule(); }

  test::TestPlatform platform;
  std::set<std::pair<std::string, std::string>> imports;
};

TEST_F(Engine, MapsStartsAndExportsTheAttachByNameAndOrdinal) {
  ASSERT_FALSE(imports.empty());
  EXPECT_TRUE(std::any_of(imports.begin(), imports.end(), [](const auto& i) {
    return i.second.rfind("SetWindowsHookEx", 0) == 0;
  })) << "the engine hooks the thread's windows";

  createSkinEngineModule(platform);
  LoadSkinEngine(skinEngineImage());
  InMemoryModule* module = skinEngineModule();
  if (!module->GetBase()) {
    const DataBlockView image = skinEngineImage();
    test::TestPlatform probe(test::TestPlatform::Memory::mmap);
    probe.libraries = platform.libraries;
    probe.caller = platform.caller;
    FAIL() << "the engine image did not map: "
           << describe(mapImage(probe, image.bytes, static_cast<std::int32_t>(image.length), 0, 0).failure);
  }

  // The entry point ran once, with a module handle of 0 and DLL_PROCESS_ATTACH, and accepted.
  ASSERT_EQ(platform.calls.size(), 1u);
  EXPECT_EQ(platform.calls[0].code, module->GetEntryAddress());
  EXPECT_EQ(platform.calls[0].arguments[0], 0u);
  EXPECT_EQ(platform.calls[0].arguments[1], 1u);

  const std::uintptr_t byName = module->GetExport("SkinH_AttachRes");
  EXPECT_NE(byName, 0u);
  EXPECT_EQ(module->GetExport("6"), byName);
  EXPECT_EQ(module->GetExport("skinh_attachres"), 0u);
}

TEST_F(Engine, AttachBuiltInSkinCallsTheExportWithTheSkin) {
  createSkinEngineModule(platform);
  LoadSkinEngine(skinEngineImage());
  const std::uintptr_t attach = skinEngineModule()->GetExport("SkinH_AttachRes");
  ASSERT_NE(attach, 0u);
  platform.calls.clear();
  // The attach itself needs a real window system; here the platform stands in for it.
  platform.caller = [](std::uintptr_t, const CallArguments&) -> std::uintptr_t { return 1; };
  const DataBlockView skin = builtInSkin();
  ASSERT_GE(skin.length, 4u);
  EXPECT_EQ(std::memcmp(skin.bytes, ".SHE", 4), 0);

  AttachBuiltInSkin(skin);
  ASSERT_EQ(platform.calls.size(), 1u);
  const test::RecordedCall& call = platform.calls[0];
  EXPECT_EQ(call.code, attach);
  EXPECT_EQ(call.arguments[0], reinterpret_cast<std::uintptr_t>(skin.bytes));
  EXPECT_EQ(call.arguments[1], skin.length);
  for (std::size_t i = 2; i < 10; ++i) EXPECT_EQ(call.arguments[i], 0u) << "argument " << i + 1;

  EXPECT_EQ(AttachSkinResource(skin, "secret", 7, 8, 9), 1u);
  ASSERT_EQ(platform.calls.size(), 2u);
  EXPECT_STREQ(reinterpret_cast<const char*>(platform.calls[1].arguments[2]), "secret");
  EXPECT_EQ(platform.calls[1].arguments[3], 7u);
  EXPECT_EQ(platform.calls[1].arguments[5], 9u);
}

TEST_F(Engine, WithoutAnEngineNothingIsCalled) {
  createSkinEngineModule(platform);
  const unsigned char notAnImage[] = "no image";
  LoadSkinEngine(DataBlockView{notAnImage, sizeof notAnImage});
  EXPECT_EQ(skinEngineModule()->GetBase(), 0u);
  platform.calls.clear();
  EXPECT_EQ(AttachSkinResource(builtInSkin()), 0u);
  EXPECT_TRUE(platform.calls.empty());
}

}  // namespace
}  // namespace quorvin
