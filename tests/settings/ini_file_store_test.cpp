// The file-backed settings store: the configuration file's operations over a real file.
#include "settings/ini_file_store.h"

#include <gtest/gtest.h>

#include "tests/settings/test_support.h"

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace quorvin {
namespace {

namespace fs = std::filesystem;
using test::ScratchFolder;


std::string fileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void putFile(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> entriesOf(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  return names;
}

// Confirming five prizes on a machine without the file, then saving the winners with no winner yet for
// the encouragement prize, leaves exactly this file (Windows writes CRLF line ends).
TEST(IniFileStore, ConfirmPrizesThenSaveWinnersWritesTheDocumentedFile) {
  ScratchFolder folder;
  IniFileStore store(folder.path() / "Quorvin.ini");
  const std::pair<const char*, const char*> prizes[] = {
      {"jp11", "笔记本"}, {"jp22", "钢笔"}, {"jp33", "文具盒"}, {"jp44", "橡皮"}, {"jp55", "书包"}};
  const std::pair<const char*, const char*> winners[] = {
      {"No1", "37"}, {"No2", "5"}, {"No3", "82"}, {"No4", "00"}, {"No5", "100"}};
  for (const auto& [key, value] : prizes) ASSERT_TRUE(store.writeSetting(key, value)) << key;
  for (const auto& [key, value] : winners) ASSERT_TRUE(store.writeSetting(key, value)) << key;

  const std::string expected =
      "[保存配置文件]\r\n"
      "jp11=笔记本\r\njp22=钢笔\r\njp33=文具盒\r\njp44=橡皮\r\njp55=书包\r\n"
      "No1=37\r\nNo2=5\r\nNo3=82\r\nNo4=00\r\nNo5=100\r\n";
  EXPECT_EQ(fileBytes(store.path()), expected);
  // The section's name is stored as these twelve code page 936 bytes.
  EXPECT_EQ(fileBytes(store.path()).substr(1, 12),
            "\xB1\xA3\xB4\xE6\xC5\xE4\xD6\xC3\xCE\xC4\xBC\xFE");
  // Saving the winners again replaces each value in its place.
  ASSERT_TRUE(store.writeSetting("No4", "12"));
  EXPECT_EQ(fileBytes(store.path()), std::string(expected).replace(expected.find("No4=00"), 6, "No4=12"));
  EXPECT_EQ(entriesOf(folder.path()), std::vector<std::string>{"Quorvin.ini"}) << "a temporary file was left";
}

TEST(IniFileStore, ReadsWhatTheFileHoldsOrTheDefault) {
  ScratchFolder folder;
  IniFileStore store(folder.path() / "Quorvin.ini");
  EXPECT_FALSE(store.configurationFileExists());
  EXPECT_EQ(store.readSetting("No1", "00"), "00");

  putFile(store.path(), "[保存配置文件]\r\nNo1=\r\njp11=\"书包\"\r\n");
  EXPECT_TRUE(store.configurationFileExists());
  const struct {
    const char* key;
    const char* defaultValue;
    const char* expected;
  } cases[] = {
      {"No1", "00", ""},  // an empty value empties the label: it does not show "00"
      {"No2", "00", "00"},
      {"jp11", "", "书包"},
      {"JP11", "", "书包"},
  };
  for (const auto& c : cases) EXPECT_EQ(store.readSetting(c.key, c.defaultValue), c.expected) << c.key;
}

TEST(IniFileStore, OtherSectionsDoNotAnswerForTheSettingsSection) {
  ScratchFolder folder;
  IniFileStore settings(folder.path() / "Quorvin.ini");
  IniFileStore other(folder.path() / "Quorvin.ini", "other");
  ASSERT_TRUE(other.writeSetting("No1", "7"));
  EXPECT_EQ(settings.readSetting("No1", "00"), "00");
  ASSERT_TRUE(settings.writeSetting("No1", "9"));
  EXPECT_EQ(other.readSetting("No1", "00"), "7");
  EXPECT_EQ(fileBytes(settings.path()), "[other]\r\nNo1=7\r\n[保存配置文件]\r\nNo1=9\r\n");
}

TEST(IniFileStore, DeletesTheFileAndTellsAMissingOneApart) {
  ScratchFolder folder;
  IniFileStore store(folder.path() / "Quorvin.ini");
  ASSERT_TRUE(store.writeSetting("No1", "37"));
  EXPECT_EQ(store.deleteConfigurationFile(), DeleteResult::deleted);
  EXPECT_FALSE(store.configurationFileExists());
  EXPECT_EQ(store.readSetting("No1", "00"), "00");
  EXPECT_EQ(store.deleteConfigurationFile(), DeleteResult::missing);
}

TEST(IniFileStore, FailsCleanlyWhereNoFileCanBe) {
  ScratchFolder folder;
  const fs::path folderNamedLikeTheFile = folder.path() / "Quorvin.ini";
  fs::create_directory(folderNamedLikeTheFile);
  const struct {
    const char* name;
    fs::path path;
    bool exists;
    DeleteResult deleteResult;
  } cases[] = {
      {"path inside a missing folder", folder.path() / "missing" / "Quorvin.ini", false, DeleteResult::missing},
      {"path that is a folder", folderNamedLikeTheFile, true, DeleteResult::failed},
  };
  for (const auto& c : cases) {
    IniFileStore store(c.path);
    EXPECT_EQ(store.configurationFileExists(), c.exists) << c.name;
    EXPECT_EQ(store.readSetting("No1", "00"), "00") << c.name;
    EXPECT_FALSE(store.writeSetting("No1", "37")) << c.name;
    EXPECT_EQ(store.deleteConfigurationFile(), c.deleteResult) << c.name;
  }
  EXPECT_TRUE(fs::is_directory(folderNamedLikeTheFile)) << "clearing must leave a folder in place";
  EXPECT_FALSE(fs::exists(folder.path() / "missing"));
  EXPECT_EQ(entriesOf(folder.path()), std::vector<std::string>{"Quorvin.ini"}) << "a temporary file was left";
}

TEST(IniFileStore, ARefusedWriteLeavesTheFileAsItWas) {
  ScratchFolder folder;
  IniFileStore store(folder.path() / "Quorvin.ini");
  const std::string before = "[保存配置文件]\nNo1=37\n";
  putFile(store.path(), before);
  const struct {
    const char* name;
    std::string key;
    std::string value;
  } cases[] = {
      {"empty key", "", "5"},
      {"key with =", "No=1", "5"},
      {"value with a line break", "No1", "5\r\nNo2=6"},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(store.writeSetting(c.key, c.value)) << c.name;
    EXPECT_EQ(fileBytes(store.path()), before) << c.name;
  }
}

TEST(IniFileStore, KeysAndValuesEndAtAZeroByteLikeCStrings) {
  ScratchFolder folder;
  IniFileStore store(folder.path() / "Quorvin.ini");
  using namespace std::string_literals;
  ASSERT_TRUE(store.writeSetting("No1\0ignored"s, "37\0ignored"s));
  EXPECT_EQ(fileBytes(store.path()), "[保存配置文件]\r\nNo1=37\r\n");
  EXPECT_EQ(store.readSetting("No1\0x"s, "00"), "37");
}

}  // namespace
}  // namespace quorvin
