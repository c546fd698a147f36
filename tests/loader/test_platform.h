// A loader platform for tests on Linux: blocks come from the heap (exact sizes, so AddressSanitizer
// sees any access past a block) or from mmap (real addresses, executable pages, for the i386 tests
// that run mapped code under qemu). Libraries are a table the test fills in; code calls go to
// `caller`, which either runs the code or stands in for it.
#pragma once

#include "loader_platform.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace quorvin::test {

struct StandInLibrary {
    std::map<std::string, std::uintptr_t> byName;
    std::map<std::uint16_t, std::uintptr_t> byOrdinal;
};

struct RecordedCall {
    std::uintptr_t code;
    CallArguments arguments;
};

class TestPlatform final : public LoaderPlatform {
public:
    enum class Memory { heap, mmap };

    explicit TestPlatform(Memory memory) : memory_(memory) {}
    TestPlatform(const TestPlatform&) = delete;
    TestPlatform& operator=(const TestPlatform&) = delete;
    ~TestPlatform() override;  // releases every block still reserved

    std::uintptr_t reserveMemory(std::uintptr_t address, std::size_t size) override;
    bool releaseMemory(std::uintptr_t base) override;
    std::size_t reservedSize(std::uintptr_t base) override;
    std::uintptr_t loadLibrary(const char* name) override;
    std::uintptr_t procAddress(std::uintptr_t library, const char* name) override;
    std::uintptr_t procAddressByOrdinal(std::uintptr_t library, std::uint16_t ordinal) override;
    std::uintptr_t callCode(std::uintptr_t code, const CallArguments& arguments) override;

    std::size_t liveBlocks() const { return blocks_.size(); }

    // Library names compare without regard to case, as LoadLibraryA does.
    std::map<std::string, StandInLibrary> libraries;
    // Runs or stands in for a code call; when empty, every call returns 1 without running anything.
    std::function<std::uintptr_t(std::uintptr_t, const CallArguments&)> caller;
    // The largest block handed out; larger requests fail as if memory had run out.
    std::size_t largestBlock = 64u << 20;

    std::vector<std::string> librariesLoaded;
    std::vector<std::string> namesAsked;
    std::vector<std::uint16_t> ordinalsAsked;
    std::vector<RecordedCall> calls;
    std::vector<std::uintptr_t> addressesRequested;

private:
    const StandInLibrary* libraryAt(std::uintptr_t handle) const;

    Memory memory_;
    std::map<std::uintptr_t, std::size_t> blocks_;
    std::vector<std::string> handleNames_;
};

} // namespace quorvin::test
