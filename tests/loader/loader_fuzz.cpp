// libFuzzer target: arbitrary bytes through mapImage in both layouts and, when an image maps, through
// FindImageExport, GetImageEntryAddress and UnmapImage. Blocks come from the heap at their exact size,
// so AddressSanitizer sees any access past a block; no mapped code ever runs (entry points and the
// resolver are stand-ins that look at their arguments and answer).
#include "image_loader.h"
#include "test_platform.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

using quorvin::CallArguments;
using quorvin::ImageFormat;

constexpr std::uintptr_t resolverCode = 0x7E50;

// The resolver's texts must be zero-terminated and readable; strlen lets ASan check that.
std::uintptr_t standInCall(std::uintptr_t code, const CallArguments& arguments)
{
    if (code != resolverCode) {
        return 1;  // every entry point accepts
    }
    const std::size_t library = std::strlen(reinterpret_cast<const char*>(arguments[0]));
    const std::size_t function = std::strlen(reinterpret_cast<const char*>(arguments[1]));
    // Answer for some imports and leave the others to the stand-in GetProcAddress.
    return (library + function) % 2 == 0 ? 0x1000 + function : 0;
}

void exercise(const std::uint8_t* data, std::size_t size, ImageFormat format)
{
    quorvin::test::TestPlatform platform(quorvin::test::TestPlatform::Memory::heap);
    platform.libraries["qvtestlib.dll"] = {{{"qv_add", 0x1111}, {"qv_record_entry", 0x2222}}, {{17, 0x1717}}};
    platform.libraries["kernel32.dll"] = {{{"GetTickCount", 0x3333}, {"GetCurrentProcessId", 0x4444}}, {}};
    platform.caller = standInCall;
    platform.largestBlock = 2u << 20;  // the test images need under 200 KB

    const bool withResolver = size > 0 && (data[size - 1] & 1) != 0;
    const auto length = static_cast<std::int32_t>(size);
    const quorvin::MapResult result =
        quorvin::mapImage(platform, data, length, withResolver ? resolverCode : 0, 0x5EED, format);
    if (result.base == 0) {
        if (platform.liveBlocks() != 0) {
            __builtin_trap();  // a failed load must release its block
        }
        return;
    }
    // Names from the image's own tail as well as fixed ones, so that matching names get found.
    const std::string tail(reinterpret_cast<const char*>(data) + (size > 24 ? size - 24 : 0), size > 24 ? 24 : size);
    for (const char* name : {"qv_sum", "qv_attach", "6", "1", "7", "-1", "06", "", tail.c_str()}) {
        const std::uintptr_t address = quorvin::FindImageExport(platform, result.base, name, format);
        if (address != 0 && (address <= result.base || address >= result.base + platform.reservedSize(result.base))) {
            __builtin_trap();  // an export must lie inside its image
        }
    }
    quorvin::GetImageEntryAddress(platform, result.base);
    // Relocations or import slots may have overwritten the image's own headers, and then the image is
    // rightly not recognised; the platform releases it. When it is unmapped, nothing may stay behind.
    if (quorvin::UnmapImage(platform, result.base) && platform.liveBlocks() != 0) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (4u << 20)) {
        return 0;
    }
    exercise(data, size, ImageFormat::pe32I386);
    exercise(data, size, ImageFormat::pe32PlusX64);
    return 0;
}
