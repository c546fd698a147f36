#include "settings/ini_format.h"

#include <vector>

namespace quorvin::ini {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool isBlank(char c) noexcept {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view trimBlanks(std::string_view text) noexcept {
  std::size_t first = 0;
  while (first < text.size() && isBlank(text[first])) ++first;
  std::size_t last = text.size();
  while (last > first && isBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

std::string_view trimLeadingBlanks(std::string_view text) noexcept {
  std::size_t first = 0;
  while (first < text.size() && isBlank(text[first])) ++first;
  return text.substr(first);
}

// Code page 936: a lead byte 81..FE followed by a trail byte 40..7E or 80..FE makes one character.
bool isLeadByte(unsigned char c) noexcept { return c >= 0x81 && c <= 0xFE; }
bool isTrailByte(unsigned char c) noexcept { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

// Length in bytes of the character starting at `at`: 2 for a whole double-byte character, else 1.
std::size_t characterLength(std::string_view text, std::size_t at) noexcept {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (isLeadByte(lead) && at + 1 < text.size() && isTrailByte(static_cast<unsigned char>(text[at + 1]))) {
    return 2;
  }
  return 1;
}

// Position of the first single-byte `wanted` that is not the second byte of a double-byte character.
std::size_t findSingleByte(std::string_view text, char wanted) noexcept {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = characterLength(text, at);
    if (length == 1 && text[at] == wanted) return at;
    at += length;
  }
  return std::string_view::npos;
}

char foldAscii(char c) noexcept { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// One line of the file: [begin, contentEnd) is its text, [contentEnd, end) its line end ("\n", "\r\n"
// or nothing on a last line without one).
struct LineSpan {
  std::size_t begin = 0;
  std::size_t contentEnd = 0;
  std::size_t end = 0;
};

enum class LineKind { blank, comment, section, entry };

struct Line {
  LineSpan span;
  LineKind kind = LineKind::blank;
  std::string_view name;   // section name, or key name of an entry
  std::string_view value;  // value of an entry, blanks removed
  bool hasEquals = false;  // an entry without "=" names no key a read can find
};

std::vector<LineSpan> splitLines(std::string_view file) {
  std::vector<LineSpan> lines;
  std::size_t begin = 0;
  while (begin < file.size()) {
    const std::size_t newline = file.find('\n', begin);
    LineSpan line;
    line.begin = begin;
    if (newline == std::string_view::npos) {
      line.contentEnd = file.size();
      line.end = file.size();
    } else {
      line.contentEnd = (newline > begin && file[newline - 1] == '\r') ? newline - 1 : newline;
      line.end = newline + 1;
    }
    lines.push_back(line);
    begin = line.end;
  }
  return lines;
}

Line classify(std::string_view file, LineSpan span) {
  Line line;
  line.span = span;
  const std::string_view text = trimBlanks(file.substr(span.begin, span.contentEnd - span.begin));
  if (text.empty()) return line;
  if (text.front() == ';') {
    line.kind = LineKind::comment;
    return line;
  }
  if (text.front() == '[') {
    line.kind = LineKind::section;
    const std::string_view inside = text.substr(1);
    line.name = trimBlanks(inside.substr(0, findSingleByte(inside, ']')));
    return line;
  }
  line.kind = LineKind::entry;
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) {
    line.name = text;
    return line;
  }
  line.hasEquals = true;
  line.name = trimBlanks(text.substr(0, equals));
  line.value = trimBlanks(text.substr(equals + 1));
  return line;
}

std::vector<Line> parseLines(std::string_view file) {
  std::vector<Line> lines;
  for (const LineSpan& span : splitLines(file)) lines.push_back(classify(file, span));
  return lines;
}

// The lines of the first section of that name: [header, end) with `header` the section's own line.
struct SectionRange {
  std::size_t header = 0;
  std::size_t end = 0;
};

std::optional<SectionRange> findSection(const std::vector<Line>& lines, std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind != LineKind::section || !namesMatch(lines[i].name, section)) continue;
    SectionRange range{i, i + 1};
    while (range.end < lines.size() && lines[range.end].kind != LineKind::section) ++range.end;
    return range;
  }
  return std::nullopt;
}

// A line without "=" names a key that a read does not find but a write replaces.
enum class KeyLines { withEquals, all };

std::optional<std::size_t> findKeyLine(const std::vector<Line>& lines, SectionRange range, std::string_view key,
                                       KeyLines which) {
  for (std::size_t i = range.header + 1; i < range.end; ++i) {
    const Line& line = lines[i];
    if (line.kind != LineKind::entry || (which == KeyLines::withEquals && !line.hasEquals)) continue;
    if (namesMatch(line.name, key)) return i;
  }
  return std::nullopt;
}

std::string_view stripMatchingQuotes(std::string_view value) noexcept {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// The buffer holds a zero-terminated string of at most kMaxValueLength bytes. A double-byte character
// that does not fit whole is left out, so no text ends in half a character.
Text asReadBuffer(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  if (text.size() <= kMaxValueLength) return Text(text);
  std::size_t fits = 0;
  while (fits < kMaxValueLength) {
    const std::size_t length = characterLength(text, fits);
    if (fits + length > kMaxValueLength) break;
    fits += length;
  }
  return Text(text.substr(0, fits));
}

bool holdsLineBreakOrZero(std::string_view text) noexcept {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// A lead byte at the end of a section name would pair with the "]" after it and hide the name's end.
bool endsInLeadByte(std::string_view text) noexcept {
  std::size_t at = 0;
  while (at < text.size() && at + characterLength(text, at) < text.size()) at += characterLength(text, at);
  return at < text.size() && characterLength(text, at) == 1 && isLeadByte(static_cast<unsigned char>(text[at]));
}

WriteStatus validate(std::string_view section, std::string_view key, std::string_view value) {
  if (section.empty() || holdsLineBreakOrZero(section) || findSingleByte(section, ']') != std::string_view::npos ||
      endsInLeadByte(section)) {
    return WriteStatus::invalidSection;
  }
  if (key.empty() || key.front() == '[' || key.front() == ';' || holdsLineBreakOrZero(key) ||
      key.find('=') != std::string_view::npos) {
    return WriteStatus::invalidKey;
  }
  if (holdsLineBreakOrZero(value)) return WriteStatus::invalidValue;
  return WriteStatus::written;
}

Text keyLine(std::string_view key, std::string_view value) {
  Text line(key);
  line += '=';
  line += value;
  return line;
}

// Inserts whole lines after the line `after`, giving that line a line end first when it has none.
Text insertAfter(std::string_view file, const LineSpan& after, std::string_view newLines) {
  Text result(file.substr(0, after.end));
  if (after.end == after.contentEnd) result += kLineEnd;
  result += newLines;
  result += file.substr(after.end);
  return result;
}

Text appendSection(std::string_view file, std::string_view section, std::string_view entry) {
  Text result(file);
  if (!result.empty() && result.back() != '\n') result += kLineEnd;
  result += '[';
  result += section;
  result += ']';
  result += kLineEnd;
  result += entry;
  result += kLineEnd;
  return result;
}

Text replaceLineText(std::string_view file, const LineSpan& span, std::string_view text) {
  Text result(file.substr(0, span.begin));
  result += text;
  result += file.substr(span.contentEnd);
  return result;
}

// A new key goes after the section's last key line, before any blank or comment lines that close it.
std::size_t lastKeyLineOf(const std::vector<Line>& lines, SectionRange range) {
  std::size_t last = range.header;
  for (std::size_t i = range.header + 1; i < range.end; ++i) {
    if (lines[i].kind == LineKind::entry) last = i;
  }
  return last;
}

}  // namespace

bool namesMatch(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (std::size_t at = 0; at < a.size();) {
    const std::size_t length = characterLength(a, at);
    if (length == 2) {
      if (a[at] != b[at] || a[at + 1] != b[at + 1]) return false;
    } else if (foldAscii(a[at]) != foldAscii(b[at])) {
      return false;
    }
    at += length;
  }
  return true;
}

std::optional<Text> findValue(std::string_view file, std::string_view section, std::string_view key) {
  const std::vector<Line> lines = parseLines(file);
  const auto range = findSection(lines, trimBlanks(section));
  if (!range) return std::nullopt;
  const auto keyAt = findKeyLine(lines, *range, trimBlanks(key), KeyLines::withEquals);
  if (!keyAt) return std::nullopt;
  return Text(stripMatchingQuotes(lines[*keyAt].value));
}

Text readValue(std::string_view file, std::string_view section, std::string_view key,
               std::string_view defaultValue) {
  if (const auto found = findValue(file, section, key)) return asReadBuffer(*found);
  defaultValue = defaultValue.substr(0, defaultValue.find('\0'));
  while (!defaultValue.empty() && defaultValue.back() == ' ') defaultValue.remove_suffix(1);
  return asReadBuffer(defaultValue);
}

WriteResult writeValue(std::string_view file, std::string_view section, std::string_view key,
                       std::string_view value) {
  section = trimBlanks(section);
  key = trimBlanks(key);
  value = trimLeadingBlanks(value);
  WriteResult result;
  result.status = validate(section, key, value);
  if (result.status != WriteStatus::written) return result;

  const std::vector<Line> lines = parseLines(file);
  const auto range = findSection(lines, section);
  if (!range) {
    result.file = appendSection(file, section, keyLine(key, value));
    return result;
  }
  if (const auto keyAt = findKeyLine(lines, *range, key, KeyLines::all)) {
    // The key keeps the spelling the file gives it.
    const Line& line = lines[*keyAt];
    result.file = replaceLineText(file, line.span, keyLine(line.name, value));
    return result;
  }
  const LineSpan& after = lines[lastKeyLineOf(lines, *range)].span;
  Text newLine = keyLine(key, value);
  newLine += kLineEnd;
  result.file = insertAfter(file, after, newLine);
  return result;
}

}  // namespace quorvin::ini
