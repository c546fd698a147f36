#include "shell/program.h"

#include "draw/awards.h"
#include "settings/prize_panel.h"
#include "shell/window_created.h"

namespace quorvin {

void Program::onEvent(Handler handler) {
  switch (handler) {
    case Handler::none: break;
    case Handler::windowCreated: windowCreated(ui_, store_, attachBuiltInSkin); break;
    case Handler::startDraw: startDraw(ui_); break;
    case Handler::drawTick: drawTick(ui_, generator_); break;
    case Handler::stopDraw: stopDraw(ui_); break;
    case Handler::awardFirstPrize: awardPrize(ui_, 0); break;
    case Handler::awardSecondPrize: awardPrize(ui_, 1); break;
    case Handler::awardThirdPrize: awardPrize(ui_, 2); break;
    case Handler::awardEncouragementPrize: awardPrize(ui_, 3); break;
    case Handler::awardSpecialPrize: awardPrize(ui_, 4); break;
    case Handler::saveWinners: saveWinners(ui_, store_); break;
    case Handler::confirmPrizes: confirmPrizes(ui_, store_); break;
    case Handler::clearSettings: clearSettings(ui_, store_); break;
  }
}

int startupRoutine(WindowToolkit& ui, const SkinEngineLifecycle& skinEngine) {
  skinEngine.createModule();
  ui.addExitRoutine(skinEngine.exitCleanUp);
  // Whether the engine loaded or not, the window comes up; without it, in the system's look.
  skinEngine.loadSkinEngine();
  ui.loadMainWindow();
  ui.runEventLoop();
  return 0;
}

}  // namespace quorvin
