#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/program.h"
#include "tests/host/test_store.h"
#include "ui/controls.h"
#include "ui/memory_toolkit.h"

namespace quorvin {
namespace {

std::vector<std::string> journal;  // what the start-up steps and the exit clean-up did, in order

void createModule() { journal.push_back("create module"); }
void exitCleanUp() { journal.push_back("exit clean-up"); }
void loadSkinEngine() { journal.push_back("load skin engine"); }
constexpr SkinEngineLifecycle kJournalled{createModule, exitCleanUp, loadSkinEngine};

class StartUp : public ::testing::Test {
 protected:
  StartUp() {
    journal.clear();
    program.attachBuiltInSkin = [this] {
      journal.push_back(ui.windowShown() ? "skin attached after show" : "skin attached");
    };
  }
  int run() {
    return ui.run([this] { return startupRoutine(ui, kJournalled); });
  }

  test::NoFileStore store;
  Program program{ui, store};
  MemoryToolkit ui{program};
};

TEST_F(StartUp, StepsInOrderAndExitCleanUpOnceAfterTheLoop) {
  ui.operatorActions = [](MemoryToolkit& toolkit) {
    journal.push_back(toolkit.windowShown() ? "loop, window shown" : "loop, window hidden");
    toolkit.closeWindow();
  };
  EXPECT_EQ(run(), 0);
  const std::vector<std::string> expected{"create module", "load skin engine", "skin attached", "loop, window shown",
                                          "exit clean-up"};
  EXPECT_EQ(journal, expected);
  EXPECT_TRUE(ui.exitList().empty());
  EXPECT_TRUE(ui.eventLoopEntered());
}

TEST_F(StartUp, TheExitCleanUpIsListedOnce) {
  ui.addExitRoutine(exitCleanUp);  // already there when start-up adds it
  ui.operatorActions = [](MemoryToolkit& toolkit) { toolkit.closeWindow(); };
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(std::count(journal.begin(), journal.end(), "exit clean-up"), 1);
}

TEST_F(StartUp, WindowFirstShownAtTheCompactSizeWithThePanelOnTop) {
  ui.operatorActions = [](MemoryToolkit& toolkit) {
    EXPECT_EQ(toolkit.windowWidth(), 375);
    EXPECT_EQ(toolkit.windowHeight(), 348);
    EXPECT_EQ(toolkit.windowLeft(), (1024 - 825) / 2);  // not centred again for the compact size
    EXPECT_EQ(toolkit.windowTop(), (768 - 398) / 2);
    EXPECT_EQ(toolkit.control(kSettingsPanel).left, 0);
    EXPECT_EQ(toolkit.control(kSettingsPanel).top, 0);
    EXPECT_TRUE(toolkit.control(kClearButton).disabled);  // no configuration file
  };
  EXPECT_EQ(run(), 0);
}

TEST_F(StartUp, ClosingWhileTheNumberRollsEndsNormallyAndSavesNothing) {
  ui.operatorActions = [](MemoryToolkit& t) {
    t.type("jp11", "笔记本");
    t.click(kConfirmButton);  // one write per prize name
    t.click(kStartButton);
    t.tick();
    t.closeWindow();
  };
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(store.changes, 5);
  EXPECT_EQ(ui.control(kDrawTimer).period, 0);  // the timer stopped with the window
  EXPECT_EQ(journal.back(), "exit clean-up");
}

TEST_F(StartUp, AFailedWindowIsFatalAndSkipsTheExitList) {
  ui.failWindowCreation();
  EXPECT_EQ(run(), -1);
  EXPECT_EQ(std::count(journal.begin(), journal.end(), "exit clean-up"), 0);
  EXPECT_TRUE(ui.exitList().empty());
  ASSERT_EQ(ui.messageBoxes().size(), 1u);
  EXPECT_TRUE(ui.messageBoxes()[0].flags & kMessageBoxIconError);
}

}  // namespace
}  // namespace quorvin
