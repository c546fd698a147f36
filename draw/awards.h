// Giving the drawn number to a prize, and saving the winners list.
#pragma once

#include <cstddef>

#include "settings/settings_store.h"
#include "ui/toolkit.h"

namespace quorvin {

// Level index 0 to 4: first, second, third, encouragement, special.
void awardPrize(WindowToolkit& ui, std::size_t level);
void saveWinners(WindowToolkit& ui, SettingsStore& store);

}  // namespace quorvin
