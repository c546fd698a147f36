// The loader's rules on both image layouts, with a platform whose blocks come from the heap and whose
// code calls are stand-ins: nothing mapped here ever runs.
#include "image_loader.h"
#include "in_memory_module.h"
#include "pe_test_edits.h"
#include "test_images.h"
#include "test_platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace quorvin::test {
namespace {

constexpr std::uintptr_t addAddress = 0x1111;
constexpr std::uintptr_t recordAddress = 0x2222;
constexpr std::uintptr_t scaleAddress = 0x1717;
constexpr std::uintptr_t resolverCode = 0x7E50;
constexpr std::uint64_t preferredBase = 0x10000000;

const std::vector<TestImage>& imagesOf(ImageFormat format)
{
    return format == ImageFormat::pe32I386 ? testImagesI386() : testImagesX64();
}

std::string formatName(ImageFormat format) { return format == ImageFormat::pe32I386 ? "i386" : "x64"; }

// A heap platform that offers qvtestlib.dll with the two named functions and ordinal 17.
std::unique_ptr<TestPlatform> platformWithTestLibrary()
{
    auto platform = std::make_unique<TestPlatform>(TestPlatform::Memory::heap);
    platform->libraries["qvtestlib.dll"] = {{{"qv_add", addAddress}, {"qv_record_entry", recordAddress}},
                                            {{17, scaleAddress}}};
    return platform;
}

MapResult mapBytes(TestPlatform& platform, const std::vector<std::uint8_t>& bytes, ImageFormat format,
                   std::uintptr_t resolver = 0, std::uintptr_t resolverValue = 0)
{
    return mapImage(platform, bytes.data(), static_cast<std::int32_t>(bytes.size()), resolver, resolverValue, format);
}

std::uint64_t readBlock(std::uintptr_t address, unsigned width)
{
    std::uint64_t value = 0;
    std::memcpy(&value, reinterpret_cast<const void*>(address), width);
    return value;
}

unsigned pointerWidth(ImageFormat format) { return format == ImageFormat::pe32I386 ? 4 : 8; }

// The import address table of the mapped image's first (and only) import descriptor.
std::vector<std::uint64_t> importSlots(std::uintptr_t base, ImageFormat format)
{
    const auto nt = static_cast<std::uint32_t>(readBlock(base + 60, 4));
    const auto importRva = static_cast<std::uint32_t>(readBlock(base + nt + (format == ImageFormat::pe32I386 ? 128 : 144), 4));
    const auto firstThunk = static_cast<std::uint32_t>(readBlock(base + importRva + 16, 4));
    std::vector<std::uint64_t> slots;
    for (std::uintptr_t slot = base + firstThunk; readBlock(slot, pointerWidth(format)) != 0; slot += pointerWidth(format)) {
        slots.push_back(readBlock(slot, pointerWidth(format)));
    }
    return slots;
}

// --- Inputs that must be refused -------------------------------------------------------------------

struct RefusedInput {
    const char* what;
    ImageFormat format;
    std::function<void(std::vector<std::uint8_t>&, PeEdit&)> damage;
    MapFailure expected;
};

const RefusedInput refusedInputs[] = {
    {"a block of 63 bytes", ImageFormat::pe32I386, [](auto& b, auto&) { b.resize(63); }, MapFailure::inputTooShort},
    {"a 64-byte MZ block with e_lfanew 0", ImageFormat::pe32I386,
     [](auto& b, auto&) { b.assign(64, 0); b[0] = 'M'; b[1] = 'Z'; }, MapFailure::ntHeadersPastInput},
    {"no MZ", ImageFormat::pe32I386, [](auto& b, auto&) { b[1] = 'X'; }, MapFailure::noDosSignature},
    {"a negative e_lfanew", ImageFormat::pe32I386, [](auto&, auto& pe) { pe.put32(60, 0xFFFFFF00u); },
     MapFailure::negativeNtHeadersOffset},
    {"NT headers reaching past the input", ImageFormat::pe32I386,
     [](auto& b, auto& pe) { pe.put32(60, static_cast<std::uint32_t>(b.size() - 247)); }, MapFailure::ntHeadersPastInput},
    {"x64 NT headers reaching past the input", ImageFormat::pe32PlusX64,
     [](auto& b, auto& pe) { pe.put32(60, static_cast<std::uint32_t>(b.size() - 263)); }, MapFailure::ntHeadersPastInput},
    {"no PE signature", ImageFormat::pe32I386, [](auto& b, auto& pe) { b[pe.nt() + 2] = 1; }, MapFailure::noPeSignature},
    {"no executable-image flag", ImageFormat::pe32I386,
     [](auto&, auto& pe) { pe.put16(pe.characteristics(), static_cast<std::uint16_t>(pe.get16(pe.characteristics()) & ~2u)); },
     MapFailure::notExecutableImage},
    {"an x64 image claiming another machine", ImageFormat::pe32PlusX64,
     [](auto&, auto& pe) { pe.put16(pe.machine(), 0x014C); }, MapFailure::foreignMachine},
    {"32768 sections", ImageFormat::pe32I386, [](auto&, auto& pe) { pe.put16(pe.numberOfSections(), 0x8000); },
     MapFailure::tooManySections},
    {"a section table past the input", ImageFormat::pe32I386,
     [](auto& b, auto& pe) { pe.put16(pe.numberOfSections(), static_cast<std::uint16_t>((b.size() - pe.nt() - 248) / 40 + 1)); },
     MapFailure::sectionTablePastInput},
    {"raw data reaching past the input", ImageFormat::pe32I386,
     [](auto& b, auto& pe) { pe.put32(pe.section(0) + 20, static_cast<std::uint32_t>(b.size() - 16)); },
     MapFailure::sectionDataPastInput},
    {"raw data whose offset wraps around", ImageFormat::pe32I386,
     [](auto&, auto& pe) { pe.put32(pe.section(0) + 20, 0xFFFFFFF0u); }, MapFailure::sectionDataPastInput},
    {"SizeOfImage 0 and no sections", ImageFormat::pe32I386,
     [](auto&, auto& pe) { pe.put32(pe.sizeOfImage(), 0); pe.put16(pe.numberOfSections(), 0); }, MapFailure::sizeOfImageZero},
    {"headers larger than the image", ImageFormat::pe32I386,
     [](auto&, auto& pe) { pe.put32(pe.sizeOfImage(), 0x100); pe.put16(pe.numberOfSections(), 0); },
     MapFailure::headersPastImage},
    {"a section reaching past 4 GiB", ImageFormat::pe32I386,
     [](auto&, auto& pe) { pe.put32(pe.section(0) + 8, 0xFFFFFFFFu); }, MapFailure::imageTooLarge},
    {"a DLL whose AddressOfEntryPoint is 0", ImageFormat::pe32I386, [](auto&, auto& pe) { pe.put32(pe.entryPoint(), 0); },
     MapFailure::dllWithoutEntryPoint},
    {"a DLL whose entry point lies outside the image", ImageFormat::pe32PlusX64,
     [](auto&, auto& pe) { pe.put32(pe.entryPoint(), 0x7FFFFFF0u); }, MapFailure::entryPointOutsideImage},
    {"a relocation block with SizeOfBlock 0", ImageFormat::pe32I386,
     [](auto&, auto& pe) { pe.put32(pe.fileOffset(pe.get32(pe.directory(5))) + 4, 0); }, MapFailure::relocationBlockTooSmall},
    {"a relocation block with SizeOfBlock 6", ImageFormat::pe32PlusX64,
     [](auto&, auto& pe) { pe.put32(pe.fileOffset(pe.get32(pe.directory(5))) + 4, 6); }, MapFailure::relocationBlockTooSmall},
    {"relocations outside the image", ImageFormat::pe32I386,
     [](auto&, auto& pe) { pe.put32(pe.directory(5), 0x7FFF0000u); }, MapFailure::relocationOutsideImage},
    {"a relocation block running past the image", ImageFormat::pe32I386,
     [](auto&, auto& pe) { pe.put32(pe.fileOffset(pe.get32(pe.directory(5))) + 4, 0x00100000u); },
     MapFailure::relocationOutsideImage},
    {"an import table outside the image", ImageFormat::pe32I386,
     [](auto&, auto& pe) { pe.put32(pe.directory(1), 0x7FFF0000u); }, MapFailure::importOutsideImage},
    {"a library name outside the image", ImageFormat::pe32PlusX64,
     [](auto&, auto& pe) { pe.put32(pe.fileOffset(pe.get32(pe.directory(1))) + 12, 0x7FFFFFF0u); },
     MapFailure::importOutsideImage},
    {"an import that nobody supplies", ImageFormat::pe32I386,
     [](auto&, auto& pe) { pe.replaceText("qv_add", "qv_xyz"); }, MapFailure::importNotFound},
    {"a library that does not load", ImageFormat::pe32PlusX64,
     [](auto&, auto& pe) { pe.replaceText("qvtestlib.dll", "qvmissing.dll"); }, MapFailure::importNotFound},
};

TEST(MapImageFromMemory, RefusesDamagedInputsAndReleasesTheBlock)
{
    for (const RefusedInput& input : refusedInputs) {
        SCOPED_TRACE(input.what);
        auto bytes = imageBytes(imagesOf(input.format), "qv_full.dll");
        PeEdit pe(bytes, input.format);
        input.damage(bytes, pe);
        auto platform = platformWithTestLibrary();
        const MapResult result = mapBytes(*platform, bytes, input.format);
        EXPECT_EQ(result.base, 0u);
        EXPECT_STREQ(describe(result.failure), describe(input.expected));
        EXPECT_EQ(platform->liveBlocks(), 0u) << "the block must be released";
        EXPECT_TRUE(platform->calls.empty()) << "no entry point may run for a refused image";
    }
}

TEST(MapImageFromMemory, MachineIsCheckedOnlyInTheX64Layout)
{
    auto bytes = imageBytes(testImagesI386(), "qv_full.dll");
    auto platform = platformWithTestLibrary();
    EXPECT_EQ(mapBytes(*platform, bytes, ImageFormat::pe32PlusX64).failure, MapFailure::foreignMachine);
    PeEdit pe(bytes, ImageFormat::pe32I386);
    pe.put16(pe.machine(), 0x8664);  // the i386 layout maps whatever Machine says
    EXPECT_NE(mapBytes(*platform, bytes, ImageFormat::pe32I386).base, 0u);
}

TEST(MapImageFromMemory, RefusesWhenNoMemoryIsLeft)
{
    auto bytes = imageBytes(testImagesI386(), "qv_full.dll");
    auto platform = platformWithTestLibrary();
    platform->largestBlock = 0x1000;
    EXPECT_EQ(mapBytes(*platform, bytes, ImageFormat::pe32I386).failure, MapFailure::noMemory);
    EXPECT_EQ(platform->addressesRequested, (std::vector<std::uintptr_t>{preferredBase, 0}));
}

TEST(MapImageFromMemory, PublicResultIsZeroOnFailure)
{
    const std::uint8_t shortBlock[63] = {'M', 'Z'};
    TestPlatform platform(TestPlatform::Memory::heap);
    EXPECT_EQ(MapImageFromMemory(platform, shortBlock, 63), 0u);
    EXPECT_EQ(MapImageFromMemory(platform, nullptr, 1000), 0u);
    EXPECT_EQ(MapImageFromMemory(platform, shortBlock, -5), 0u);
}

// --- A good image, on both layouts ---------------------------------------------------------------

class MappedImage : public ::testing::TestWithParam<ImageFormat> {
protected:
    ImageFormat format() const { return GetParam(); }
    std::vector<std::uint8_t> image(const char* name) const { return imageBytes(imagesOf(format()), name); }
};

INSTANTIATE_TEST_SUITE_P(Layouts, MappedImage, ::testing::Values(ImageFormat::pe32I386, ImageFormat::pe32PlusX64),
                         [](const auto& layout) { return formatName(layout.param); });

TEST_P(MappedImage, LaysOutHeadersAndSectionsAsInTheFile)
{
    auto bytes = image("qv_full.dll");
    PeEdit pe(bytes, format());
    auto platform = platformWithTestLibrary();
    const MapResult result = mapBytes(*platform, bytes, format());
    ASSERT_NE(result.base, 0u) << describe(result.failure);
    EXPECT_EQ(platform->addressesRequested, (std::vector<std::uintptr_t>{preferredBase, 0}));
    EXPECT_EQ(platform->reservedSize(result.base), pe.get32(pe.sizeOfImage()));

    const std::size_t headers = pe.section(static_cast<int>(pe.sectionCount()));
    EXPECT_EQ(std::memcmp(reinterpret_cast<const void*>(result.base), bytes.data(), headers), 0);
    // The export section holds no absolute address, so it lies in the block exactly as in the file.
    const std::uint32_t exportRva = pe.get32(pe.directory(0));
    const std::uint32_t exportSize = pe.get32(pe.directory(0) + 4);
    EXPECT_EQ(std::memcmp(reinterpret_cast<const void*>(result.base + exportRva), bytes.data() + pe.fileOffset(exportRva),
                          exportSize),
              0);
}

TEST_P(MappedImage, RelocatesPointersByTheDistanceFromThePreferredBase)
{
    auto bytes = image("qv_full.dll");
    auto platform = platformWithTestLibrary();
    const MapResult result = mapBytes(*platform, bytes, format());
    ASSERT_NE(result.base, 0u) << describe(result.failure);
    ASSERT_NE(result.base, preferredBase) << "the heap never gives the preferred base";

    const std::uintptr_t marker = FindImageExport(*platform, result.base, "qv_marker", format());
    const std::uintptr_t pointer = FindImageExport(*platform, result.base, "qv_marker_pointer", format());
    ASSERT_NE(marker, 0u);
    ASSERT_NE(pointer, 0u);
    const std::uint64_t mask = format() == ImageFormat::pe32I386 ? 0xFFFFFFFFu : ~std::uint64_t{0};
    EXPECT_EQ(readBlock(pointer, pointerWidth(format())), marker & mask);
}

TEST_P(MappedImage, LinksImportsByNameAndOrdinalAndStartsTheDll)
{
    auto bytes = image("qv_full.dll");
    PeEdit pe(bytes, format());
    auto platform = platformWithTestLibrary();
    const MapResult result = mapBytes(*platform, bytes, format());
    ASSERT_NE(result.base, 0u) << describe(result.failure);

    EXPECT_EQ(platform->librariesLoaded, (std::vector<std::string>{"qvtestlib.dll"}));
    EXPECT_EQ(platform->namesAsked, (std::vector<std::string>{"qv_add", "qv_record_entry"}));
    EXPECT_EQ(platform->ordinalsAsked, (std::vector<std::uint16_t>{17}));
    EXPECT_EQ(importSlots(result.base, format()), (std::vector<std::uint64_t>{addAddress, recordAddress, scaleAddress}));

    const std::uintptr_t entry = result.base + pe.get32(pe.entryPoint());
    EXPECT_EQ(GetImageEntryAddress(*platform, result.base), entry);
    ASSERT_EQ(platform->calls.size(), 1u);
    EXPECT_EQ(platform->calls[0].code, entry);
    EXPECT_EQ(platform->calls[0].arguments, (CallArguments{0, 1, 0}));  // module handle 0, DLL_PROCESS_ATTACH
}

TEST_P(MappedImage, LinksThroughFirstThunkWhenOriginalFirstThunkIsZero)
{
    auto bytes = image("qv_full.dll");
    PeEdit pe(bytes, format());
    pe.clearOriginalFirstThunks();
    auto platform = platformWithTestLibrary();
    const MapResult result = mapBytes(*platform, bytes, format());
    ASSERT_NE(result.base, 0u) << describe(result.failure);
    EXPECT_EQ(importSlots(result.base, format()), (std::vector<std::uint64_t>{addAddress, recordAddress, scaleAddress}));
}

TEST_P(MappedImage, RefusedAttachIsFollowedByDetachAndTheBlockIsReleased)
{
    auto bytes = image("qv_refuse.dll");
    auto platform = platformWithTestLibrary();
    platform->caller = [](std::uintptr_t, const CallArguments& arguments) -> std::uintptr_t {
        // A BOOL FALSE with garbage in the upper half of a 64-bit register is still FALSE.
        return arguments[1] == 1 ? 0xFFFFFFFF00000000u & UINTPTR_MAX : 1;
    };
    const MapResult result = mapBytes(*platform, bytes, format());
    EXPECT_EQ(result.base, 0u);
    EXPECT_EQ(result.failure, MapFailure::entryPointRefusedAttach);
    ASSERT_EQ(platform->calls.size(), 2u);
    EXPECT_EQ(platform->calls[0].arguments, (CallArguments{0, 1, 0}));
    EXPECT_EQ(platform->calls[1].arguments, (CallArguments{0, 0, 0}));
    EXPECT_EQ(platform->calls[1].code, platform->calls[0].code);
    EXPECT_EQ(platform->liveBlocks(), 0u);
}

TEST_P(MappedImage, ProgramImageIsMappedWithoutAnyEntryCall)
{
    auto bytes = image("qv_program.exe");
    auto platform = platformWithTestLibrary();
    const MapResult result = mapBytes(*platform, bytes, format());
    EXPECT_NE(result.base, 0u) << describe(result.failure);
    EXPECT_TRUE(platform->calls.empty());
    EXPECT_EQ(platform->namesAsked, (std::vector<std::string>{"qv_record_entry"}));
}

TEST_P(MappedImage, SectionExtentCountsTheFullVirtualSize)
{
    // The last section claims 0x12345 bytes: counting only the low 16 bits (0x2345) would leave its
    // tail outside the block.
    auto bytes = image("qv_full.dll");
    PeEdit pe(bytes, format());
    const int last = static_cast<int>(pe.sectionCount()) - 1;
    pe.put32(pe.section(last) + 8, 0x12345);
    const std::uint32_t end = pe.get32(pe.section(last) + 12) + 0x12345;
    const std::uint32_t alignment = pe.get32(pe.sectionAlignment());
    auto platform = platformWithTestLibrary();
    const MapResult result = mapBytes(*platform, bytes, format());
    ASSERT_NE(result.base, 0u) << describe(result.failure);
    EXPECT_EQ(platform->reservedSize(result.base), (end + alignment - 1) / alignment * alignment);
    // The headers in the block keep the file's own SizeOfImage.
    EXPECT_EQ(readBlock(result.base + pe.sizeOfImage(), 4), pe.get32(pe.sizeOfImage()));
}

// --- The import resolver -------------------------------------------------------------------------

struct ResolverAsked {
    std::string library;
    std::string function;
    std::uintptr_t value;
    bool operator==(const ResolverAsked&) const = default;
};

struct ResolverCase {
    const char* what;
    std::function<std::uintptr_t(const std::string& function)> answer;
    std::vector<std::string> namesLeftToGetProcAddress;
    std::vector<std::uint16_t> ordinalsLeftToGetProcAddress;
    std::vector<std::uint64_t> slots;
};

const ResolverCase resolverCases[] = {
    {"a resolver that returns 0 leaves every import to GetProcAddress", [](const std::string&) { return 0u; },
     {"qv_add", "qv_record_entry"}, {17}, {addAddress, recordAddress, scaleAddress}},
    {"a resolver's address is obeyed although GetProcAddress has one",
     [](const std::string& f) -> std::uintptr_t { return f == "qv_add" ? 0xAAAA : 0; }, {"qv_record_entry"}, {17},
     {0xAAAA, recordAddress, scaleAddress}},
    {"an ordinal import reaches the resolver as its decimal text",
     [](const std::string& f) -> std::uintptr_t { return f == "17" ? 0xBBBB : 0; }, {"qv_add", "qv_record_entry"}, {},
     {addAddress, recordAddress, 0xBBBB}},
};

TEST_P(MappedImage, ResolverIsAskedFirstForEveryImport)
{
    for (const ResolverCase& test : resolverCases) {
        SCOPED_TRACE(test.what);
        auto bytes = image("qv_full.dll");
        auto platform = platformWithTestLibrary();
        std::vector<ResolverAsked> asked;
        platform->caller = [&](std::uintptr_t code, const CallArguments& arguments) -> std::uintptr_t {
            if (code != resolverCode) {
                return 1;  // the entry point
            }
            asked.push_back({reinterpret_cast<const char*>(arguments[0]), reinterpret_cast<const char*>(arguments[1]),
                             arguments[2]});
            return test.answer(asked.back().function);
        };
        const MapResult result = mapBytes(*platform, bytes, format(), resolverCode, 0x5EED);
        ASSERT_NE(result.base, 0u) << describe(result.failure);
        EXPECT_EQ(asked, (std::vector<ResolverAsked>{{"qvtestlib.dll", "qv_add", 0x5EED},
                                                     {"qvtestlib.dll", "qv_record_entry", 0x5EED},
                                                     {"qvtestlib.dll", "17", 0x5EED}}));
        EXPECT_EQ(platform->namesAsked, test.namesLeftToGetProcAddress);
        EXPECT_EQ(platform->ordinalsAsked, test.ordinalsLeftToGetProcAddress);
        EXPECT_EQ(importSlots(result.base, format()), test.slots);
    }
}

TEST_P(MappedImage, ResolverCanSupplyALibraryThatDoesNotLoad)
{
    auto bytes = image("qv_full.dll");
    TestPlatform platform(TestPlatform::Memory::heap);  // knows no library at all
    platform.caller = [](std::uintptr_t code, const CallArguments&) -> std::uintptr_t {
        return code == resolverCode ? 0xCCCC : 1;
    };
    const MapResult result = mapBytes(platform, bytes, format(), resolverCode, 0);
    ASSERT_NE(result.base, 0u) << describe(result.failure);
    EXPECT_TRUE(platform.namesAsked.empty()) << "a library that did not load is not asked";
    EXPECT_EQ(importSlots(result.base, format()), (std::vector<std::uint64_t>{0xCCCC, 0xCCCC, 0xCCCC}));
}

TEST_P(MappedImage, MissingImportReleasesTheBlockBeforeAnyEntryCall)
{
    auto bytes = image("qv_full.dll");
    auto platform = platformWithTestLibrary();
    platform->libraries["qvtestlib.dll"].byOrdinal.clear();
    const MapResult result = mapBytes(*platform, bytes, format());
    EXPECT_EQ(result.failure, MapFailure::importNotFound);
    EXPECT_EQ(platform->liveBlocks(), 0u);
    EXPECT_TRUE(platform->calls.empty());
}

// --- Exports ---------------------------------------------------------------------------------------

struct ExportCase {
    const char* name;
    const char* sameAs;  // another name that must give the same address; nullptr: must give 0
};

// qv_full.dll: Base 1, seven functions, qv_attach is ordinal 6 (its AddressOfNameOrdinals entry is 5),
// ordinal 7 has no name.
const ExportCase exportCases[] = {
    {"qv_attach", "6"},   {"6", "qv_attach"},  {"qv_sum", "1"},   {"7", "7"},
    {"QV_ATTACH", nullptr}, {"Qv_attach", nullptr}, {"06", nullptr}, {"+6", nullptr},
    {" 6", nullptr},      {"6 ", nullptr},      {"8", nullptr},   {"0", nullptr},
    {"-1", nullptr},      {"-0", nullptr},      {"", nullptr},    {"qv_nothing", nullptr},
    {"4294967302", nullptr}, {"qv_attac", nullptr}, {"qv_attachx", nullptr},
};

TEST_P(MappedImage, FindsExportsByNameOrOrdinal)
{
    auto bytes = image("qv_full.dll");
    auto platform = platformWithTestLibrary();
    const MapResult result = mapBytes(*platform, bytes, format());
    ASSERT_NE(result.base, 0u) << describe(result.failure);
    for (const ExportCase& test : exportCases) {
        SCOPED_TRACE(std::string("name \"") + test.name + "\"");
        const std::uintptr_t address = FindImageExport(*platform, result.base, test.name, format());
        if (test.sameAs == nullptr) {
            EXPECT_EQ(address, 0u);
        } else {
            EXPECT_NE(address, 0u);
            EXPECT_GT(address, result.base);
            EXPECT_EQ(address, FindImageExport(*platform, result.base, test.sameAs, format()));
        }
    }
    EXPECT_NE(FindImageExport(*platform, result.base, "qv_sum", format()),
              FindImageExport(*platform, result.base, "qv_attach", format()));
    EXPECT_EQ(FindImageExport(*platform, result.base, nullptr, format()), 0u);
    EXPECT_EQ(FindImageExport(*platform, 0, "qv_sum", format()), 0u);
}

TEST_P(MappedImage, FindsNoExportWhenTheHeadersAreDamaged)
{
    auto bytes = image("qv_full.dll");
    auto platform = platformWithTestLibrary();
    const MapResult result = mapBytes(*platform, bytes, format());
    ASSERT_NE(result.base, 0u) << describe(result.failure);
    PeEdit pe(bytes, format());
    auto* block = reinterpret_cast<std::uint8_t*>(result.base);
    // The export directory's RVA sent outside the block.
    const std::size_t directory = pe.directory(0);
    std::uint32_t saved = 0;
    std::memcpy(&saved, block + directory, 4);
    const std::uint32_t outside = 0x7FFFFF00u;
    std::memcpy(block + directory, &outside, 4);
    EXPECT_EQ(FindImageExport(*platform, result.base, "qv_sum", format()), 0u);
    std::memcpy(block + directory, &saved, 4);
    // e_lfanew sent outside the block.
    const std::uint32_t farAway = 0x40000000u;
    std::memcpy(block + 60, &farAway, 4);
    EXPECT_EQ(FindImageExport(*platform, result.base, "qv_sum", format()), 0u);
    EXPECT_EQ(GetImageEntryAddress(*platform, result.base), 0u);
    EXPECT_FALSE(UnmapImage(*platform, result.base));
}

// --- Unmapping -------------------------------------------------------------------------------------

TEST_P(MappedImage, UnmapKeepsABlockWhoseHeadersNoLongerReadAsAnImage)
{
    auto bytes = image("qv_full.dll");
    auto platform = platformWithTestLibrary();
    const MapResult result = mapBytes(*platform, bytes, format());
    ASSERT_NE(result.base, 0u) << describe(result.failure);
    platform->calls.clear();

    auto* block = reinterpret_cast<std::uint8_t*>(result.base);
    block[0] = 'X';
    EXPECT_FALSE(UnmapImage(*platform, result.base));
    EXPECT_EQ(platform->liveBlocks(), 1u);
    EXPECT_TRUE(platform->calls.empty());

    block[0] = 'M';
    EXPECT_TRUE(UnmapImage(*platform, result.base));
    EXPECT_EQ(platform->liveBlocks(), 0u);
    ASSERT_EQ(platform->calls.size(), 1u);
    EXPECT_EQ(platform->calls[0].arguments, (CallArguments{0, 0, 0}));  // DLL_PROCESS_DETACH
    EXPECT_FALSE(UnmapImage(*platform, result.base)) << "a released block is no image";
}

// --- The module object (native layout) -------------------------------------------------------------

std::vector<std::uint8_t> nativeImage(const char* name) { return imageBytes(imagesOf(nativeImageFormat), name); }

bool loadInto(InMemoryModule& module, const std::vector<std::uint8_t>& bytes)
{
    return module.Load(bytes.data(), static_cast<std::int32_t>(bytes.size()));
}

TEST(InMemoryModule, EmptyObjectAnswersZero)
{
    auto platform = platformWithTestLibrary();
    InMemoryModule module(*platform);
    EXPECT_EQ(module.GetBase(), 0u);
    EXPECT_EQ(module.GetExport("qv_sum"), 0u);
    EXPECT_EQ(module.GetEntryAddress(), 0u);
    EXPECT_TRUE(module.Unload());
    EXPECT_TRUE(platform->calls.empty());
}

TEST(InMemoryModule, LoadOverAHeldImageDetachesAndReleasesItFirst)
{
    const auto full = nativeImage("qv_full.dll");
    auto platform = platformWithTestLibrary();
    InMemoryModule module(*platform);
    ASSERT_TRUE(loadInto(module, full));
    const std::uintptr_t firstEntry = module.GetEntryAddress();
    EXPECT_NE(module.GetExport("qv_sum"), 0u);

    ASSERT_TRUE(loadInto(module, full));
    EXPECT_EQ(platform->liveBlocks(), 1u);
    ASSERT_EQ(platform->calls.size(), 3u);
    EXPECT_EQ(platform->calls[1].code, firstEntry);
    EXPECT_EQ(platform->calls[1].arguments, (CallArguments{0, 0, 0}));
    EXPECT_EQ(platform->calls[2].arguments, (CallArguments{0, 1, 0}));
}

TEST(InMemoryModule, LoadOfBytesThatAreNoImageLeavesItEmpty)
{
    const auto full = nativeImage("qv_full.dll");
    const std::vector<std::uint8_t> noImage(4096, 0x90);
    auto platform = platformWithTestLibrary();
    InMemoryModule module(*platform);
    EXPECT_FALSE(loadInto(module, noImage));
    EXPECT_EQ(module.GetBase(), 0u);

    ASSERT_TRUE(loadInto(module, full));
    EXPECT_FALSE(loadInto(module, noImage));
    EXPECT_EQ(module.GetBase(), 0u);
    EXPECT_EQ(platform->liveBlocks(), 0u) << "the held image was released before the failed load";
}

TEST(InMemoryModule, UnloadKeepsTheBaseWhenTheImageCannotBeReleased)
{
    auto platform = platformWithTestLibrary();
    InMemoryModule module(*platform);
    ASSERT_TRUE(loadInto(module, nativeImage("qv_full.dll")));
    auto* block = reinterpret_cast<std::uint8_t*>(module.GetBase());
    block[1] = 0;
    EXPECT_FALSE(module.Unload());
    EXPECT_NE(module.GetBase(), 0u);
    block[1] = 'Z';
    EXPECT_TRUE(module.Unload());
    EXPECT_EQ(module.GetBase(), 0u);
    EXPECT_EQ(platform->liveBlocks(), 0u);
}

TEST(InMemoryModule, DestroyingLeavesTheImageMappedAndCopiesShareIt)
{
    auto platform = platformWithTestLibrary();
    auto module = std::make_unique<InMemoryModule>(*platform);
    ASSERT_TRUE(loadInto(*module, nativeImage("qv_full.dll")));
    const std::unique_ptr<InMemoryModule> copy = module->copy();
    EXPECT_EQ(copy->GetBase(), module->GetBase());
    EXPECT_EQ(copy->GetExport("qv_attach"), module->GetExport("6"));
    const std::size_t callsBefore = platform->calls.size();
    module.reset();
    EXPECT_EQ(platform->liveBlocks(), 1u);
    EXPECT_EQ(platform->calls.size(), callsBefore) << "no detach call at destruction";
    EXPECT_NE(copy->GetExport("qv_sum"), 0u);
}

// --- The corpus of inputs that must be refused -----------------------------------------------------

// Each file is named <failure>--<what>.bin and holds an i386 image that must be refused for that reason.
TEST(RefusedCorpus, EveryFileFailsForItsStatedReason)
{
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(QUORVIN_LOADER_CORPUS)) {
        if (entry.path().extension() != ".bin") {
            continue;
        }
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        auto platform = platformWithTestLibrary();
        const MapResult result = mapBytes(*platform, bytes, ImageFormat::pe32I386);
        EXPECT_EQ(result.base, 0u);
        EXPECT_EQ(name.substr(0, name.find("--")), describe(result.failure));
        EXPECT_EQ(platform->liveBlocks(), 0u);
        ++files;
    }
    EXPECT_GE(files, 10u);
}

} // namespace
} // namespace quorvin::test
