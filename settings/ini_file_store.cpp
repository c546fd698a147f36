#include "settings/ini_file_store.h"

#include <atomic>
#include <fstream>
#include <optional>
#include <random>
#include <system_error>
#include <utility>

#include "settings/ini_format.h"

namespace quorvin {
namespace {

namespace fs = std::filesystem;

// Keys and values reach the store as the private-profile functions see them: zero-terminated strings.
std::string_view upToZero(std::string_view text) noexcept { return text.substr(0, text.find('\0')); }

enum class FileState { missing, regularFile, other };

FileState stateOf(const fs::path& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (status.type() == fs::file_type::not_found) return FileState::missing;
  if (error) return FileState::other;
  return fs::is_regular_file(status) ? FileState::regularFile : FileState::other;
}

// The whole file, or nothing when it cannot be read to its end.
std::optional<Text> readWholeFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  Text bytes;
  char chunk[8192];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) return std::nullopt;
  return bytes;
}

// The file's bytes as a write starts from them: empty when the file is missing; nothing when the path
// names something a write must not replace (a folder) or the file cannot be read.
std::optional<Text> readForRewrite(const fs::path& path) {
  switch (stateOf(path)) {
    case FileState::missing:
      return Text();
    case FileState::regularFile:
      return readWholeFile(path);
    case FileState::other:
      break;
  }
  return std::nullopt;
}

fs::path temporaryPathBeside(const fs::path& path) {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  fs::path temporary = path;
  temporary += ".~" + std::to_string(random()) + "-" + std::to_string(counter.fetch_add(1)) + ".tmp";
  return temporary;
}

bool writeWholeFile(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

// Writes the bytes to a temporary file beside the target and moves it over the target.
bool replaceFile(const fs::path& path, std::string_view bytes) {
  const fs::path temporary = temporaryPathBeside(path);
  std::error_code error;
  if (writeWholeFile(temporary, bytes)) {
    fs::rename(temporary, path, error);
    if (!error) return true;
  }
  fs::remove(temporary, error);
  return false;
}

}  // namespace

IniFileStore::IniFileStore(std::filesystem::path path, std::string section)
    : path_(std::move(path)), section_(std::move(section)) {}

Text IniFileStore::readSetting(std::string_view key, std::string_view defaultValue) {
  std::optional<Text> bytes;
  if (stateOf(path_) == FileState::regularFile) bytes = readWholeFile(path_);
  // A file that is missing or cannot be read reads like an empty one: every key gives the default.
  return ini::readValue(bytes ? *bytes : Text(), section_, upToZero(key), defaultValue);
}

bool IniFileStore::writeSetting(std::string_view key, std::string_view value) {
  const std::optional<Text> before = readForRewrite(path_);
  if (!before) return false;
  const ini::WriteResult after = ini::writeValue(*before, section_, upToZero(key), upToZero(value));
  if (after.status != ini::WriteStatus::written) return false;
  return replaceFile(path_, after.file);
}

bool IniFileStore::configurationFileExists() {
  std::error_code error;
  return fs::symlink_status(path_, error).type() != fs::file_type::not_found && !error;
}

DeleteResult IniFileStore::deleteConfigurationFile() {
  switch (stateOf(path_)) {
    case FileState::missing:
      return DeleteResult::missing;
    case FileState::other:
      // Only files are deleted: a folder of that name stays in place.
      return DeleteResult::failed;
    case FileState::regularFile:
      break;
  }
  std::error_code error;
  if (fs::remove(path_, error)) return DeleteResult::deleted;
  return error ? DeleteResult::failed : DeleteResult::missing;
}

}  // namespace quorvin
