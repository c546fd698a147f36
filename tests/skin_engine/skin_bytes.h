// Builds ".SHE" skin bytes for the tests: a header, then typed entries, with the checksum filled in
// (unless a test asks for a wrong one).
#pragma once

#include <cstdint>
#include <vector>

#include "skin_format.h"

namespace skin_test {

class SkinBytes {
 public:
  SkinBytes& color(std::uint16_t id, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return entry(skinh::kEntryColor, id, {r, g, b, 0});
  }
  SkinBytes& metric(std::uint16_t id, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    return entry(skinh::kEntryMetric, id,
                 {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
                  static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)});
  }
  SkinBytes& entry(std::uint16_t type, std::uint16_t id, std::vector<std::uint8_t> payload) {
    put16(body_, type);
    put16(body_, id);
    put32(body_, static_cast<std::uint32_t>(payload.size()));
    body_.insert(body_.end(), payload.begin(), payload.end());
    ++count_;
    return *this;
  }

  std::vector<std::uint8_t> bytes() const {
    std::vector<std::uint8_t> out = {0x2E, 0x53, 0x48, 0x45};
    put16(out, 1);
    put16(out, 0);
    put32(out, skinh::kSkinHeaderSize);
    put32(out, static_cast<std::uint32_t>(skinh::kSkinHeaderSize + body_.size()));
    put32(out, count_);
    put32(out, skinh::skinChecksum(body_.data(), body_.size()));
    out.insert(out.end(), body_.begin(), body_.end());
    return out;
  }

  // Sets a 32-bit header field and recomputes nothing, for malformed-header cases.
  static void set32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
  // Puts the right checksum back after a test edited the entries.
  static void reseal(std::vector<std::uint8_t>& bytes) {
    set32(bytes, 20, skinh::skinChecksum(bytes.data() + skinh::kSkinHeaderSize, bytes.size() - skinh::kSkinHeaderSize));
  }

 private:
  static void put16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
  }
  static void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }

  std::vector<std::uint8_t> body_;
  std::uint32_t count_ = 0;
};

}  // namespace skin_test
