// Fuzz target of the portable INI reader and writer. Beyond not crashing, a write must keep every line it
// does not change, read back what it wrote, leave other keys as they read before, and change nothing
// when the same value is written again.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "settings/ini_format.h"

namespace {

using quorvin::ini::WriteStatus;

void require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "ini_format_fuzz: %s\n", what);
  std::abort();
}

// The file's lines, each with its line end.
std::vector<std::string_view> linesOf(std::string_view file) {
  std::vector<std::string_view> lines;
  while (!file.empty()) {
    const std::size_t newline = file.find('\n');
    const std::size_t length = newline == std::string_view::npos ? file.size() : newline + 1;
    lines.push_back(file.substr(0, length));
    file.remove_prefix(length);
  }
  return lines;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view withoutLineEnd(std::string_view line) {
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

// The old file's lines must all be in the new one, in order, but for the one line a write replaces; the
// last line may have gained a line end; at most a section line, a key line and one line end are added.
void requireOtherLinesKept(std::string_view before, std::string_view after, std::string_view key,
                           std::string_view value) {
  const auto oldLines = linesOf(before);
  const auto newLines = linesOf(after);
  std::size_t prefix = 0;
  while (prefix < oldLines.size() && prefix < newLines.size() && oldLines[prefix] == newLines[prefix]) ++prefix;
  std::size_t suffix = 0;
  while (suffix < oldLines.size() - prefix && suffix < newLines.size() - prefix &&
         oldLines[oldLines.size() - 1 - suffix] == newLines[newLines.size() - 1 - suffix]) {
    ++suffix;
  }
  const std::size_t removed = oldLines.size() - prefix - suffix;
  const std::size_t added = newLines.size() - prefix - suffix;
  require(removed <= 1, "a write changed more than one line");
  require(added <= 2 + removed, "a write added more than two lines");
  if (removed == 0) return;
  const std::string_view oldLine = oldLines[prefix];
  const std::string_view newLine = newLines[prefix];
  const bool lastLineEnded = oldLine.back() != '\n' && newLine.substr(0, oldLine.size()) == oldLine &&
                             withoutLineEnd(newLine) == oldLine;
  if (lastLineEnded) return;
  // The replaced line: the file's own spelling of the key, "=", the value without leading blanks.
  const std::string_view oldText = trimmed(withoutLineEnd(oldLine));
  const std::string_view fileKey = trimmed(oldText.substr(0, oldText.find('=')));
  require(quorvin::ini::namesMatch(fileKey, trimmed(key)), "a write replaced the line of another key");
  std::string_view leadTrimmed = value;
  while (!leadTrimmed.empty() && isBlank(leadTrimmed.front())) leadTrimmed.remove_prefix(1);
  require(withoutLineEnd(newLine) == std::string(fileKey) + "=" + std::string(leadTrimmed),
          "the replaced line is not key=value");
  require(removed == added, "a replaced line came with other new lines");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string section = input.ConsumeRandomLengthString(32);
  const std::string key = input.ConsumeRandomLengthString(32);
  const std::string value = input.ConsumeRandomLengthString(64);
  const std::string otherKey = input.ConsumeRandomLengthString(16);
  const std::string file = input.ConsumeRemainingBytesAsString();

  const quorvin::Text read = quorvin::ini::readValue(file, section, key, value);
  require(read.size() <= quorvin::ini::kMaxValueLength, "a read is longer than the read buffer");
  require(read.find('\0') == std::string::npos, "a read holds a zero byte");

  const quorvin::ini::WriteResult written = quorvin::ini::writeValue(file, section, key, value);
  if (written.status != WriteStatus::written) {
    require(written.file.empty(), "a refused write gave a file");
    return 0;
  }
  requireOtherLinesKept(file, written.file, key, value);

  const std::string alone = "[" + std::string(trimmed(section)) + "]\r\n" + std::string(trimmed(key)) + "=" + value;
  require(quorvin::ini::findValue(written.file, section, key) == quorvin::ini::findValue(alone, section, key),
          "a write does not read back");
  if (!quorvin::ini::namesMatch(trimmed(otherKey), trimmed(key))) {
    require(quorvin::ini::findValue(file, section, otherKey) == quorvin::ini::findValue(written.file, section, otherKey),
            "a write changed another key of its section");
  }
  require(quorvin::ini::writeValue(written.file, section, key, value).file == written.file,
          "writing the same value again changed the file");
  return 0;
}
