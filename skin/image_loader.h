// The in-memory module loader: maps a DLL image held as bytes, links and starts it, and later finds
// its exports and takes it down, without the system loader.
//
// Public operations (result 0 / false means failure; an image is known only by its base address):
//   std::uintptr_t quorvin::MapImageFromMemory(LoaderPlatform& platform, const void* bytes,
//                                              std::int32_t length, std::uintptr_t resolver = 0,
//                                              std::uintptr_t resolverValue = 0);
//   std::uintptr_t quorvin::FindImageExport(LoaderPlatform& platform, std::uintptr_t base,
//                                           const char* name);
//   bool           quorvin::UnmapImage(LoaderPlatform& platform, std::uintptr_t base);
//   std::uintptr_t quorvin::GetImageEntryAddress(LoaderPlatform& platform, std::uintptr_t base);
//   std::uintptr_t quorvin::CallProcAddress(std::uintptr_t code, std::uintptr_t a1, ... a10);
//                  (call_proc_address.h; builds that run mapped code only)
//
// The resolver, when not 0, is code called as resolver(libraryName, functionName, resolverValue) for
// every import before GetProcAddress; for an import by ordinal functionName is the ordinal in decimal
// digits. It returns the function's address, or 0 to let GetProcAddress decide.
//
// A 32-bit build maps PE32 i386 images without looking at Machine; a 64-bit build maps PE32+ x86-64
// images and refuses any other machine. mapImage() and the Format parameters let tests and the fuzz
// target drive either layout on any build, and report why a load failed.
#pragma once

#include "loader_platform.h"

#include <cstddef>
#include <cstdint>

namespace quorvin {

enum class ImageFormat { pe32I386, pe32PlusX64 };
inline constexpr ImageFormat nativeImageFormat =
    sizeof(void*) == 4 ? ImageFormat::pe32I386 : ImageFormat::pe32PlusX64;

// Why a load failed. The public result is 0 for all of them; tests assert the reason.
enum class MapFailure {
    none,
    inputTooShort,            // fewer than 64 bytes
    noDosSignature,           // no "MZ" at offset 0
    negativeNtHeadersOffset,  // e_lfanew below 0
    ntHeadersPastInput,       // e_lfanew + NT headers beyond the input
    noPeSignature,            // not "PE\0\0" at e_lfanew
    notExecutableImage,       // IMAGE_FILE_EXECUTABLE_IMAGE missing
    foreignMachine,           // 64-bit build: not an x86-64 PE32+ image
    tooManySections,          // NumberOfSections above 32767
    sectionTablePastInput,    // section table beyond the input
    sectionDataPastInput,     // a section's raw data beyond the input
    imageTooLarge,            // the image would need 4 GiB or more
    sizeOfImageZero,          // SizeOfImage 0 after raising
    headersPastImage,         // the headers do not fit the image
    dllWithoutEntryPoint,     // a DLL whose AddressOfEntryPoint is 0
    entryPointOutsideImage,   // a DLL whose entry point lies outside the image
    noMemory,                 // no block at the preferred base nor anywhere else
    relocationBlockTooSmall,  // SizeOfBlock below 8
    relocationOutsideImage,   // a relocation block, entry target or terminator outside the image
    importOutsideImage,       // an import descriptor, thunk or name outside the image
    importNotFound,           // neither the resolver nor GetProcAddress supplied an import
    sectionPastImage,         // a section's raw data would not fit the block
    entryPointRefusedAttach,  // the entry point returned 0 for DLL_PROCESS_ATTACH
};

const char* describe(MapFailure failure);

struct MapResult {
    std::uintptr_t base = 0;
    MapFailure failure = MapFailure::none;
};

// The loader's work in full, with the reason for a failure.
MapResult mapImage(LoaderPlatform& platform, const void* bytes, std::int32_t length, std::uintptr_t resolver,
                   std::uintptr_t resolverValue, ImageFormat format = nativeImageFormat);

std::uintptr_t MapImageFromMemory(LoaderPlatform& platform, const void* bytes, std::int32_t length,
                                  std::uintptr_t resolver = 0, std::uintptr_t resolverValue = 0);

// The export's address, or 0. A name that is the exact decimal text of an integer ("6", "-2") is an
// ordinal; any other text ("06", "+6", " 6") is a name, compared byte for byte.
std::uintptr_t FindImageExport(LoaderPlatform& platform, std::uintptr_t base, const char* name,
                               ImageFormat format = nativeImageFormat);

// Calls a DLL's entry point with DLL_PROCESS_DETACH and releases the block. False, and nothing done,
// when the headers at `base` are no longer "MZ" and "PE\0\0".
bool UnmapImage(LoaderPlatform& platform, std::uintptr_t base);

// base + AddressOfEntryPoint; 0 when the headers cannot be read inside the block.
std::uintptr_t GetImageEntryAddress(LoaderPlatform& platform, std::uintptr_t base);

// The steps of a load, for the record of what each does. `ImageHeaders` holds the header fields the
// loader uses, read one by one from the input.
struct DataDirectory {
    std::uint32_t virtualAddress = 0;
    std::uint32_t size = 0;
};

struct ImageHeaders {
    std::uint32_t ntHeadersOffset = 0;
    std::uint16_t characteristics = 0;
    std::uint16_t numberOfSections = 0;
    std::uint32_t entryPointRva = 0;
    std::uint64_t preferredBase = 0;
    std::uint32_t sectionAlignment = 0;
    std::uint32_t sizeOfImage = 0;
    std::uint64_t headersLength = 0;  // e_lfanew + NT headers + 40 x NumberOfSections
    DataDirectory exports;
    DataDirectory imports;
    DataDirectory relocations;
};

// Reserves the block at the preferred base, else wherever the system chooses; 0 when neither works.
std::uintptr_t ReserveImageMemory(LoaderPlatform& platform, std::uint64_t preferredBase, std::size_t size);

// Adds base − preferred base to every place the relocation directory names.
MapFailure ApplyImageRelocations(std::uintptr_t base, std::size_t blockSize, const ImageHeaders& headers,
                                 ImageFormat format);

// Loads the imported libraries and fills the import address tables.
MapFailure ResolveImageImports(LoaderPlatform& platform, std::uintptr_t base, std::size_t blockSize,
                               const ImageHeaders& headers, ImageFormat format, std::uintptr_t resolver,
                               std::uintptr_t resolverValue);

} // namespace quorvin
