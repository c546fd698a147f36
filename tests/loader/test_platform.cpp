#include "test_platform.h"

#include <sys/mman.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace quorvin::test {
namespace {

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::uintptr_t mapPages(std::uintptr_t address, std::size_t size)
{
    const int flags = MAP_PRIVATE | MAP_ANONYMOUS | (address != 0 ? MAP_FIXED_NOREPLACE : 0);
    void* block = mmap(reinterpret_cast<void*>(address), size, PROT_READ | PROT_WRITE | PROT_EXEC, flags, -1, 0);
    if (block == MAP_FAILED) {
        return 0;
    }
    // Some kernels and qemu take MAP_FIXED_NOREPLACE as a mere hint: a block elsewhere is no block at
    // the address asked for.
    if (address != 0 && reinterpret_cast<std::uintptr_t>(block) != address) {
        munmap(block, size);
        return 0;
    }
    return reinterpret_cast<std::uintptr_t>(block);
}

} // namespace

TestPlatform::~TestPlatform()
{
    while (!blocks_.empty()) {
        releaseMemory(blocks_.begin()->first);
    }
}

std::uintptr_t TestPlatform::reserveMemory(std::uintptr_t address, std::size_t size)
{
    addressesRequested.push_back(address);
    if (size == 0 || size > largestBlock) {
        return 0;
    }
    std::uintptr_t base = 0;
    if (memory_ == Memory::mmap) {
        base = mapPages(address, size);
    } else if (address == 0) {
        // The heap cannot place a block at a given address, so a preferred base is always "taken".
        base = reinterpret_cast<std::uintptr_t>(std::calloc(size, 1));
    }
    if (base != 0) {
        blocks_[base] = size;
    }
    return base;
}

bool TestPlatform::releaseMemory(std::uintptr_t base)
{
    const auto block = blocks_.find(base);
    if (block == blocks_.end()) {
        return false;
    }
    if (memory_ == Memory::mmap) {
        munmap(reinterpret_cast<void*>(base), block->second);
    } else {
        std::free(reinterpret_cast<void*>(base));
    }
    blocks_.erase(block);
    return true;
}

std::size_t TestPlatform::reservedSize(std::uintptr_t base)
{
    const auto block = blocks_.find(base);
    return block == blocks_.end() ? 0 : block->second;
}

std::uintptr_t TestPlatform::loadLibrary(const char* name)
{
    const std::string key = lowerCase(name);
    librariesLoaded.push_back(name);
    if (libraries.find(key) == libraries.end()) {
        return 0;
    }
    handleNames_.push_back(key);
    return handleNames_.size();  // handles 1, 2, ...
}

const StandInLibrary* TestPlatform::libraryAt(std::uintptr_t handle) const
{
    if (handle == 0 || handle > handleNames_.size()) {
        return nullptr;
    }
    return &libraries.at(handleNames_[handle - 1]);
}

std::uintptr_t TestPlatform::procAddress(std::uintptr_t library, const char* name)
{
    namesAsked.push_back(name);
    const StandInLibrary* found = libraryAt(library);
    if (found == nullptr) {
        return 0;
    }
    const auto function = found->byName.find(name);
    return function == found->byName.end() ? 0 : function->second;
}

std::uintptr_t TestPlatform::procAddressByOrdinal(std::uintptr_t library, std::uint16_t ordinal)
{
    ordinalsAsked.push_back(ordinal);
    const StandInLibrary* found = libraryAt(library);
    if (found == nullptr) {
        return 0;
    }
    const auto function = found->byOrdinal.find(ordinal);
    return function == found->byOrdinal.end() ? 0 : function->second;
}

std::uintptr_t TestPlatform::callCode(std::uintptr_t code, const CallArguments& arguments)
{
    calls.push_back({code, arguments});
    return caller ? caller(code, arguments) : 1;
}

} // namespace quorvin::test
