// The two constant data blocks the program carries: the skin engine's DLL image and the built-in skin.
// Each is stored as a 32-bit count (1), a 32-bit length, then the bytes; both are generated at build
// time from the built engine DLL and the skin source.
#pragma once

#include <cstdint>

namespace quorvin {

struct DataBlockView {
  const unsigned char* bytes;
  std::uint32_t length;
};

DataBlockView skinEngineImage();
DataBlockView builtInSkin();

}  // namespace quorvin
