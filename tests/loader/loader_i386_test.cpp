// The i386 test images mapped into this (i386 Linux, under qemu) process with mmap'ed executable pages,
// linked to stand-in functions of this program, started and called through CallProcAddress.
#include "call_proc_address.h"
#include "image_loader.h"
#include "in_memory_module.h"
#include "pe_test_edits.h"
#include "test_images.h"
#include "test_platform.h"

#include <gtest/gtest.h>

#include <sys/mman.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

extern "C" {
std::uint32_t calleeRemoving0();
std::uint32_t calleeRemoving3();
std::uint32_t calleeRemoving6();
std::uint32_t calleeRemoving10();
unsigned checkCallProcAddress(const std::uint32_t* codeAndArguments, std::uint32_t* result);
}

namespace quorvin::test {
namespace {

constexpr std::uintptr_t preferredBase = 0x10000000;

struct EntryRecord {
    std::uintptr_t module;
    unsigned reason;
    bool operator==(const EntryRecord&) const = default;
};

std::vector<EntryRecord> entryRecords;

// The stand-in test library. Mapped code was built for Windows, which keeps the stack only 4-byte
// aligned; these functions realign it for themselves.
extern "C" __attribute__((force_align_arg_pointer)) int standInAdd(int a, int b) { return a + b; }
extern "C" __attribute__((force_align_arg_pointer)) int standInScale(int x) { return 3 * x + 17; }
extern "C" __attribute__((force_align_arg_pointer)) int standInMultiply(int a, int b) { return a * b; }
extern "C" __attribute__((force_align_arg_pointer)) int standInSquare(int x) { return x * x; }
extern "C" __attribute__((force_align_arg_pointer)) void standInRecordEntry(void* module, unsigned reason, void*)
{
    entryRecords.push_back({reinterpret_cast<std::uintptr_t>(module), reason});
}

template <typename Function>
std::uintptr_t addressOf(Function* function)
{
    return reinterpret_cast<std::uintptr_t>(function);
}

std::unique_ptr<TestPlatform> platformWithStandIns()
{
    auto platform = std::make_unique<TestPlatform>(TestPlatform::Memory::mmap);
    platform->libraries["qvtestlib.dll"] = {
        {{"qv_add", addressOf(standInAdd)}, {"qv_record_entry", addressOf(standInRecordEntry)}},
        {{17, addressOf(standInScale)}}};
    platform->caller = [](std::uintptr_t code, const CallArguments& a) {
        return CallProcAddress(code, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9]);
    };
    entryRecords.clear();
    return platform;
}

// The resolver the loader calls through CallProcAddress; its value points at one of these.
struct ResolverScript {
    std::vector<std::string> asked;
    std::string replace;       // the function to answer for; every other gets 0
    std::uintptr_t answer = 0;
};

extern "C" __attribute__((force_align_arg_pointer)) std::uintptr_t testResolver(const char* library, const char* function,
                                                                               ResolverScript* script)
{
    script->asked.push_back(std::string(library) + "!" + function);
    return script->replace == function ? script->answer : 0;
}

std::vector<std::uint8_t> image(const char* name) { return imageBytes(testImagesI386(), name); }

MapResult mapBytes(TestPlatform& platform, const std::vector<std::uint8_t>& bytes, std::uintptr_t resolver = 0,
                   std::uintptr_t resolverValue = 0)
{
    return mapImage(platform, bytes.data(), static_cast<std::int32_t>(bytes.size()), resolver, resolverValue);
}

std::uintptr_t call(std::uintptr_t code, std::uintptr_t a1 = 0, std::uintptr_t a2 = 0, std::uintptr_t a3 = 0,
                    std::uintptr_t a4 = 0, std::uintptr_t a5 = 0, std::uintptr_t a6 = 0)
{
    return CallProcAddress(code, a1, a2, a3, a4, a5, a6, 0, 0, 0, 0);
}

// Maps qv_full.dll and checks that its code runs linked and relocated wherever it landed.
void expectWorkingFullImage(TestPlatform& platform, std::uintptr_t base)
{
    const std::uintptr_t sum = FindImageExport(platform, base, "qv_sum");
    const std::uintptr_t scaled = FindImageExport(platform, base, "qv_scaled");
    const std::uintptr_t markerAddress = FindImageExport(platform, base, "qv_marker_address");
    const std::uintptr_t hidden = FindImageExport(platform, base, "7");
    ASSERT_NE(sum, 0u);
    ASSERT_NE(scaled, 0u);
    ASSERT_NE(markerAddress, 0u);
    ASSERT_NE(hidden, 0u);
    EXPECT_EQ(call(sum, 2, 3), 5u);              // import by name
    EXPECT_EQ(call(scaled, 4), 29u);             // import by ordinal 17
    EXPECT_EQ(call(hidden), 4242u);              // export by ordinal only
    EXPECT_EQ(call(markerAddress), FindImageExport(platform, base, "qv_marker"));  // relocated pointer
    EXPECT_EQ(*reinterpret_cast<const int*>(FindImageExport(platform, base, "qv_marker")), 0x5A5A);
}

TEST(I386Loader, MapsAtAFreePreferredBaseAndRunsTheImage)
{
    auto platform = platformWithStandIns();
    const MapResult result = mapBytes(*platform, image("qv_full.dll"));
    ASSERT_NE(result.base, 0u) << describe(result.failure);
    EXPECT_EQ(result.base, preferredBase);
    EXPECT_EQ(entryRecords, (std::vector<EntryRecord>{{0, 1}}));
    expectWorkingFullImage(*platform, result.base);

    EXPECT_TRUE(UnmapImage(*platform, result.base));
    EXPECT_EQ(entryRecords, (std::vector<EntryRecord>{{0, 1}, {0, 0}}));
    EXPECT_EQ(platform->liveBlocks(), 0u);
}

TEST(I386Loader, RelocatesWhenThePreferredBaseIsTaken)
{
    auto platform = platformWithStandIns();
    ASSERT_EQ(platform->reserveMemory(preferredBase, 0x10000), preferredBase) << "the preferred base must start free";
    const MapResult result = mapBytes(*platform, image("qv_full.dll"));
    ASSERT_NE(result.base, 0u) << describe(result.failure);
    EXPECT_NE(result.base, preferredBase);
    EXPECT_EQ(platform->addressesRequested.back(), 0u);
    expectWorkingFullImage(*platform, result.base);
}

TEST(I386Loader, LinksThroughFirstThunkWhenOriginalFirstThunkIsZero)
{
    auto bytes = image("qv_full.dll");
    PeEdit(bytes, ImageFormat::pe32I386).clearOriginalFirstThunks();
    auto platform = platformWithStandIns();
    const MapResult result = mapBytes(*platform, bytes);
    ASSERT_NE(result.base, 0u) << describe(result.failure);
    expectWorkingFullImage(*platform, result.base);
}

TEST(I386Loader, ResolverRunsAsCodeAndIsObeyedOrDefers)
{
    struct Case {
        const char* replace;
        std::uintptr_t answer;
        std::uintptr_t sumOf2And3;
        std::uintptr_t scaledOf4;
    };
    const Case cases[] = {{"", 0, 5, 29}, {"qv_add", addressOf(standInMultiply), 6, 29}, {"17", addressOf(standInSquare), 5, 16}};
    for (const Case& test : cases) {
        SCOPED_TRACE(std::string("resolver answers for \"") + test.replace + "\"");
        auto platform = platformWithStandIns();
        ResolverScript script{{}, test.replace, test.answer};
        const MapResult result = mapBytes(*platform, image("qv_full.dll"), addressOf(testResolver),
                                          reinterpret_cast<std::uintptr_t>(&script));
        ASSERT_NE(result.base, 0u) << describe(result.failure);
        EXPECT_EQ(script.asked, (std::vector<std::string>{"qvtestlib.dll!qv_add", "qvtestlib.dll!qv_record_entry",
                                                         "qvtestlib.dll!17"}));
        EXPECT_EQ(call(FindImageExport(*platform, result.base, "qv_sum"), 2, 3), test.sumOf2And3);
        EXPECT_EQ(call(FindImageExport(*platform, result.base, "qv_scaled"), 4), test.scaledOf4);
    }
}

TEST(I386Loader, RefusedAttachIsDetachedAndReleased)
{
    auto platform = platformWithStandIns();
    const MapResult result = mapBytes(*platform, image("qv_refuse.dll"));
    EXPECT_EQ(result.base, 0u);
    EXPECT_EQ(result.failure, MapFailure::entryPointRefusedAttach);
    EXPECT_EQ(entryRecords, (std::vector<EntryRecord>{{0, 1}, {0, 0}}));
    EXPECT_EQ(platform->liveBlocks(), 0u);
}

TEST(I386Loader, MissingImportNeverStartsTheImage)
{
    auto platform = platformWithStandIns();
    platform->libraries["qvtestlib.dll"].byName.erase("qv_add");
    const MapResult result = mapBytes(*platform, image("qv_full.dll"));
    EXPECT_EQ(result.failure, MapFailure::importNotFound);
    EXPECT_TRUE(entryRecords.empty());
    EXPECT_EQ(platform->liveBlocks(), 0u);
}

TEST(I386Loader, ProgramImageIsNotStarted)
{
    auto platform = platformWithStandIns();
    const MapResult result = mapBytes(*platform, image("qv_program.exe"));
    EXPECT_NE(result.base, 0u) << describe(result.failure);
    EXPECT_TRUE(entryRecords.empty());
}

TEST(I386Loader, ModuleObjectLoadsLooksUpAndAttaches)
{
    auto platform = platformWithStandIns();
    InMemoryModule module(*platform);
    const auto bytes = image("qv_full.dll");
    ASSERT_TRUE(module.Load(bytes.data(), static_cast<std::int32_t>(bytes.size())));
    const std::uintptr_t attach = module.GetExport("qv_attach");
    ASSERT_NE(attach, 0u);
    EXPECT_EQ(attach, module.GetExport("6"));
    const char skin[] = ".SHE";
    // bytes given (1) + length x 10 + no password + 1 + 2 x 2 + 3 x 3
    EXPECT_EQ(call(attach, reinterpret_cast<std::uintptr_t>(skin), 7122, 0, 1, 2, 3), 1u + 71220u + 1u + 4u + 9u);

    ASSERT_TRUE(module.Load(bytes.data(), static_cast<std::int32_t>(bytes.size())));
    EXPECT_EQ(entryRecords, (std::vector<EntryRecord>{{0, 1}, {0, 0}, {0, 1}}));
    EXPECT_EQ(platform->liveBlocks(), 1u);
    EXPECT_TRUE(module.Unload());
    EXPECT_EQ(platform->liveBlocks(), 0u);
}

// --- CallProcAddress --------------------------------------------------------------------------------

TEST(CallProcAddress, ToleratesCalleesRemovingAnyNumberOfArguments)
{
    struct Case {
        const char* what;
        std::uint32_t (*callee)();
        std::uint32_t expected;  // sum of k x a_k over the arguments the callee reads, a_k = 100 + k
    };
    const Case cases[] = {
        {"removes 0", calleeRemoving0, 101 + 2 * 102 + 3 * 103},
        {"removes 3", calleeRemoving3, 101 + 2 * 102 + 3 * 103},
        {"removes 6", calleeRemoving6, 101 + 2 * 102 + 3 * 103 + 4 * 104 + 5 * 105 + 6 * 106},
        {"removes 10", calleeRemoving10,
         101 + 2 * 102 + 3 * 103 + 4 * 104 + 5 * 105 + 6 * 106 + 7 * 107 + 8 * 108 + 9 * 109 + 10 * 110},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        const std::uint32_t arguments[11] = {static_cast<std::uint32_t>(addressOf(test.callee)), 101, 102, 103, 104, 105,
                                             106, 107, 108, 109, 110};
        for (int round = 0; round < 3; ++round) {
            std::uint32_t result = 0;
            EXPECT_EQ(checkCallProcAddress(arguments, &result), 0u) << "1 ebx, 2 esi, 4 edi, 8 ebp, 16 esp changed";
            EXPECT_EQ(result, test.expected);
        }
        EXPECT_EQ(CallProcAddress(addressOf(test.callee), 101, 102, 103, 104, 105, 106, 107, 108, 109, 110),
                  test.expected);
    }
}

} // namespace
} // namespace quorvin::test
