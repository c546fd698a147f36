#include "call_proc_address.h"
#include "loader_platform.h"

#include <windows.h>

namespace quorvin {
namespace {

class Win32LoaderPlatform final : public LoaderPlatform {
public:
    std::uintptr_t reserveMemory(std::uintptr_t address, std::size_t size) override
    {
        return reinterpret_cast<std::uintptr_t>(VirtualAlloc(reinterpret_cast<void*>(address), size,
                                                             MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
    }

    bool releaseMemory(std::uintptr_t base) override
    {
        return VirtualFree(reinterpret_cast<void*>(base), 0, MEM_RELEASE) != 0;
    }

    // The regions that share the allocation started at `base`; the mapped code may have changed the
    // protection of some pages, which splits the block into several regions.
    std::size_t reservedSize(std::uintptr_t base) override
    {
        std::size_t total = 0;
        MEMORY_BASIC_INFORMATION region{};
        while (VirtualQuery(reinterpret_cast<const void*>(base + total), &region, sizeof region) == sizeof region &&
               region.State != MEM_FREE && reinterpret_cast<std::uintptr_t>(region.AllocationBase) == base) {
            total += region.RegionSize;
        }
        return total;
    }

    std::uintptr_t loadLibrary(const char* name) override
    {
        return reinterpret_cast<std::uintptr_t>(LoadLibraryA(name));
    }

    std::uintptr_t procAddress(std::uintptr_t library, const char* name) override
    {
        return reinterpret_cast<std::uintptr_t>(GetProcAddress(reinterpret_cast<HMODULE>(library), name));
    }

    std::uintptr_t procAddressByOrdinal(std::uintptr_t library, std::uint16_t ordinal) override
    {
        return reinterpret_cast<std::uintptr_t>(
            GetProcAddress(reinterpret_cast<HMODULE>(library), MAKEINTRESOURCEA(ordinal)));
    }

    std::uintptr_t callCode(std::uintptr_t code, const CallArguments& a) override
    {
        return CallProcAddress(code, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9]);
    }
};

} // namespace

LoaderPlatform& systemLoaderPlatform()
{
    static Win32LoaderPlatform platform;
    return platform;
}

} // namespace quorvin
