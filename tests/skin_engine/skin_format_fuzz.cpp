// libFuzzer target: any bytes handed to the skin reader are read within bounds and, when refused, leave
// the theme as it was. Each input is also tried with its checksum made right, so that the fuzzer gets
// past the checksum into the entries.
#include <cstdint>
#include <cstring>
#include <vector>

#include "skin_format.h"

namespace {

void readAndCheck(const std::uint8_t* data, std::size_t size) {
  skinh::SkinTheme theme;
  skinh::loadDefaultTheme(theme);
  const skinh::SkinTheme before = theme;
  if (skinh::parseSkin(data, static_cast<std::int64_t>(size), theme) != skinh::SkinError::None &&
      std::memcmp(&theme, &before, sizeof theme) != 0) {
    __builtin_trap();
  }
}

std::uint32_t readU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  readAndCheck(data, size);
  if (size < skinh::kSkinHeaderSize) return 0;
  std::vector<std::uint8_t> sealed(data, data + size);
  const std::uint32_t headerSize = readU32(sealed.data() + 8);
  if (headerSize < skinh::kSkinHeaderSize || headerSize > size) return 0;
  const std::uint32_t checksum = skinh::skinChecksum(sealed.data() + headerSize, size - headerSize);
  for (std::size_t i = 0; i < 4; ++i) sealed[20 + i] = static_cast<std::uint8_t>(checksum >> (8 * i));
  readAndCheck(sealed.data(), sealed.size());
  return 0;
}
