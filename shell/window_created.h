#pragma once

#include <functional>

#include "settings/settings_store.h"
#include "ui/toolkit.h"

namespace quorvin {

inline constexpr int kCompactWindowWidth = 375;
inline constexpr int kCompactWindowHeight = 348;

// Runs once, after the main window and its controls exist and before the window is first shown:
// puts on the skin, shrinks the window, lays the settings panel over the working controls and fills
// the name boxes and winner labels from the configuration file.
void windowCreated(WindowToolkit& ui, SettingsStore& store, const std::function<void()>& attachBuiltInSkin);

}  // namespace quorvin
