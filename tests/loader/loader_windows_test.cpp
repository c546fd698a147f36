// The test images of this build's machine mapped into a real Windows process (Wine) through the
// product's platform: VirtualAlloc, LoadLibraryA, GetProcAddress and CallProcAddress. qvtestlib.dll,
// which the images import, lies beside this program and records the images' entry-point calls.
// In the 32-bit build every call into mapped code goes through the assembly stub; one program holds
// all cases because each start of a 32-bit Wine process is slow.
#include "call_proc_address.h"
#include "image_loader.h"
#include "in_memory_module.h"
#include "pe_test_edits.h"
#include "test_images.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace quorvin::test {
namespace {

constexpr std::uintptr_t preferredBase = 0x10000000;

const std::vector<TestImage>& nativeImages()
{
    return nativeImageFormat == ImageFormat::pe32I386 ? testImagesI386() : testImagesX64();
}

std::vector<std::uint8_t> image(const char* name) { return imageBytes(nativeImages(), name); }

// The record qvtestlib.dll keeps of the entry-point calls, read through its own exports.
class EntryRecords {
public:
    EntryRecords() : library_(LoadLibraryA("qvtestlib.dll")) {}
    ~EntryRecords() { FreeLibrary(library_); }
    EntryRecords(const EntryRecords&) = delete;
    EntryRecords& operator=(const EntryRecords&) = delete;

    bool loaded() const { return library_ != nullptr; }
    void reset() const { CallProcAddress(proc("qv_entry_reset"), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0); }

    // Each call as "module:reason".
    std::vector<std::string> calls() const
    {
        std::vector<std::string> calls;
        const auto count = static_cast<int>(CallProcAddress(proc("qv_entry_count"), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
        for (int index = 0; index < count; ++index) {
            const auto at = static_cast<std::uintptr_t>(index);
            const std::uintptr_t module = CallProcAddress(proc("qv_entry_module"), at, 0, 0, 0, 0, 0, 0, 0, 0, 0);
            const auto reason = static_cast<std::uint32_t>(
                CallProcAddress(proc("qv_entry_reason"), at, 0, 0, 0, 0, 0, 0, 0, 0, 0));
            calls.push_back(std::to_string(module) + ":" + std::to_string(reason));
        }
        return calls;
    }

private:
    std::uintptr_t proc(const char* name) const
    {
        return reinterpret_cast<std::uintptr_t>(GetProcAddress(library_, name));
    }

    HMODULE library_;
};

std::uintptr_t call(std::uintptr_t code, std::uintptr_t a1 = 0, std::uintptr_t a2 = 0, std::uintptr_t a3 = 0,
                    std::uintptr_t a4 = 0, std::uintptr_t a5 = 0, std::uintptr_t a6 = 0)
{
    return CallProcAddress(code, a1, a2, a3, a4, a5, a6, 0, 0, 0, 0);
}

MapResult mapBytes(const std::vector<std::uint8_t>& bytes, std::uintptr_t resolver = 0, std::uintptr_t value = 0)
{
    return mapImage(systemLoaderPlatform(), bytes.data(), static_cast<std::int32_t>(bytes.size()), resolver, value);
}

bool isFree(std::uintptr_t address)
{
    MEMORY_BASIC_INFORMATION region{};
    return VirtualQuery(reinterpret_cast<const void*>(address), &region, sizeof region) == sizeof region &&
           region.State == MEM_FREE;
}

std::uintptr_t exportOf(std::uintptr_t base, const char* name)
{
    return FindImageExport(systemLoaderPlatform(), base, name);
}

// The code of qv_full.dll runs linked and relocated wherever it landed.
void expectWorkingFullImage(std::uintptr_t base)
{
    ASSERT_NE(exportOf(base, "qv_sum"), 0u);
    EXPECT_EQ(call(exportOf(base, "qv_sum"), 2, 3), 5u);       // import by name
    EXPECT_EQ(call(exportOf(base, "qv_scaled"), 4), 29u);      // import by ordinal 17
    EXPECT_EQ(call(exportOf(base, "7")), 4242u);               // export by ordinal only
    EXPECT_EQ(call(exportOf(base, "qv_marker_address")), exportOf(base, "qv_marker"));  // relocated pointer
    EXPECT_EQ(exportOf(base, "qv_attach"), exportOf(base, "6"));
    EXPECT_EQ(exportOf(base, "QV_ATTACH"), 0u);
    EXPECT_EQ(exportOf(base, "06"), 0u);
    EXPECT_EQ(exportOf(base, "8"), 0u);
}

class WindowsLoader : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(records.loaded()) << "qvtestlib.dll must lie beside the test program";
        ASSERT_TRUE(isFree(preferredBase)) << "the preferred base must start free";
        records.reset();
    }

