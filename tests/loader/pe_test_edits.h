// Small edits of test images, for the cases that need a damaged or altered image. The offsets are
// worked out here from the PE layout, independently of the loader's own reader.
#pragma once

#include "image_loader.h"

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace quorvin::test {

class PeEdit {
public:
    PeEdit(std::vector<std::uint8_t>& bytes, ImageFormat format) : bytes_(bytes), format_(format) {}

    std::uint32_t get32(std::size_t offset) const
    {
        std::uint32_t value = 0;
        std::memcpy(&value, bytes_.data() + offset, 4);
        return value;
    }
    std::uint16_t get16(std::size_t offset) const
    {
        std::uint16_t value = 0;
        std::memcpy(&value, bytes_.data() + offset, 2);
        return value;
    }
    void put32(std::size_t offset, std::uint32_t value) { std::memcpy(bytes_.data() + offset, &value, 4); }
    void put16(std::size_t offset, std::uint16_t value) { std::memcpy(bytes_.data() + offset, &value, 2); }

    bool isX64() const { return format_ == ImageFormat::pe32PlusX64; }
    std::size_t nt() const { return get32(60); }
    std::size_t machine() const { return nt() + 4; }
    std::size_t numberOfSections() const { return nt() + 6; }
    std::size_t characteristics() const { return nt() + 22; }
    std::size_t entryPoint() const { return nt() + 40; }
    std::size_t sectionAlignment() const { return nt() + 56; }
    std::size_t sizeOfImage() const { return nt() + 80; }
    std::size_t directory(int index) const { return nt() + (isX64() ? 136u : 120u) + 8u * static_cast<unsigned>(index); }
    std::size_t section(int index) const { return nt() + (isX64() ? 264u : 248u) + 40u * static_cast<unsigned>(index); }
    std::size_t sectionCount() const { return get16(numberOfSections()); }

    // The file offset of an RVA, through the section table.
    std::size_t fileOffset(std::uint32_t rva) const
    {
        for (std::size_t index = 0; index < sectionCount(); ++index) {
            const std::size_t at = section(static_cast<int>(index));
            const std::uint32_t start = get32(at + 12);
            const std::uint32_t size = get32(at + 16);
            if (rva >= start && rva < start + size) {
                return get32(at + 20) + (rva - start);
            }
        }
        return 0;
    }

    // Zeroes OriginalFirstThunk in every import descriptor: the image then links through FirstThunk.
    void clearOriginalFirstThunks()
    {
        for (std::size_t at = fileOffset(get32(directory(1))); get32(at + 16) != 0; at += 20) {
            put32(at, 0);
        }
    }

    // Replaces the first occurrence of `from` by `to`, which has the same length; false when absent.
    bool replaceText(std::string_view from, std::string_view to)
    {
        const std::string_view all(reinterpret_cast<const char*>(bytes_.data()), bytes_.size());
        const std::size_t at = all.find(from);
        if (at == std::string_view::npos || from.size() != to.size()) {
            return false;
        }
        std::memcpy(bytes_.data() + at, to.data(), to.size());
        return true;
    }

private:
    std::vector<std::uint8_t>& bytes_;
    ImageFormat format_;
};

} // namespace quorvin::test
