// Bounded little-endian access to PE bytes: the input image and the mapped block.
//
// Every read names an offset and a width and is checked against the span first, in 64-bit arithmetic
// so that no sum of 32-bit fields can wrap around. A read that does not fit gives std::nullopt;
// nothing is ever cast onto untrusted bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

namespace quorvin {

class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t size() const { return size_; }
    const std::uint8_t* data() const { return data_; }

    // True when [offset, offset + length) lies inside the span.
    bool contains(std::uint64_t offset, std::uint64_t length) const
    {
        return offset <= size_ && length <= size_ - offset;
    }

    std::optional<std::uint16_t> u16(std::uint64_t offset) const
    {
        const auto value = little(offset, 2);
        return value ? std::optional<std::uint16_t>(static_cast<std::uint16_t>(*value)) : std::nullopt;
    }
    std::optional<std::uint32_t> u32(std::uint64_t offset) const
    {
        const auto value = little(offset, 4);
        return value ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*value)) : std::nullopt;
    }
    std::optional<std::uint64_t> u64(std::uint64_t offset) const { return little(offset, 8); }

    // An unsigned field of 2, 4 or 8 bytes, widened.
    std::optional<std::uint64_t> little(std::uint64_t offset, unsigned width) const
    {
        if (!contains(offset, width)) {
            return std::nullopt;
        }
        std::uint64_t value = 0;
        for (unsigned i = width; i-- > 0;) {
            value = (value << 8) | data_[offset + i];
        }
        return value;
    }

    // The zero-terminated text at `offset`, without its terminator; nullopt when the terminator is
    // not inside the span.
    std::optional<std::string_view> text(std::uint64_t offset) const
    {
        if (offset >= size_) {
            return std::nullopt;
        }
        const auto* start = data_ + offset;
        const auto* end = static_cast<const std::uint8_t*>(std::memchr(start, 0, size_ - static_cast<std::size_t>(offset)));
        if (end == nullptr) {
            return std::nullopt;
        }
        return std::string_view(reinterpret_cast<const char*>(start), static_cast<std::size_t>(end - start));
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// The mapped block: the same bounded reads, plus bounded writes.
class BlockBytes : public ByteReader {
public:
    BlockBytes(std::uint8_t* data, std::size_t size) : ByteReader(data, size), writable_(data) {}

    std::uint8_t* writable() const { return writable_; }

    bool writeLittle(std::uint64_t offset, unsigned width, std::uint64_t value) const
    {
        if (!contains(offset, width)) {
            return false;
        }
        for (unsigned i = 0; i < width; ++i) {
            writable_[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
        }
        return true;
    }

    bool copyIn(std::uint64_t offset, const std::uint8_t* source, std::uint64_t length) const
    {
        if (!contains(offset, length)) {
            return false;
        }
        if (length > 0) {
            std::memcpy(writable_ + offset, source, static_cast<std::size_t>(length));
        }
        return true;
    }

private:
    std::uint8_t* writable_;
};

} // namespace quorvin
