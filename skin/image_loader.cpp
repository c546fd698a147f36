#include "image_loader.h"

#include "pe_image_reader.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string_view>
#include <utility>

namespace quorvin {
namespace {

constexpr std::uint16_t dosSignature = 0x5A4D;      // "MZ"
constexpr std::uint32_t peSignature = 0x00004550;   // "PE\0\0"
constexpr std::uint16_t fileExecutableImage = 0x0002;
constexpr std::uint16_t fileDll = 0x2000;
constexpr std::uintptr_t dllProcessDetach = 0;
constexpr std::uintptr_t dllProcessAttach = 1;
constexpr std::int32_t dosHeaderSize = 64;
constexpr std::uint64_t largestImage = 0xFFFFFFFFu;

// Offsets of the fields read, from the start of the DOS header, the NT headers, a section header, a
// data directory table, a relocation block, an import descriptor and the export directory.
constexpr std::uint64_t dosMagic = 0, dosNtHeadersOffset = 60;
constexpr std::uint64_t ntSignature = 0, ntMachine = 4, ntNumberOfSections = 6, ntCharacteristics = 22,
                        ntMagic = 24, ntEntryPoint = 40, ntSectionAlignment = 56, ntSizeOfImage = 80;
constexpr std::uint64_t sectionHeaderSize = 40, sectionVirtualSize = 8, sectionVirtualAddress = 12,
                        sectionSizeOfRawData = 16, sectionPointerToRawData = 20;
constexpr std::uint64_t directoryEntrySize = 8, exportDirectoryIndex = 0, importDirectoryIndex = 1,
                        relocationDirectoryIndex = 5;
constexpr std::uint64_t relocationHeaderSize = 8;
constexpr std::uint64_t importDescriptorSize = 20, importName = 12, importFirstThunk = 16;
constexpr std::uint64_t exportDirectorySize = 40, exportBase = 16, exportNumberOfFunctions = 20,
                        exportNumberOfNames = 24, exportAddressOfFunctions = 28, exportAddressOfNames = 32,
                        exportAddressOfNameOrdinals = 36;
constexpr std::uint16_t relocationHighLow = 3;
constexpr std::uint16_t relocationDir64 = 10;

// What differs between the two image layouts the loader knows.
struct FormatLayout {
    std::uint64_t ntHeadersSize;
    std::uint64_t imageBaseOffset;  // from the NT headers
    unsigned imageBaseWidth;
    std::uint64_t dataDirectoryOffset;  // from the NT headers
    unsigned thunkWidth;
    std::uint64_t ordinalFlag;
    bool checksMachine;  // the i386 layout maps whatever Machine says
    std::uint16_t machine;
    std::uint16_t magic;
    bool appliesDir64;
};

constexpr FormatLayout pe32I386Layout{248, 52, 4, 120, 4, 0x80000000u, false, 0, 0, false};
constexpr FormatLayout pe32PlusX64Layout{264, 48, 8, 136, 8, 0x8000000000000000u, true, 0x8664, 0x20B, true};

const FormatLayout& layoutOf(ImageFormat format)
{
    return format == ImageFormat::pe32I386 ? pe32I386Layout : pe32PlusX64Layout;
}

std::uint64_t directoryOffset(const FormatLayout& layout, std::uint64_t ntHeaders, std::uint64_t index)
{
    return ntHeaders + layout.dataDirectoryOffset + index * directoryEntrySize;
}

bool isPositive(std::uint32_t field) { return static_cast<std::int32_t>(field) > 0; }

std::uint8_t* blockPointer(std::uintptr_t base) { return reinterpret_cast<std::uint8_t*>(base); }

// Reads and checks the DOS and NT headers of the input (steps 1 to 5 of a load and the guards added
// to them). Every field is read on its own, at its offset.
MapFailure readHeaders(const ByteReader& input, const FormatLayout& layout, ImageHeaders& headers)
{
    if (input.u16(dosMagic) != dosSignature) {
        return MapFailure::noDosSignature;
    }
    const auto ntOffset = static_cast<std::int32_t>(*input.u32(dosNtHeadersOffset));
    if (ntOffset < 0) {
        return MapFailure::negativeNtHeadersOffset;
    }
    const auto nt = static_cast<std::uint64_t>(ntOffset);
    if (!input.contains(nt, layout.ntHeadersSize)) {
        return MapFailure::ntHeadersPastInput;
    }
    // From here on every NT header field lies inside the range just checked.
    const auto field16 = [&](std::uint64_t offset) { return *input.u16(nt + offset); };
    const auto field32 = [&](std::uint64_t offset) { return *input.u32(nt + offset); };
    if (field32(ntSignature) != peSignature) {
        return MapFailure::noPeSignature;
    }
    headers.characteristics = field16(ntCharacteristics);
    if ((headers.characteristics & fileExecutableImage) == 0) {
        return MapFailure::notExecutableImage;
    }
    if (layout.checksMachine && (field16(ntMachine) != layout.machine || field16(ntMagic) != layout.magic)) {
        return MapFailure::foreignMachine;
    }
    // The count is a signed 16-bit number in the algorithm; a "negative" one would be misread.
    headers.numberOfSections = field16(ntNumberOfSections);
    if (headers.numberOfSections > 32767) {
        return MapFailure::tooManySections;
    }
    headers.ntHeadersOffset = static_cast<std::uint32_t>(nt);
    headers.headersLength = nt + layout.ntHeadersSize + sectionHeaderSize * headers.numberOfSections;
    if (headers.headersLength > input.size()) {
        return MapFailure::sectionTablePastInput;
    }
    headers.entryPointRva = field32(ntEntryPoint);
    headers.preferredBase = *input.little(nt + layout.imageBaseOffset, layout.imageBaseWidth);
    headers.sectionAlignment = field32(ntSectionAlignment);
    headers.sizeOfImage = field32(ntSizeOfImage);
    const auto directory = [&](std::uint64_t index) {
        const auto offset = directoryOffset(layout, nt, index);
        return DataDirectory{*input.u32(offset), *input.u32(offset + 4)};
    };
    headers.exports = directory(exportDirectoryIndex);
    headers.imports = directory(importDirectoryIndex);
    headers.relocations = directory(relocationDirectoryIndex);
    return MapFailure::none;
}

struct Section {
    std::uint32_t virtualSize;
    std::uint32_t virtualAddress;
    std::uint32_t sizeOfRawData;
    std::uint32_t pointerToRawData;

