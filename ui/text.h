// Texts of the program: byte strings in code page 936, compared and converted without any locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvin {

// A text is a byte string in code page 936. An absent text and the empty text are the same.
using Text = std::string;

// Byte-by-byte comparison as unsigned values, case-sensitive: negative, zero or positive.
int compareText(std::string_view a, std::string_view b) noexcept;

// Decimal, with "-" before a negative value, no padding and no grouping (the "%d" format).
Text integerToText(std::int32_t value);

}  // namespace quorvin
