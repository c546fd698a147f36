// A settings store in memory for tests that are about the window, not the file.
#pragma once

#include "settings/settings_store.h"

namespace quorvin::test {

class NoFileStore final : public SettingsStore {
 public:
  Text readSetting(std::string_view, std::string_view defaultValue) override { return Text(defaultValue); }
  bool writeSetting(std::string_view, std::string_view) override { return ++changes, true; }
  bool configurationFileExists() override { return false; }
  DeleteResult deleteConfigurationFile() override { return ++changes, DeleteResult::missing; }

  int changes = 0;  // writes and deletes asked for
};

}  // namespace quorvin::test
