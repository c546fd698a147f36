// The configuration file as the handlers see it: one section of one INI file, four operations.
#pragma once

#include <cstddef>
#include <string_view>

#include "ui/text.h"

namespace quorvin {

// Passed exactly so to every file operation: Windows takes "\/" as one separator.
inline constexpr std::string_view kConfigurationPath = "C:\\/Quorvin.ini";
inline constexpr std::string_view kSettingsSection = "保存配置文件";
// The read buffer of one value, its terminating zero included: values read back cut to 10,239 bytes.
inline constexpr std::size_t kReadBufferSize = 10240;

enum class DeleteResult { deleted, missing, failed };

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The key's value in the section, or the default when the file, the section or the key is missing.
  virtual Text readSetting(std::string_view key, std::string_view defaultValue) = 0;
  // Stores the value under the key, creating the file and the section when missing. False when the
  // write failed.
  virtual bool writeSetting(std::string_view key, std::string_view value) = 0;
  // Any entry of that name counts, a folder included.
  virtual bool configurationFileExists() = 0;
  virtual DeleteResult deleteConfigurationFile() = 0;
};

}  // namespace quorvin
