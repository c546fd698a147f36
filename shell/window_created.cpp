#include "shell/window_created.h"

#include <array>

#include "ui/controls.h"

namespace quorvin {
namespace {

// The controls filled from the configuration file, in this order; each one's key is its own name.
constexpr std::array<std::string_view, 10> kRestoredControls{
    kPrizeLevels[0].nameBox,     kPrizeLevels[1].nameBox,     kPrizeLevels[2].nameBox,     kPrizeLevels[3].nameBox,
    kPrizeLevels[4].nameBox,     kPrizeLevels[0].winnerLabel, kPrizeLevels[1].winnerLabel, kPrizeLevels[2].winnerLabel,
    kPrizeLevels[3].winnerLabel, kPrizeLevels[4].winnerLabel,
};

}  // namespace

void windowCreated(WindowToolkit& ui, SettingsStore& store, const std::function<void()>& attachBuiltInSkin) {
  if (attachBuiltInSkin) attachBuiltInSkin();
  ui.setDisabled(kClearButton, !store.configurationFileExists());
  // The top-left corner stays where the designed size placed it: the compact window is not re-centred.
  ui.setWindowWidth(kCompactWindowWidth);
  ui.setWindowHeight(kCompactWindowHeight);
  ui.setLeft(kSettingsPanel, 0);
  ui.setTop(kSettingsPanel, 0);
  for (std::string_view control : kRestoredControls) ui.setText(control, store.readSetting(control, ui.text(control)));
}

}  // namespace quorvin