    EntryRecords records;
};

TEST_F(WindowsLoader, MapsAtTheFreePreferredBaseRunsAndUnmaps)
{
    const MapResult result = mapBytes(image("qv_full.dll"));
    ASSERT_EQ(result.base, preferredBase) << describe(result.failure);
    EXPECT_EQ(records.calls(), (std::vector<std::string>{"0:1"}));
    expectWorkingFullImage(result.base);
    auto bytes = image("qv_full.dll");
    PeEdit pe(bytes, nativeImageFormat);
    EXPECT_EQ(GetImageEntryAddress(systemLoaderPlatform(), result.base), result.base + pe.get32(pe.entryPoint()));

    EXPECT_TRUE(UnmapImage(systemLoaderPlatform(), result.base));
    EXPECT_EQ(records.calls(), (std::vector<std::string>{"0:1", "0:0"}));
    EXPECT_TRUE(isFree(result.base));
}

TEST_F(WindowsLoader, RelocatesWhenThePreferredBaseIsTaken)
{
    void* taken = VirtualAlloc(reinterpret_cast<void*>(preferredBase), 0x10000, MEM_RESERVE, PAGE_NOACCESS);
    ASSERT_EQ(reinterpret_cast<std::uintptr_t>(taken), preferredBase);
    const MapResult result = mapBytes(image("qv_full.dll"));
    ASSERT_NE(result.base, 0u) << describe(result.failure);
    EXPECT_NE(result.base, preferredBase);
    expectWorkingFullImage(result.base);
    EXPECT_TRUE(UnmapImage(systemLoaderPlatform(), result.base));
    VirtualFree(taken, 0, MEM_RELEASE);
}

TEST_F(WindowsLoader, LinksThroughFirstThunkWhenOriginalFirstThunkIsZero)
{
    auto bytes = image("qv_full.dll");
    PeEdit(bytes, nativeImageFormat).clearOriginalFirstThunks();
    const MapResult result = mapBytes(bytes);
    ASSERT_NE(result.base, 0u) << describe(result.failure);
    expectWorkingFullImage(result.base);
    EXPECT_TRUE(UnmapImage(systemLoaderPlatform(), result.base));
}

struct ResolverScript {
    std::vector<std::string> asked;
    std::string replace;
    std::uintptr_t answer;
};

// stdcall in the 32-bit build: it removes its three arguments, and the stub must cope.
std::uintptr_t __stdcall testResolver(const char* library, const char* function, ResolverScript* script)
{
    script->asked.push_back(std::string(library) + "!" + function);
    return script->replace == function ? script->answer : 0;
}

int standInMultiply(int a, int b) { return a * b; }
int standInSquare(int x) { return x * x; }

TEST_F(WindowsLoader, ResolverIsObeyedOrDefersToGetProcAddress)
{
    struct Case {
        const char* replace;
        std::uintptr_t answer;
        std::uintptr_t sumOf2And3;
        std::uintptr_t scaledOf4;
    };
    const Case cases[] = {{"", 0, 5, 29},
                          {"qv_add", reinterpret_cast<std::uintptr_t>(standInMultiply), 6, 29},
                          {"17", reinterpret_cast<std::uintptr_t>(standInSquare), 5, 16}};
    for (const Case& test : cases) {
        SCOPED_TRACE(std::string("resolver answers for \"") + test.replace + "\"");
        ResolverScript script{{}, test.replace, test.answer};
        const MapResult result = mapBytes(image("qv_full.dll"), reinterpret_cast<std::uintptr_t>(testResolver),
                                          reinterpret_cast<std::uintptr_t>(&script));
        ASSERT_NE(result.base, 0u) << describe(result.failure);
        EXPECT_EQ(script.asked, (std::vector<std::string>{"qvtestlib.dll!qv_add", "qvtestlib.dll!qv_record_entry",
                                                         "qvtestlib.dll!17"}));
        EXPECT_EQ(call(exportOf(result.base, "qv_sum"), 2, 3), test.sumOf2And3);
        EXPECT_EQ(call(exportOf(result.base, "qv_scaled"), 4), test.scaledOf4);
        EXPECT_TRUE(UnmapImage(systemLoaderPlatform(), result.base));
    }
}

TEST_F(WindowsLoader, RefusedAttachIsDetachedAndTheBlockIsGone)
{
    const MapResult result = mapBytes(image("qv_refuse.dll"));
    EXPECT_EQ(result.base, 0u);
    EXPECT_EQ(result.failure, MapFailure::entryPointRefusedAttach);
    EXPECT_EQ(records.calls(), (std::vector<std::string>{"0:1", "0:0"}));
    EXPECT_TRUE(isFree(preferredBase));
}

TEST_F(WindowsLoader, MissingImportNeverStartsTheImage)
{
    auto bytes = image("qv_full.dll");
    ASSERT_TRUE(PeEdit(bytes, nativeImageFormat).replaceText("qv_add", "qv_xyz"));
    const MapResult result = mapBytes(bytes);
    EXPECT_EQ(result.failure, MapFailure::importNotFound);
    EXPECT_TRUE(records.calls().empty());
    EXPECT_TRUE(isFree(preferredBase));
}

TEST_F(WindowsLoader, ProgramImageIsMappedButNotStarted)
{
    const MapResult result = mapBytes(image("qv_program.exe"));
    ASSERT_NE(result.base, 0u) << describe(result.failure);
    EXPECT_TRUE(records.calls().empty());
    EXPECT_TRUE(UnmapImage(systemLoaderPlatform(), result.base));
    EXPECT_TRUE(records.calls().empty());
}

TEST_F(WindowsLoader, ModuleObjectLoadsAndAttachesThroughTheStub)
{
    InMemoryModule module(systemLoaderPlatform());
    const auto bytes = image("qv_full.dll");
    ASSERT_TRUE(module.Load(bytes.data(), static_cast<std::int32_t>(bytes.size())));
    const std::uintptr_t attach = module.GetExport("qv_attach");
    ASSERT_NE(attach, 0u);
    const char skin[] = ".SHE";
    // Six meaningful arguments and four zeros, to a stdcall export: bytes given (1) + length x 10 + no
    // password + 1 + 2 x 2 + 3 x 3.
    EXPECT_EQ(call(attach, reinterpret_cast<std::uintptr_t>(skin), 7122, 0, 1, 2, 3), 71235u);

    const std::vector<std::uint8_t> noImage(4096, 0xCC);
    EXPECT_FALSE(module.Load(noImage.data(), static_cast<std::int32_t>(noImage.size())));
    EXPECT_EQ(module.GetBase(), 0u);
    EXPECT_EQ(records.calls(), (std::vector<std::string>{"0:1", "0:0"}));
    EXPECT_TRUE(isFree(preferredBase));
}

} // namespace
} // namespace quorvin::test
