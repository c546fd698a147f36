#include "ui/window_description.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "ui/controls.h"

namespace quorvin {
namespace {

std::vector<std::string_view> stackOf(std::string_view container) {
  std::vector<std::string_view> names;
  for (const ControlSpec& control : kControls)
    if (control.container == container) names.push_back(control.name);
  return names;
}

std::size_t rowOf(std::string_view name) {
  for (std::size_t row = 0; row < kControls.size(); ++row)
    if (kControls[row].name == name) return row;
  return kControls.size();
}

TEST(WindowDescription, FiftyFourUniquelyNamedControls) {
  ASSERT_EQ(kControls.size(), 54u);
  std::set<std::string_view> names;
  for (const ControlSpec& control : kControls) EXPECT_TRUE(names.insert(control.name).second) << control.name;
  std::map<ControlKind, int> kinds;
  for (const ControlSpec& control : kControls) ++kinds[control.kind];
  EXPECT_EQ(kinds[ControlKind::button], 10);
  EXPECT_EQ(kinds[ControlKind::editBox], 11);           // 编辑框1, jp1..jp5, jp11..jp55
  EXPECT_EQ(kinds[ControlKind::transparentLabel], 28);  // 透明标签1..23 and No1..No5
  EXPECT_EQ(kinds[ControlKind::groupBox], 4);
  EXPECT_EQ(kinds[ControlKind::timer], 1);
}

TEST(WindowDescription, ContainersAreGroupBoxesDescribedBeforeTheirControls) {
  for (std::size_t row = 0; row < kControls.size(); ++row) {
    const ControlSpec& control = kControls[row];
    if (control.container.empty()) continue;
    const ControlSpec* container = findControl(control.container);
    ASSERT_NE(container, nullptr) << control.name;
    EXPECT_EQ(container->kind, ControlKind::groupBox) << control.name;
    EXPECT_TRUE(container->container.empty()) << "group boxes sit on the main window";
    EXPECT_LT(rowOf(container->name), row) << control.name << " comes before its container";
  }
}

TEST(WindowDescription, StackingOrderOfTheMainWindow) {
  const std::vector<std::string_view> expected{"按钮9",   "分组框4", "透明标签22", "分组框3",
                                               "分组框2", "分组框1", "时钟1"};
  EXPECT_EQ(stackOf(""), expected);
  // Inside the draw area the award buttons lie on top and the start button at the bottom.
  const std::vector<std::string_view> drawArea{"按钮7", "按钮6",     "按钮5",   "按钮4", "按钮3",
                                               "按钮2", "透明标签1", "编辑框1", "按钮1"};
  EXPECT_EQ(stackOf("分组框1"), drawArea);
  EXPECT_EQ(stackOf("分组框4").size(), 13u);
  EXPECT_EQ(stackOf("分组框3").size(), 15u);
  EXPECT_EQ(stackOf("分组框2").size(), 10u);
}

TEST(WindowDescription, EventsBoundAsDesigned) {
  const std::map<std::string_view, Handler> expected{
      {"按钮1", Handler::startDraw},
      {"按钮2", Handler::stopDraw},
      {"时钟1", Handler::drawTick},
      {"按钮3", Handler::awardFirstPrize},
      {"按钮4", Handler::awardSecondPrize},
      {"按钮5", Handler::awardThirdPrize},
      {"按钮6", Handler::awardEncouragementPrize},
      {"按钮7", Handler::awardSpecialPrize},
      {"按钮9", Handler::saveWinners},
      {"按钮8", Handler::confirmPrizes},
      {"按钮10", Handler::clearSettings},
  };
  for (const ControlSpec& control : kControls) {
    const auto bound = expected.find(control.name);
    EXPECT_EQ(control.event, bound == expected.end() ? Handler::none : bound->second) << control.name;
  }
  EXPECT_EQ(kMainWindow.created, Handler::windowCreated);
}

TEST(WindowDescription, DesignedStates) {
  for (const ControlSpec& control : kControls) {
    const bool startsDisabled = control.name == "按钮2" || control.name == "按钮10" || control.name == "编辑框1" ||
                                (control.kind == ControlKind::button && control.event >= Handler::awardFirstPrize &&
                                 control.event <= Handler::awardSpecialPrize) ||
                                (control.container == "分组框2" && control.kind == ControlKind::editBox);
    EXPECT_EQ(control.disabled, startsDisabled) << control.name;
    EXPECT_EQ(control.visible, control.name != "按钮9") << control.name;
  }
  for (const PrizeLevel& level : kPrizeLevels) {
    EXPECT_EQ(findControl(level.winnerLabel)->text, "00");
    EXPECT_EQ(findControl(level.nameBox)->text, "");
    EXPECT_EQ(findControl(level.deskBox)->text, "");
    EXPECT_EQ(findControl(level.nameBox)->container, "分组框4");
    EXPECT_EQ(findControl(level.deskBox)->container, "分组框2");
    EXPECT_EQ(findControl(level.awardButton)->container, "分组框1");
    EXPECT_EQ(findControl(level.winnerLabel)->container, "分组框3");
  }
  EXPECT_EQ(findControl(kNumberDisplay)->text, "0");
}

TEST(WindowDescription, TextsAreCodePage936Bytes) {
  // "保存配置文件" as the twelve bytes the configuration file stores.
  EXPECT_EQ(std::string_view("保存配置文件"), "\xB1\xA3\xB4\xE6\xC5\xE4\xD6\xC3\xCE\xC4\xBC\xFE");
  EXPECT_EQ(findControl("按钮1")->text, "\xBF\xAA\xCA\xBC\xB3\xE9\xC8\xA1\xD0\xD2\xD4\xCB\xD7\xF9\xBA\xC5");
}

TEST(WindowDescription, UsageNoteHasEightLines) {
  const std::string_view note = findControl("透明标签22")->text;
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = note.find("\r\n", start)) != std::string_view::npos; start = end + 2)
    lines.push_back(note.substr(start, end - start));
  lines.push_back(note.substr(start));
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[1], "学生座号抽奖软件使用说明");
  EXPECT_EQ(lines[6], "④：软件安全无毒，免费提供");
  for (std::string_view line : lines) EXPECT_EQ(line.find('\n'), std::string_view::npos);
}

TEST(WindowDescription, CentredStartPositionTruncatesTowardZero) {
  EXPECT_EQ(centredStartPosition(1024, 768).x, 99);
  EXPECT_EQ(centredStartPosition(1024, 768).y, 185);
  EXPECT_EQ(centredStartPosition(1920, 1080).x, 547);  // 1095 / 2
  EXPECT_EQ(centredStartPosition(800, 300).x, -12);    // -25 / 2 truncates to -12, not -13
  EXPECT_EQ(centredStartPosition(800, 300).y, -49);
}

}  // namespace
}  // namespace quorvin
