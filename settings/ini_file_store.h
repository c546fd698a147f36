// The settings store over a file of the host's own file system, for hosts without private-profile
// functions. Every operation reads the file afresh, as the private-profile functions do; a write goes to
// a temporary file in the same folder that then replaces the old one, so a failed write leaves the old
// file whole.
#pragma once

#include <filesystem>
#include <string>

#include "settings/settings_store.h"

namespace quorvin {

class IniFileStore final : public SettingsStore {
 public:
  explicit IniFileStore(std::filesystem::path path, std::string section = std::string(kSettingsSection));

  Text readSetting(std::string_view key, std::string_view defaultValue) override;
  bool writeSetting(std::string_view key, std::string_view value) override;
  bool configurationFileExists() override;
  DeleteResult deleteConfigurationFile() override;

  const std::filesystem::path& path() const noexcept { return path_; }

 private:
  std::filesystem::path path_;
  std::string section_;
};

}  // namespace quorvin
