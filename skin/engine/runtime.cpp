// The few C library functions the compiler may emit calls to. The engine links no C runtime: it is
// started by our own loader, with a module handle of 0 and no TLS callbacks, so nothing may depend on a
// runtime's start-up. This file is built with -fno-tree-loop-distribute-patterns, so that these loops are
// not turned back into calls to themselves.
#include <cstddef>

extern "C" {

void* memset(void* destination, int value, std::size_t count) {
  unsigned char* out = static_cast<unsigned char*>(destination);
  for (std::size_t i = 0; i < count; ++i) out[i] = static_cast<unsigned char>(value);
  return destination;
}

void* memcpy(void* destination, const void* source, std::size_t count) {
  unsigned char* out = static_cast<unsigned char*>(destination);
  const unsigned char* in = static_cast<const unsigned char*>(source);
  for (std::size_t i = 0; i < count; ++i) out[i] = in[i];
  return destination;
}

void* memmove(void* destination, const void* source, std::size_t count) {
  unsigned char* out = static_cast<unsigned char*>(destination);
  const unsigned char* in = static_cast<const unsigned char*>(source);
  if (out < in) {
    for (std::size_t i = 0; i < count; ++i) out[i] = in[i];
  } else {
    for (std::size_t i = count; i > 0; --i) out[i - 1] = in[i - 1];
  }
  return destination;
}

int memcmp(const void* left, const void* right, std::size_t count) {
  const unsigned char* a = static_cast<const unsigned char*>(left);
  const unsigned char* b = static_cast<const unsigned char*>(right);
  for (std::size_t i = 0; i < count; ++i) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}

}  // extern "C"
