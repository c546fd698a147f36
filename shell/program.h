// The program's handlers bound to the window's events, and its start-up routine.
#pragma once

#include <functional>

#include "draw/seat_draw.h"
#include "settings/settings_store.h"
#include "ui/toolkit.h"

namespace quorvin {

class Program final : public EventSink {
 public:
  Program(WindowToolkit& ui, SettingsStore& store) : ui_(ui), store_(store) {}

  // The first action of the window-created handler; empty while no skin engine is bound.
  std::function<void()> attachBuiltInSkin;

  void onEvent(Handler handler) override;

 private:
  WindowToolkit& ui_;
  SettingsStore& store_;
  SeatGenerator generator_;
};

// What start-up does with the skin engine module: create it, release it at exit, load the engine.
struct SkinEngineLifecycle {
  void (*createModule)();
  ExitRoutine exitCleanUp;
  void (*loadSkinEngine)();
};

// Called once by the toolkit; returns 0 after the event loop has ended.
int startupRoutine(WindowToolkit& ui, const SkinEngineLifecycle& skinEngine);

}  // namespace quorvin
