// The operator's whole job on the in-memory toolkit and the portable store over a real file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "settings/ini_file_store.h"
#include "shell/program.h"
#include "ui/controls.h"
#include "ui/memory_toolkit.h"

namespace quorvin {
namespace {

namespace fs = std::filesystem;

std::optional<std::string> fileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A fresh folder per test; the configuration file lies in it.
class SettingsFlow : public ::testing::Test {
 protected:
  SettingsFlow()
      : folder(fs::temp_directory_path() /
               ("quorvin-flow-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()))),
        iniPath(folder / "Quorvin.ini") {
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  ~SettingsFlow() override { fs::remove_all(folder); }

  // Starts the program against the store: the window is created and the created handler has run.
  void start(SettingsStore& target) {
    store.target = &target;
    ui.loadMainWindow();
  }
  MemoryToolkit& window() { return ui; }

  void typePrizes(std::initializer_list<std::string_view> names) {
    std::size_t level = 0;
    for (std::string_view name : names) window().type(kPrizeLevels[level++].nameBox, name);
  }

  // A draw whose number the test chooses: start, stop, and the display shows the number.
  void drawAndAward(std::size_t level, std::string_view number) {
    window().click(kStartButton);
    window().click(kStopButton);
    window().setText(kNumberDisplay, number);
    window().click(kPrizeLevels[level].awardButton);
  }

  std::vector<MemoryToolkit::ControlState> snapshot() {
    std::vector<MemoryToolkit::ControlState> states;
    for (const ControlSpec& design : kControls) states.push_back(window().control(design.name));
    return states;
  }

  fs::path folder;
  fs::path iniPath;
  // Each test picks its own store; the program is bound to this slot.
  struct StoreSlot final : SettingsStore {
    SettingsStore* target = nullptr;
    Text readSetting(std::string_view key, std::string_view d) override { return target->readSetting(key, d); }
    bool writeSetting(std::string_view key, std::string_view v) override { return target->writeSetting(key, v); }
    bool configurationFileExists() override { return target->configurationFileExists(); }
    DeleteResult deleteConfigurationFile() override { return target->deleteConfigurationFile(); }
  } store;  // NOLINT
  Program program{ui, store};
  MemoryToolkit ui{program};
};

TEST_F(SettingsFlow, TheExampleFileByteForByte) {
  IniFileStore file(iniPath);
  start(file);
  EXPECT_TRUE(window().control(kClearButton).disabled) << "no file yet";
  typePrizes({"笔记本", "钢笔", "文具盒", "橡皮", "书包"});
  window().click(kConfirmButton);
  drawAndAward(0, "37");
  drawAndAward(1, "5");
  drawAndAward(2, "82");
  drawAndAward(4, "100");
  window().click(kSaveWinnersButton);

  EXPECT_EQ(fileBytes(iniPath),
            "[保存配置文件]\r\njp11=笔记本\r\njp22=钢笔\r\njp33=文具盒\r\njp44=橡皮\r\njp55=书包\r\n"
            "No1=37\r\nNo2=5\r\nNo3=82\r\nNo4=00\r\nNo5=100\r\n");
  ASSERT_EQ(window().messageBoxes().size(), 1u);
  const auto& saved = window().messageBoxes()[0];
  EXPECT_EQ(saved.text, "亲,当前所有配置已经保存");
  EXPECT_EQ(saved.title, "提示：");
  EXPECT_EQ(saved.flags, kMessageBoxIconInformation | kMessageBoxTaskModal);
}

TEST_F(SettingsFlow, ConfirmIsRefusedWhileTheFirstPrizeHasNoName) {
  IniFileStore file(iniPath);
  start(file);
  window().type("jp22", "钢笔");
  const auto before = snapshot();
  window().click(kConfirmButton);
  ASSERT_EQ(window().messageBoxes().size(), 1u);
  const auto& refused = window().messageBoxes()[0];
  EXPECT_EQ(refused.text, "您的奖品还没有设置哦！");
  EXPECT_EQ(refused.flags, kMessageBoxTaskModal) << "flags 0: an OK button and no icon";
  EXPECT_EQ(refused.title, "信息：");
  const auto after = snapshot();
  for (std::size_t row = 0; row < after.size(); ++row) {
    EXPECT_EQ(after[row].text, before[row].text) << kControls[row].name;
    EXPECT_EQ(after[row].visible, before[row].visible) << kControls[row].name;
    EXPECT_EQ(after[row].disabled, before[row].disabled) << kControls[row].name;
  }
  EXPECT_FALSE(fs::exists(iniPath));
}

TEST_F(SettingsFlow, ConfirmWithOnlyTheFirstPrize) {
  IniFileStore file(iniPath);
  start(file);
  window().type("jp11", "笔记本");
  window().click(kConfirmButton);
  EXPECT_TRUE(window().messageBoxes().empty());
  EXPECT_FALSE(window().control(kSettingsPanel).visible);
  EXPECT_TRUE(window().control(kSaveWinnersButton).visible);
  EXPECT_EQ(window().control("jp1").text, "笔记本");
  for (std::size_t level = 1; level < 5; ++level) EXPECT_EQ(window().control(kPrizeLevels[level].deskBox).text, "");
  EXPECT_EQ(fileBytes(iniPath), "[保存配置文件]\r\njp11=笔记本\r\njp22=\r\njp33=\r\njp44=\r\njp55=\r\n");
  EXPECT_EQ(file.readSetting("jp22", "default"), "") << "a present empty value is the empty text";
}

TEST_F(SettingsFlow, AFirstPrizeOfASingleSpaceIsAccepted) {
  IniFileStore file(iniPath);
  start(file);
  window().type("jp11", " ");
  window().click(kConfirmButton);
  EXPECT_TRUE(window().messageBoxes().empty());
  EXPECT_FALSE(window().control(kSettingsPanel).visible);
  EXPECT_EQ(window().control("jp1").text, " ");
}

TEST_F(SettingsFlow, ClearDeletesTheFileAndEmptiesTheNameBoxes) {
  writeFile(iniPath, "[保存配置文件]\r\njp11=笔记本\r\njp22=钢笔\r\nNo1=37\r\n");
  IniFileStore file(iniPath);
  start(file);
  EXPECT_FALSE(window().control(kClearButton).disabled) << "the file exists";
  EXPECT_EQ(window().control("jp11").text, "笔记本");
  EXPECT_EQ(window().control("No1").text, "37");
  window().click(kClearButton);
  EXPECT_FALSE(fs::exists(iniPath));
  for (const PrizeLevel& level : kPrizeLevels) EXPECT_EQ(window().control(level.nameBox).text, "");
  EXPECT_TRUE(window().control(kClearButton).disabled);
  EXPECT_EQ(window().control("No1").text, "37") << "the labels keep showing the winners";
  EXPECT_TRUE(window().control(kSettingsPanel).visible);
  EXPECT_TRUE(window().messageBoxes().empty());

  // Confirming again writes a new file with the five name keys only.
  window().type("jp11", "书包");
  window().click(kConfirmButton);
  EXPECT_EQ(fileBytes(iniPath), "[保存配置文件]\r\njp11=书包\r\njp22=\r\njp33=\r\njp44=\r\njp55=\r\n");
  EXPECT_TRUE(window().control(kClearButton).disabled) << "never enabled again in the run";
}

TEST_F(SettingsFlow, RestoredWinnersAreTakenAsWritten) {
  // No1 present and empty, No2 "0", No3 "07", No4 " 00" (quoted, so the blank survives), No5 missing.
  writeFile(iniPath, "[保存配置文件]\r\njp11=笔记本\r\nNo1=\r\nNo2=0\r\nNo3=07\r\nNo4=\" 00\"\r\n");
  IniFileStore file(iniPath);
  start(file);
  EXPECT_EQ(window().control("No1").text, "");
  EXPECT_EQ(window().control("No2").text, "0");
  EXPECT_EQ(window().control("No3").text, "07");
  EXPECT_EQ(window().control("No4").text, " 00");
  EXPECT_EQ(window().control("No5").text, "00");
  EXPECT_EQ(window().control("jp11").text, "笔记本");
  EXPECT_EQ(window().control("jp22").text, "");
  const std::string original = *fileBytes(iniPath);

  window().click(kConfirmButton);
  for (int stop = 0; stop < 3; ++stop) {
    window().click(kStartButton);
    window().click(kStopButton);
    for (std::size_t level = 0; level < 4; ++level)
      EXPECT_TRUE(window().control(kPrizeLevels[level].awardButton).disabled) << "stop " << stop << " level " << level;
    if (stop == 0) {
      EXPECT_FALSE(window().control(kPrizeLevels[4].awardButton).disabled);
      window().click(kPrizeLevels[4].awardButton);  // "0" goes to the special prize
    } else {
      EXPECT_TRUE(window().control(kPrizeLevels[4].awardButton).disabled) << "awarded once per run";
    }
  }
  EXPECT_EQ(window().control("No5").text, "0");
  window().click(kSaveWinnersButton);
  EXPECT_EQ(file.readSetting("No1", "00"), "") << "an empty label is written back as an empty value";
  EXPECT_EQ(file.readSetting("No3", "00"), "07");
  EXPECT_EQ(file.readSetting("No5", "00"), "0");
  EXPECT_NE(*fileBytes(iniPath), original);
}

TEST_F(SettingsFlow, TheCreatedHandlerNeverWrites) {
  writeFile(iniPath, "; kept\n[保存配置文件]\nNo1 = 12\n");
  IniFileStore file(iniPath);
  start(file);
  EXPECT_EQ(window().control("No1").text, "12");
  EXPECT_EQ(fileBytes(iniPath), "; kept\n[保存配置文件]\nNo1 = 12\n");
}

// The write and delete failures that the operator is told about.
TEST_F(SettingsFlow, SaveThatCannotWriteSaysSoAndKeepsTheLabels) {
  IniFileStore file(folder / "missing-folder" / "Quorvin.ini");
  start(file);
  window().type("jp11", "笔记本");
  window().click(kConfirmButton);
  drawAndAward(0, "37");
  window().click(kSaveWinnersButton);
  ASSERT_EQ(window().messageBoxes().size(), 2u);  // the confirm's and the save's
  for (const auto& box : window().messageBoxes()) {
    EXPECT_EQ(box.flags, kMessageBoxIconError | kMessageBoxTaskModal);
    EXPECT_EQ(box.title, "错误：");
    EXPECT_NE(box.text.find("C:\\Quorvin.ini"), std::string::npos) << "names the file";
    EXPECT_EQ(box.text.find("亲,当前所有配置已经保存"), std::string::npos);
  }
  EXPECT_EQ(window().control("No1").text, "37");
  // The confirm did its work on screen all the same.
  EXPECT_FALSE(window().control(kSettingsPanel).visible);
  EXPECT_EQ(window().control("jp1").text, "笔记本");
  EXPECT_TRUE(window().control(kSaveWinnersButton).visible);
}

TEST_F(SettingsFlow, ClearThatCannotDeleteSaysSo) {
  fs::create_directories(iniPath / "inside");  // a folder of that name: it exists, and it stays
  IniFileStore file(iniPath);
  start(file);
  EXPECT_FALSE(window().control(kClearButton).disabled) << "any entry of that name counts";
  window().type("jp11", "笔记本");
  window().click(kClearButton);
  EXPECT_TRUE(fs::is_directory(iniPath));
  EXPECT_EQ(window().control("jp11").text, "");
  EXPECT_TRUE(window().control(kClearButton).disabled);
  ASSERT_EQ(window().messageBoxes().size(), 1u);
  EXPECT_EQ(window().messageBoxes()[0].flags, kMessageBoxIconError | kMessageBoxTaskModal);
}

TEST_F(SettingsFlow, ClearOfAMissingFileIsNoFailure) {
  writeFile(iniPath, "[保存配置文件]\r\njp11=笔记本\r\n");
  IniFileStore file(iniPath);
  start(file);
  fs::remove(iniPath);  // another instance cleared it meanwhile
  window().click(kClearButton);
  EXPECT_TRUE(window().messageBoxes().empty());
  EXPECT_TRUE(window().control(kClearButton).disabled);
}

}  // namespace
}  // namespace quorvin
