// The prize settings panel: naming the prizes, confirming them onto the prize desk, clearing them.
#pragma once

#include "settings/settings_store.h"
#include "ui/toolkit.h"

namespace quorvin {

void confirmPrizes(WindowToolkit& ui, SettingsStore& store);
void clearSettings(WindowToolkit& ui, SettingsStore& store);

}  // namespace quorvin
