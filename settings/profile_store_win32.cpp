#include "settings/profile_store_win32.h"

#include <windows.h>

#include <utility>
#include <vector>

namespace quorvin {
namespace {

// Closes a file search when it goes out of scope.
class FindHandle {
 public:
  explicit FindHandle(HANDLE handle) noexcept : handle_(handle) {}
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  ~FindHandle() {
    if (valid()) FindClose(handle_);
  }
  bool valid() const noexcept { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

}  // namespace

ProfileStore::ProfileStore(std::string path, std::string section)
    : path_(std::move(path)), section_(std::move(section)) {}

Text ProfileStore::readSetting(std::string_view key, std::string_view defaultValue) {
  const std::string keyText(key);
  const std::string defaultText(defaultValue);
  std::vector<char> buffer(kReadBufferSize, '\0');
  const DWORD length = GetPrivateProfileStringA(section_.c_str(), keyText.c_str(), defaultText.c_str(),
                                                buffer.data(), static_cast<DWORD>(buffer.size()),
                                                path_.c_str());
  // The value is the zero-terminated string in the buffer. The count is only an upper bound: Wine
  // counts a double-byte character cut at the buffer's end although it leaves only the zero.
  const std::size_t bound = length < buffer.size() ? length : buffer.size() - 1;
  const std::string_view filled(buffer.data(), bound);
  return Text(filled.substr(0, filled.find('\0')));
}

bool ProfileStore::writeSetting(std::string_view key, std::string_view value) {
  const std::string keyText(key);
  const std::string valueText(value);
  return WritePrivateProfileStringA(section_.c_str(), keyText.c_str(), valueText.c_str(), path_.c_str()) != FALSE;
}

bool ProfileStore::configurationFileExists() {
  WIN32_FIND_DATAA found{};
  const FindHandle search(FindFirstFileA(path_.c_str(), &found));
  return search.valid();
}

DeleteResult ProfileStore::deleteConfigurationFile() {
  if (DeleteFileA(path_.c_str())) return DeleteResult::deleted;
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return DeleteResult::missing;
  return DeleteResult::failed;
}

}  // namespace quorvin
