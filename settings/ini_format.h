// The private-profile (INI) format over a file's bytes, for hosts that have no private-profile functions.
// Reading and writing follow what Windows does with the files people really have: CRLF or LF line ends,
// blanks around names and "=", comment lines starting with ";", names matched without regard to ASCII
// letter case, a section or a key that appears twice (the first one counts), quoted values and code page
// 936 texts. The writer never reorders or loses a line it does not change.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "settings/settings_store.h"
#include "ui/text.h"

namespace quorvin::ini {

// The longest value a read gives back: the read buffer less its terminating zero.
inline constexpr std::size_t kMaxValueLength = kReadBufferSize - 1;

// Names compare equal when they differ only in ASCII letter case. The second byte of a double-byte
// 936 character is never folded, even when it looks like an ASCII letter.
bool namesMatch(std::string_view a, std::string_view b) noexcept;

// The key's value in the first section of that name, blanks around it removed and one pair of matching
// surrounding quotes stripped; nothing when the section or the key is missing. Not cut to any length.
std::optional<Text> findValue(std::string_view file, std::string_view section, std::string_view key);

// What the private-profile reader leaves in a buffer of kReadBufferSize bytes: the key's value, or else
// the default with its trailing spaces removed; cut at a zero byte and to kMaxValueLength bytes, less
// one when the cut would split a double-byte character.
Text readValue(std::string_view file, std::string_view section, std::string_view key,
               std::string_view defaultValue);

enum class WriteStatus {
  written,
  invalidSection,  // empty, holds a line break, a zero byte or "]", or ends in a lone lead byte
  invalidKey,      // empty, starts with "[" or ";", or holds a line break, a zero byte or "="
  invalidValue,    // holds a line break or a zero byte
};

struct WriteResult {
  WriteStatus status = WriteStatus::written;
  Text file;  // the file's new bytes; empty unless status is written
};

// The file's bytes after storing the value under the key. The first line of the key in the first section
// of that name is replaced in place (a line of the key's name without "=" too); a new key goes after the last key line of the section; a new
// section goes at the end of the file. New lines end in CRLF. Blanks around the names and at the start of
// the value are not written.
WriteResult writeValue(std::string_view file, std::string_view section, std::string_view key,
                       std::string_view value);

}  // namespace quorvin::ini