    // Only sections with raw data and a place in the image get bytes copied.
    bool copied() const { return isPositive(sizeOfRawData) && virtualAddress != 0; }
};

Section readSection(const ByteReader& input, const ImageHeaders& headers, const FormatLayout& layout,
                    std::uint64_t index)
{
    // The whole section table was checked against the input by readHeaders.
    const auto at = headers.ntHeadersOffset + layout.ntHeadersSize + index * sectionHeaderSize;
    return Section{*input.u32(at + sectionVirtualSize), *input.u32(at + sectionVirtualAddress),
                   *input.u32(at + sectionSizeOfRawData), *input.u32(at + sectionPointerToRawData)};
}

std::uint64_t alignUp(std::uint64_t value, std::uint32_t alignment)
{
    // An alignment of 0 would divide by zero; such a section's end counts as it is.
    if (alignment == 0) {
        return value;
    }
    return alignment * ((value + alignment - 1) / alignment);
}

// Step 6: the block must reach the end of every section. A section's extent is the larger of its raw
// size and its full VirtualSize: counting only the low 16 bits of VirtualSize could size the block
// too small for a section's copy. Raw data must also lie inside the input.
MapFailure measureImage(const ByteReader& input, const ImageHeaders& headers, const FormatLayout& layout,
                        std::uint64_t& workingSize)
{
    workingSize = headers.sizeOfImage;
    for (std::uint64_t index = 0; index < headers.numberOfSections; ++index) {
        const Section section = readSection(input, headers, layout, index);
        if (section.copied() && !input.contains(section.pointerToRawData, section.sizeOfRawData)) {
            return MapFailure::sectionDataPastInput;
        }
        const std::uint64_t extent = std::max(section.virtualSize, section.sizeOfRawData);
        const std::uint64_t end = alignUp(section.virtualAddress + extent, headers.sectionAlignment);
        workingSize = std::max(workingSize, end);
    }
    if (workingSize > largestImage) {
        return MapFailure::imageTooLarge;
    }
    if (workingSize == 0) {
        return MapFailure::sizeOfImageZero;
    }
    if (headers.headersLength > workingSize) {
        return MapFailure::headersPastImage;
    }
    if ((headers.characteristics & fileDll) != 0) {
        if (headers.entryPointRva == 0) {
            return MapFailure::dllWithoutEntryPoint;
        }
        if (headers.entryPointRva >= workingSize) {
            return MapFailure::entryPointOutsideImage;
        }
    }
    return MapFailure::none;
}

// Every copy is bounded by the block. A section's copy always fits while measureImage counts raw sizes
// in the extent; the check keeps a change there from ever writing past the block.
MapFailure copyImage(const ByteReader& input, const BlockBytes& block, const ImageHeaders& headers,
                     const FormatLayout& layout)
{
    if (!block.copyIn(0, input.data(), headers.headersLength)) {
        return MapFailure::headersPastImage;
    }
    for (std::uint64_t index = 0; index < headers.numberOfSections; ++index) {
        const Section section = readSection(input, headers, layout, index);
        if (section.copied() &&
            !block.copyIn(section.virtualAddress, input.data() + section.pointerToRawData, section.sizeOfRawData)) {
            return MapFailure::sectionPastImage;
        }
    }
    return MapFailure::none;
}

// Releases the block on every failure path unless the load went through.
class BlockGuard {
public:
    BlockGuard(LoaderPlatform& platform, std::uintptr_t base) : platform_(platform), base_(base) {}
    BlockGuard(const BlockGuard&) = delete;
    BlockGuard& operator=(const BlockGuard&) = delete;
    ~BlockGuard()
    {
        if (base_ != 0) {
            platform_.releaseMemory(base_);
        }
    }
    std::uintptr_t keep() { return std::exchange(base_, 0); }

private:
    LoaderPlatform& platform_;
    std::uintptr_t base_;
};

CallArguments threeArguments(std::uintptr_t first, std::uintptr_t second, std::uintptr_t third)
{
    return CallArguments{first, second, third, 0, 0, 0, 0, 0, 0, 0};
}

// The entry point returns a BOOL: only its low 32 bits carry the answer.
bool callEntryPoint(LoaderPlatform& platform, std::uintptr_t entry, std::uintptr_t reason)
{
    return static_cast<std::uint32_t>(platform.callCode(entry, threeArguments(0, reason, 0))) != 0;
}

// An ordinal is a name that is the exact decimal text of a 32-bit integer: "6" and "-2" are, "06",
// "+6", " 6", "6x" and "-0" are not.
std::optional<std::int64_t> ordinalOf(std::string_view name)
{
    const bool negative = !name.empty() && name.front() == '-';
    const std::string_view digits = negative ? name.substr(1) : name;
    if (digits.empty() || digits.size() > 10 || (digits.size() > 1 && digits.front() == '0')) {
        return std::nullopt;
    }
    if (negative && digits == "0") {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char digit : digits) {
        if (digit < '0' || digit > '9') {
            return std::nullopt;
        }
        value = value * 10 + (digit - '0');
    }
    value = negative ? -value : value;
    if (value < INT32_MIN || value > INT32_MAX) {
        return std::nullopt;
    }
    return value;
}

// The block a mapped image occupies, bounded by what the platform says was reserved there.
std::optional<BlockBytes> blockAt(LoaderPlatform& platform, std::uintptr_t base)
{
    if (base == 0) {
        return std::nullopt;
    }
    const std::size_t size = platform.reservedSize(base);
    if (size == 0) {
        return std::nullopt;
    }
    return BlockBytes(blockPointer(base), size);
}

// The NT headers' offset when the block still starts with "MZ" and "PE\0\0".
std::optional<std::uint64_t> recognisedNtHeaders(const ByteReader& block)
{
    if (block.u16(dosMagic) != dosSignature) {
        return std::nullopt;
    }
    const auto ntOffset = block.u32(dosNtHeadersOffset);
    if (!ntOffset || block.u32(*ntOffset + ntSignature) != peSignature) {
        return std::nullopt;
    }
    return *ntOffset;
}

std::uintptr_t exportAt(const ByteReader& block, std::uintptr_t base, std::uint64_t functions, std::uint64_t index)
{
    const auto rva = block.u32(functions + 4 * index);
    // An RVA of 0 is no export; one outside the block would hand out an address that is not ours.
    if (!rva || *rva == 0 || *rva >= block.size()) {
        return 0;
    }
    return base + *rva;
}

} // namespace

const char* describe(MapFailure failure)
{
    static constexpr const char* names[] = {
        "none", "inputTooShort", "noDosSignature", "negativeNtHeadersOffset", "ntHeadersPastInput",
        "noPeSignature", "notExecutableImage", "foreignMachine", "tooManySections", "sectionTablePastInput",
        "sectionDataPastInput", "imageTooLarge", "sizeOfImageZero", "headersPastImage", "dllWithoutEntryPoint",
        "entryPointOutsideImage", "noMemory", "relocationBlockTooSmall", "relocationOutsideImage",
        "importOutsideImage", "importNotFound", "sectionPastImage", "entryPointRefusedAttach",
    };
    static_assert(std::size(names) == static_cast<std::size_t>(MapFailure::entryPointRefusedAttach) + 1);
    const auto index = static_cast<std::size_t>(failure);
    return index < std::size(names) ? names[index] : "unknown";
}

std::uintptr_t ReserveImageMemory(LoaderPlatform& platform, std::uint64_t preferredBase, std::size_t size)
{
    if (preferredBase != 0 && preferredBase <= UINTPTR_MAX) {
        if (const auto base = platform.reserveMemory(static_cast<std::uintptr_t>(preferredBase), size)) {
            return base;
        }
    }
    return platform.reserveMemory(0, size);
}

MapFailure ApplyImageRelocations(std::uintptr_t base, std::size_t blockSize, const ImageHeaders& headers,
                                 ImageFormat format)
{
    const FormatLayout& layout = layoutOf(format);
    const BlockBytes block(blockPointer(base), blockSize);
    const std::uint64_t delta = static_cast<std::uint64_t>(base) - headers.preferredBase;
    std::uint64_t at = headers.relocations.virtualAddress;
    // The walk ends at a block header whose VirtualAddress is 0, the zeros after the last block.
    for (;;) {
        const auto page = block.u32(at);
        const auto blockLength = block.u32(at + 4);
        if (!page || !blockLength) {
            return MapFailure::relocationOutsideImage;
        }
        if (*page == 0) {
            return MapFailure::none;
        }
        // With a SizeOfBlock of 0 the walk would never advance.
        if (*blockLength < relocationHeaderSize) {
            return MapFailure::relocationBlockTooSmall;
        }
        const std::uint64_t count = (*blockLength - relocationHeaderSize) / 2;
        for (std::uint64_t index = 0; index < count; ++index) {
            const auto entry = block.u16(at + relocationHeaderSize + 2 * index);
            if (!entry) {
                return MapFailure::relocationOutsideImage;
            }
            const unsigned type = *entry >> 12;
            const std::uint64_t target = std::uint64_t{*page} + (*entry & 0x0FFFu);
            const unsigned width = type == relocationHighLow                         ? 4
                                   : (type == relocationDir64 && layout.appliesDir64) ? 8
                                                                                      : 0;
            if (width == 0) {
                continue;  // fillers and every other type are passed over
            }
            const auto value = block.little(target, width);
            if (!value || !block.writeLittle(target, width, *value + delta)) {
                return MapFailure::relocationOutsideImage;
            }
        }
        at += *blockLength;
    }
}

MapFailure ResolveImageImports(LoaderPlatform& platform, std::uintptr_t base, std::size_t blockSize,
                               const ImageHeaders& headers, ImageFormat format, std::uintptr_t resolver,
                               std::uintptr_t resolverValue)
{
    const FormatLayout& layout = layoutOf(format);
    const BlockBytes block(blockPointer(base), blockSize);
    const auto addressIn = [&](std::uint64_t offset) { return base + static_cast<std::uintptr_t>(offset); };
    for (std::uint64_t descriptor = headers.imports.virtualAddress;; descriptor += importDescriptorSize) {
        if (!block.contains(descriptor, importDescriptorSize)) {
            return MapFailure::importOutsideImage;
        }
        const std::uint32_t firstThunk = *block.u32(descriptor + importFirstThunk);
        if (firstThunk == 0) {
            return MapFailure::none;
        }
        const std::uint32_t nameRva = *block.u32(descriptor + importName);
        if (!block.text(nameRva)) {
            return MapFailure::importOutsideImage;
        }
        const char* libraryName = reinterpret_cast<const char*>(blockPointer(addressIn(nameRva)));
        const std::uintptr_t library = platform.loadLibrary(libraryName);
        // OriginalFirstThunk is never read: each slot's own value says what to import.
        for (std::uint64_t slot = firstThunk;; slot += layout.thunkWidth) {
            const auto value = block.little(slot, layout.thunkWidth);
            if (!value) {
                return MapFailure::importOutsideImage;
            }
            if (*value == 0) {
                break;
            }
            const bool byOrdinal = (*value & layout.ordinalFlag) != 0;
            const auto ordinal = static_cast<std::uint16_t>(*value & 0xFFFFu);
            char ordinalText[8] = {};
            const char* functionName = ordinalText;
            if (byOrdinal) {
                std::to_chars(ordinalText, ordinalText + sizeof ordinalText - 1, ordinal);
            } else {
                const std::uint64_t nameOffset = *value + 2;  // after the 2-byte hint
                if (!block.text(nameOffset)) {
                    return MapFailure::importOutsideImage;
                }
                functionName = reinterpret_cast<const char*>(blockPointer(addressIn(nameOffset)));
            }
            std::uintptr_t address = 0;
            if (resolver != 0) {
                address = platform.callCode(resolver, threeArguments(reinterpret_cast<std::uintptr_t>(libraryName),
                                                                     reinterpret_cast<std::uintptr_t>(functionName),
                                                                     resolverValue));
            }
            // A library that did not load has no functions to give; it is not asked.
            if (address == 0 && library != 0) {
                address = byOrdinal ? platform.procAddressByOrdinal(library, ordinal)
                                    : platform.procAddress(library, functionName);
            }
            if (address == 0) {
                return MapFailure::importNotFound;
            }
            block.writeLittle(slot, layout.thunkWidth, address);
        }
    }
}

MapResult mapImage(LoaderPlatform& platform, const void* bytes, std::int32_t length, std::uintptr_t resolver,
                   std::uintptr_t resolverValue, ImageFormat format)
{
    if (bytes == nullptr || length < dosHeaderSize) {
        return {0, MapFailure::inputTooShort};
    }
    const FormatLayout& layout = layoutOf(format);
    const ByteReader input(static_cast<const std::uint8_t*>(bytes), static_cast<std::size_t>(length));
    ImageHeaders headers;
    std::uint64_t workingSize = 0;
    if (const MapFailure failure = readHeaders(input, layout, headers); failure != MapFailure::none) {
        return {0, failure};
    }
    if (const MapFailure failure = measureImage(input, headers, layout, workingSize); failure != MapFailure::none) {
        return {0, failure};
    }
    const auto blockSize = static_cast<std::size_t>(workingSize);
    const std::uintptr_t base = ReserveImageMemory(platform, headers.preferredBase, blockSize);
    if (base == 0) {
        return {0, MapFailure::noMemory};
    }
    BlockGuard guard(platform, base);
    const BlockBytes block(blockPointer(base), blockSize);
    if (const MapFailure failure = copyImage(input, block, headers, layout); failure != MapFailure::none) {
        return {0, failure};
    }
    if (isPositive(headers.relocations.size)) {
        if (const MapFailure failure = ApplyImageRelocations(base, blockSize, headers, format);
            failure != MapFailure::none) {
            return {0, failure};
        }
    }
    if (isPositive(headers.imports.virtualAddress)) {
        if (const MapFailure failure =
                ResolveImageImports(platform, base, blockSize, headers, format, resolver, resolverValue);
            failure != MapFailure::none) {
            return {0, failure};
        }
    }
    if ((headers.characteristics & fileDll) != 0) {
        const std::uintptr_t entry = base + headers.entryPointRva;
        if (!callEntryPoint(platform, entry, dllProcessAttach)) {
            callEntryPoint(platform, entry, dllProcessDetach);
            return {0, MapFailure::entryPointRefusedAttach};
        }
    }
    return {guard.keep(), MapFailure::none};
}

std::uintptr_t MapImageFromMemory(LoaderPlatform& platform, const void* bytes, std::int32_t length,
                                  std::uintptr_t resolver, std::uintptr_t resolverValue)
{
    return mapImage(platform, bytes, length, resolver, resolverValue).base;
}

std::uintptr_t FindImageExport(LoaderPlatform& platform, std::uintptr_t base, const char* name, ImageFormat format)
{
    const auto block = blockAt(platform, base);
    if (!block || name == nullptr) {
        return 0;
    }
    const auto nt = recognisedNtHeaders(*block);
    if (!nt) {
        return 0;
    }
    const FormatLayout& layout = layoutOf(format);
    const auto directory = directoryOffset(layout, *nt, exportDirectoryIndex);
    const auto directoryRva = block->u32(directory);
    const auto directorySize = block->u32(directory + 4);
    if (!directoryRva || !directorySize || *directorySize == 0 || !block->contains(*directoryRva, exportDirectorySize)) {
        return 0;
    }
    const auto field = [&](std::uint64_t offset) -> std::uint64_t { return *block->u32(*directoryRva + offset); };
    const std::uint64_t functions = field(exportAddressOfFunctions);
    const std::uint64_t functionCount = field(exportNumberOfFunctions);
    const std::string_view wanted(name);

    if (const auto ordinal = ordinalOf(wanted)) {
        const std::int64_t index = *ordinal - static_cast<std::int64_t>(field(exportBase));
        if (index < 0 || static_cast<std::uint64_t>(index) >= functionCount) {
            return 0;
        }
        return exportAt(*block, base, functions, static_cast<std::uint64_t>(index));
    }

    const std::uint64_t nameCount = field(exportNumberOfNames);
    if (nameCount == 0) {
        return 0;
    }
    // Only the first name pointer is read: linkers store the names one after another in table order.
    const auto firstName = block->u32(field(exportAddressOfNames));
    if (!firstName) {
        return 0;
    }
    std::uint64_t nameAt = *firstName;
    const std::uint64_t ordinals = field(exportAddressOfNameOrdinals);
    for (std::uint64_t entry = 0; entry < nameCount; ++entry) {
        const auto index = block->u16(ordinals + 2 * entry);
        const auto current = block->text(nameAt);
        if (!index || !current) {
            return 0;
        }
        if (*index < functionCount && *current == wanted) {
            if (const std::uintptr_t address = exportAt(*block, base, functions, *index)) {
                return address;
            }
        }
        nameAt += current->size() + 1;
    }
    return 0;
}

bool UnmapImage(LoaderPlatform& platform, std::uintptr_t base)
{
    const auto block = blockAt(platform, base);
    if (!block) {
        return false;
    }
    const auto nt = recognisedNtHeaders(*block);
    if (!nt) {
        return false;
    }
    const auto characteristics = block->u16(*nt + ntCharacteristics);
    const auto entryPoint = block->u32(*nt + ntEntryPoint);
    // A damaged entry field must not send the detach call outside the image.
    if (characteristics && (*characteristics & fileDll) != 0 && entryPoint && *entryPoint != 0 &&
        *entryPoint < block->size()) {
        callEntryPoint(platform, base + *entryPoint, dllProcessDetach);
    }
    return platform.releaseMemory(base);
}

std::uintptr_t GetImageEntryAddress(LoaderPlatform& platform, std::uintptr_t base)
{
    const auto block = blockAt(platform, base);
    if (!block) {
        return 0;
    }
    const auto ntOffset = block->u32(dosNtHeadersOffset);
    const auto entryPoint = ntOffset ? block->u32(std::uint64_t{*ntOffset} + ntEntryPoint) : std::nullopt;
    return entryPoint ? base + *entryPoint : 0;
}

} // namespace quorvin
