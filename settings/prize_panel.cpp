#include "settings/prize_panel.h"

#include "settings/settings_messages.h"
#include "ui/controls.h"

namespace quorvin {

void confirmPrizes(WindowToolkit& ui, SettingsStore& store) {
  const PrizeLevel& firstPrize = kPrizeLevels.front();
  if (compareText(ui.text(firstPrize.nameBox), "") == 0) {
    ui.messageBox("您的奖品还没有设置哦！", kMessageBoxOk);
    return;
  }
  ui.setVisible(kSettingsPanel, false);
  for (const PrizeLevel& prize : kPrizeLevels) ui.setText(prize.deskBox, ui.text(prize.nameBox));
  bool allWritten = true;
  for (const PrizeLevel& prize : kPrizeLevels)
    allWritten = store.writeSetting(prize.nameBox, ui.text(prize.nameBox)) && allWritten;
  ui.setVisible(kSaveWinnersButton, true);
  if (!allWritten) showSettingsError(ui, kPrizesNotSaved);
}

void clearSettings(WindowToolkit& ui, SettingsStore& store) {
  const DeleteResult deleted = store.deleteConfigurationFile();
  for (const PrizeLevel& prize : kPrizeLevels) ui.setText(prize.nameBox, "");
  ui.setDisabled(kClearButton, true);
  // A file that is already gone is what the operator asked for; one that stays is not.
  if (deleted == DeleteResult::failed) showSettingsError(ui, kSettingsNotDeleted);
}

}  // namespace quorvin
