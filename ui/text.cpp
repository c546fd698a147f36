#include "ui/text.h"

#include <cstdio>

namespace quorvin {

int compareText(std::string_view a, std::string_view b) noexcept {
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < common; ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

Text integerToText(std::int32_t value) {
  char digits[16];
  const int length = std::snprintf(digits, sizeof digits, "%d", static_cast<int>(value));
  return Text(digits, static_cast<std::size_t>(length));
}

}  // namespace quorvin
