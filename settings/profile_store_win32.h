// The settings store on Windows: the platform's private-profile functions over one INI file.
#pragma once

#include <string>

#include "settings/settings_store.h"

namespace quorvin {

class ProfileStore final : public SettingsStore {
 public:
  // The path is passed unchanged to every file function; the program uses kConfigurationPath.
  explicit ProfileStore(std::string path = std::string(kConfigurationPath),
                        std::string section = std::string(kSettingsSection));

  Text readSetting(std::string_view key, std::string_view defaultValue) override;
  bool writeSetting(std::string_view key, std::string_view value) override;
  bool configurationFileExists() override;
  DeleteResult deleteConfigurationFile() override;

  const std::string& path() const noexcept { return path_; }

 private:
  std::string path_;
  std::string section_;
};

}  // namespace quorvin
