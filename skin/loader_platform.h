// The few operating-system services the in-memory module loader needs, behind one narrow interface.
//
//   class quorvin::LoaderPlatform {
//     virtual std::uintptr_t reserveMemory(std::uintptr_t address, std::size_t size);
//     virtual bool releaseMemory(std::uintptr_t base);
//     virtual std::size_t reservedSize(std::uintptr_t base);
//     virtual std::uintptr_t loadLibrary(const char* name);
//     virtual std::uintptr_t procAddress(std::uintptr_t library, const char* name);
//     virtual std::uintptr_t procAddressByOrdinal(std::uintptr_t library, std::uint16_t ordinal);
//     virtual std::uintptr_t callCode(std::uintptr_t code, const CallArguments& arguments);
//   };
//   LoaderPlatform& quorvin::systemLoaderPlatform();   // Windows builds: VirtualAlloc, LoadLibraryA, ...
//
// The product uses the Win32 implementation; tests supply their own (a Linux one that maps real
// code under qemu, and one for the host that never runs mapped code). Only the loader reads PE bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quorvin {

// The ten machine-word arguments a code call receives; the trailing ones a callee does not take are 0.
using CallArguments = std::array<std::uintptr_t, 10>;

class LoaderPlatform {
public:
    virtual ~LoaderPlatform() = default;

    // Reserves and commits `size` bytes of zeroed, readable, writable and executable memory at exactly
    // `address`, or wherever the system likes when `address` is 0. Returns the block's address, 0 when
    // there is no such memory.
    virtual std::uintptr_t reserveMemory(std::uintptr_t address, std::size_t size) = 0;

    // Releases a block that reserveMemory returned; true when it was released.
    virtual bool releaseMemory(std::uintptr_t base) = 0;

    // The length of the block reserved at `base`, 0 when no block starts there. Lets the loader bound
    // every read of a mapped image by the memory that really belongs to it.
    virtual std::size_t reservedSize(std::uintptr_t base) = 0;

    // Loads a library by its zero-terminated name; its handle, or 0.
    virtual std::uintptr_t loadLibrary(const char* name) = 0;

    // The address a library exports under a name or an ordinal, or 0.
    virtual std::uintptr_t procAddress(std::uintptr_t library, const char* name) = 0;
    virtual std::uintptr_t procAddressByOrdinal(std::uintptr_t library, std::uint16_t ordinal) = 0;

    // Calls code with the ten arguments as a Windows API function expects them; the callee's result.
    virtual std::uintptr_t callCode(std::uintptr_t code, const CallArguments& arguments) = 0;
};

#if defined(_WIN32)
// The Win32 implementation: VirtualAlloc, VirtualFree, VirtualQuery, LoadLibraryA, GetProcAddress and
// CallProcAddress. One process-wide object.
LoaderPlatform& systemLoaderPlatform();
#endif

} // namespace quorvin
