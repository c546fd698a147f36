#include "draw/awards.h"

#include "settings/settings_messages.h"
#include "ui/controls.h"

namespace quorvin {

void awardPrize(WindowToolkit& ui, std::size_t level) {
  const PrizeLevel& prize = kPrizeLevels.at(level);
  ui.setText(prize.winnerLabel, ui.text(kNumberDisplay));
  ui.setDisabled(prize.awardButton, true);
}

void saveWinners(WindowToolkit& ui, SettingsStore& store) {
  bool allWritten = true;
  for (const PrizeLevel& prize : kPrizeLevels)
    allWritten = store.writeSetting(prize.winnerLabel, ui.text(prize.winnerLabel)) && allWritten;
  // Saying "saved" after a failed write would let the operator lose the winners unawares.
  if (allWritten)
    ui.messageBox("亲,当前所有配置已经保存", kMessageBoxIconInformation, "提示：");
  else
    showSettingsError(ui, kWinnersNotSaved);
}

}  // namespace quorvin
