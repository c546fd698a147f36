// The portable settings store against the platform's own private-profile functions: each row starts
// from the same file, runs the same reads and writes through both, and compares the reads and the files
// they leave.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "settings/ini_file_store.h"
#include "settings/ini_format.h"
#include "settings/profile_store_win32.h"
#include "tests/settings/test_support.h"

namespace quorvin {
namespace {

namespace fs = std::filesystem;
using test::ScratchFolder;
using test::visible;


// Long texts are shown around their first difference only.
::testing::AssertionResult sameBytes(std::string_view portable, std::string_view platform) {
  if (portable == platform) return ::testing::AssertionSuccess();
  std::size_t at = 0;
  while (at < portable.size() && at < platform.size() && portable[at] == platform[at]) ++at;
  const std::size_t from = at < 40 ? 0 : at - 40;
  return ::testing::AssertionFailure() << "portable has " << portable.size() << " bytes, the platform "
                                       << platform.size() << "; first difference at byte " << at
                                       << "\n  portable: " << visible(portable.substr(from, 120))
                                       << "\n  platform: " << visible(platform.substr(from, 120));
}


std::optional<std::string> fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void putFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

struct Operation {
  enum Kind { read, write } kind;
  std::string section;
  std::string key;
  std::string text;  // the default of a read, the value of a write
};

Operation readOf(std::string section, std::string key, std::string defaultValue = "default") {
  return {Operation::read, std::move(section), std::move(key), std::move(defaultValue)};
}
Operation writeOf(std::string section, std::string key, std::string value) {
  return {Operation::write, std::move(section), std::move(key), std::move(value)};
}

struct Row {
  const char* name;
  std::optional<std::string> start;  // nothing: the file does not exist
  std::vector<Operation> operations;
  // Why Wine's file differs from what Windows writes; such a row compares only the reads.
  const char* wineDiffers = nullptr;
};

// Both sides run as the program runs them: the platform through ProfileStore, the portable side through
// IniFileStore, each on its own copy of the starting file.
void runRow(const Row& row, const std::string& platformPath, const std::string& portablePath) {
  for (const std::string& path : {platformPath, portablePath}) {
    DeleteFileA(path.c_str());
    if (row.start) putFile(path, *row.start);
  }
  if (row.wineDiffers != nullptr) std::printf("Wine differs, reads compared only: %s: %s\n", row.name, row.wineDiffers);
  for (std::size_t i = 0; i < row.operations.size(); ++i) {
    const Operation& op = row.operations[i];
    const std::string where = std::string(row.name) + ", operation " + std::to_string(i + 1);
    ProfileStore platform(platformPath, op.section);
    IniFileStore portable(portablePath, op.section);
    if (op.kind == Operation::read) {
      EXPECT_TRUE(sameBytes(portable.readSetting(op.key, op.text), platform.readSetting(op.key, op.text))) << where;
      continue;
    }
    ASSERT_TRUE(portable.writeSetting(op.key, op.text)) << where;
    ASSERT_TRUE(platform.writeSetting(op.key, op.text)) << where;
    const std::string portableFile = fileBytes(portablePath).value_or("<no file>");
    const std::string platformFile = fileBytes(platformPath).value_or("<no file>");
    if (row.wineDiffers == nullptr) {
      EXPECT_TRUE(sameBytes(portableFile, platformFile)) << where;
    } else if (std::getenv("QUORVIN_SHOW_WINE_FILES") != nullptr) {
      // On request, both files of a row where Wine writes otherwise, to see how.
      std::printf("  %s\n  wine:     %s\n  portable: %s\n", where.c_str(), visible(platformFile).c_str(),
                  visible(portableFile).c_str());
    }
  }
}

const std::string kSection = std::string(kSettingsSection);

std::vector<Row> rows() {
  const std::string longValue(ini::kMaxValueLength, 'x');
  // 10,238 ASCII bytes and one double-byte character: the cut falls inside the character.
  const std::string longValueSplitCharacter = std::string(ini::kMaxValueLength - 1, 'x') + "笔";
  return {
      {"the documented sequence on a missing file",
       std::nullopt,
       {writeOf(kSection, "jp11", "笔记本"), writeOf(kSection, "jp22", "钢笔"), writeOf(kSection, "jp33", "文具盒"),
        writeOf(kSection, "jp44", "橡皮"), writeOf(kSection, "jp55", "书包"), writeOf(kSection, "No1", "37"),
        writeOf(kSection, "No2", "5"), writeOf(kSection, "No3", "82"), writeOf(kSection, "No4", "00"),
        writeOf(kSection, "No5", "100"), readOf(kSection, "jp33"), readOf(kSection, "No4", "x"),
        readOf(kSection, "No6", "00")}},
      {"reads from a missing file give the default", std::nullopt, {readOf(kSection, "No1", "00")}},
      {"an empty file gets the section", "", {writeOf("s", "k", "v"), readOf("s", "k")}},
      {"empty values are written and read back empty",
       std::nullopt,
       {writeOf(kSection, "jp22", ""), writeOf(kSection, "jp33", ""), readOf(kSection, "jp22"),
        readOf(kSection, "jp44")}},
      {"CRLF file: replace in place, append a key, append a section",
       "[a]\r\nx=1\r\n[s]\r\nk=old\r\nj=2\r\n",
       {writeOf("s", "k", "new"), writeOf("s", "n", "3"), writeOf("t", "z", "4"), readOf("s", "k"),
        readOf("s", "n"), readOf("t", "z")}},
      {"CRLF file without a final line end gets a new key",
       "[s]\r\nk=1",
       {writeOf("s", "n", "2"), readOf("s", "k"), readOf("s", "n")}},
      {"CRLF file without a final line end gets a new section",
       "[s]\r\nk=1",
       {writeOf("t", "n", "2"), readOf("s", "k"), readOf("t", "n")}},
      {"new section name and key kept as given, in their own case",
       "[s]\r\nk=1\r\n",
       {writeOf("NewSec", "MixedKey", "v"), readOf("newsec", "mixedkey")}},
      {"key and section in another letter case, the file's spelling kept",
       "[SeC]\r\nKeY=1\r\n",
       {readOf("sec", "key"), writeOf("SEC", "key", "2"), readOf("sec", "KEY")}},
      {"a key written twice keeps its line", std::nullopt,
       {writeOf("s", "a", "1"), writeOf("s", "b", "2"), writeOf("s", "a", "3"), readOf("s", "a")}},
      {"quoted values lose one matching pair on reading",
       "[s]\r\nd=\"v\"\r\ns='v'\r\no=\"v\r\nm=\"v'\r\nq=\"\r\ne=\"\"\r\n",
       {readOf("s", "d"), readOf("s", "s"), readOf("s", "o"), readOf("s", "m"), readOf("s", "q"), readOf("s", "e"),
        writeOf("s", "w", "\"quoted\""), readOf("s", "w")}},
      {"the default loses trailing spaces only", std::nullopt,
       {readOf("s", "k", "00  "), readOf("s", "k", "00\t"), readOf("s", "k", "  00")}},
      {"a value of exactly 10,239 bytes", "[s]\r\nk=" + longValue + "\r\n", {readOf("s", "k")}},
      {"a longer value is cut to 10,239 bytes", "[s]\r\nk=" + longValue + "yz\r\n", {readOf("s", "k")}},
      {"a long value written and read back", std::nullopt,
       {writeOf("s", "k", longValue + "yz"), readOf("s", "k")}},
      {"936 texts in names and values",
       "[保存配置文件]\r\njp11=笔记本\r\n[奖品]\r\n一等奖=钢笔\r\n",
       {readOf(kSection, "jp11"), readOf("奖品", "一等奖"), writeOf("奖品", "二等奖", "文具盒"),
        writeOf(kSection, "jp11", "书包"), readOf("奖品", "二等奖"), readOf(kSection, "jp11")}},
      {"a key of the second section is not found, new keys go to the first", "[s]\r\na=1\r\n[t]\r\nb=2\r\n",
       {readOf("s", "b"), readOf("t", "a")}},
      {"a line without = is not a key to read", "[s]\r\nk\r\nj=1\r\n", {readOf("s", "k"), readOf("s", "j")}},
      // Wine differs: it rewrites the whole file from its parsed form, with CRLF everywhere.
      {"LF file: replace in place, append a key, append a section",
       "[a]\nx=1\n[s]\nk=old\nj=2\n",
       {writeOf("s", "k", "new"), writeOf("s", "n", "3"), writeOf("t", "z", "4"), readOf("s", "k"),
        readOf("s", "n"), readOf("t", "z"), readOf("a", "x")},
       "Wine rewrites the whole file with CRLF line ends; Windows leaves the lines it does not change alone"},
      {"LF file without a final line end",
       "[s]\nk=1",
       {writeOf("s", "k", "2"), writeOf("s", "n", "3"), readOf("s", "k"), readOf("s", "n")},
       "Wine rewrites the whole file with CRLF line ends; Windows leaves the lines it does not change alone"},
      {"blanks around names and =",
       "  [ s ]  \r\n  k  =  v  w  \r\n\tj\t=\t1\t\r\n",
       {readOf("s", "k"), readOf(" s ", " j "), writeOf("s", "k", "new"), writeOf("s", "n", "  lead"),
        readOf("s", "k"), readOf("s", "j"), readOf("s", "n")},
       "Wine rewrites every line from its parsed form, so blanks on lines not written are lost"},
      {"comments and blank lines around keys",
       ";head\r\n\r\n[s]\r\n; about k\r\nk=1\r\n\r\n; about t\r\n\r\n[t]\r\nz=1\r\n",
       {writeOf("s", "n", "2"), writeOf("t", "y", "3"), readOf("s", "k"), readOf("s", "n"), readOf("t", "y"),
        readOf("t", "z")},
       "Wine drops blank lines and puts a new key after the section's trailing comment"},
      {"a section that appears twice: only the first counts",
       "[s]\r\na=1\r\n[t]\r\nb=2\r\n[S]\r\nk=2\r\na=9\r\n",
       {readOf("s", "k"), readOf("s", "a"), writeOf("s", "k", "3"), writeOf("s", "a", "4"), readOf("s", "k"),
        readOf("s", "a")}},
      {"a key that appears twice",
       "[s]\r\nk=1\r\nK=2\r\n",
       {readOf("s", "k"), writeOf("s", "k", "3"), readOf("s", "k")}},
      {"bytes that are not valid 936",
       "[s]\r\nbad=\x80\xFF\r\nk=1\r\n",
       {readOf("s", "k"), writeOf("s", "k", "2"), readOf("s", "k"), readOf("s", "bad")}},
      {"comment lines inside a section", "[s]\r\n;about k\r\nk=1\r\n;about j\r\nj=2\r\n[t]\r\n",
       {writeOf("s", "n", "3"), writeOf("s", "k", "4"), readOf("s", "n"), readOf("s", "k")}},
      {"writing a key whose line has no = replaces that line", "[s]\r\nk\r\nj=1\r\n",
       {readOf("s", "k"), writeOf("s", "k", "v"), readOf("s", "k")}},
      {"a long value cut inside a double-byte character",
       "[s]\r\nk=" + longValueSplitCharacter + "\r\n",
       {readOf("s", "k")}},
  };
}

TEST(ProfileDifferential, PortableStoreMatchesThePlatform) {
  ScratchFolder folder;
  for (const Row& row : rows()) runRow(row, folder.file("platform.ini"), folder.file("portable.ini"));
}

// The two stores side by side on the same places: a missing file, a folder named like the file, a path
// inside a missing folder.
TEST(ProfileDifferential, StoresAgreeOnTheFileItself) {
  ScratchFolder folder;
  fs::create_directory(folder.path() / "folder.ini");
  const struct {
    const char* name;
    std::string path;
  } places[] = {
      {"missing file", folder.file("missing.ini")},
      {"folder named like the file", folder.file("folder.ini")},
      {"path inside a missing folder", folder.file("nowhere") + "\\store.ini"},
  };
  for (const auto& place : places) {
    ProfileStore platform(place.path);
    IniFileStore portable(place.path);
    EXPECT_EQ(platform.configurationFileExists(), portable.configurationFileExists()) << place.name;
    EXPECT_EQ(platform.readSetting("No1", "00"), portable.readSetting("No1", "00")) << place.name;
  }
  // Each store on its own copy of each place, so one's write does not change what the other sees.
  ScratchFolder second;
  fs::create_directory(second.path() / "folder.ini");
  const std::string secondPaths[] = {second.file("missing.ini"), second.file("folder.ini"),
                                     second.file("nowhere") + "\\store.ini"};
  for (std::size_t i = 0; i < std::size(places); ++i) {
    ProfileStore platform(places[i].path);
    IniFileStore portable(secondPaths[i]);
    EXPECT_EQ(platform.writeSetting("No1", "37"), portable.writeSetting("No1", "37")) << places[i].name;
    EXPECT_EQ(platform.readSetting("No1", "00"), portable.readSetting("No1", "00")) << places[i].name;
    EXPECT_EQ(fileBytes(places[i].path).value_or("<none>"), fileBytes(secondPaths[i]).value_or("<none>"))
        << places[i].name;
    EXPECT_EQ(platform.deleteConfigurationFile(), portable.deleteConfigurationFile()) << places[i].name;
    EXPECT_EQ(platform.deleteConfigurationFile(), portable.deleteConfigurationFile())
        << places[i].name << ", second delete";
  }
  EXPECT_TRUE(fs::is_directory(folder.path() / "folder.ini"));
}

TEST(ProfileStore, DeleteResultsAndTheBackslashSlashPath) {
  ScratchFolder folder;
  // "\/" is one separator, as in the program's own path.
  const std::string path = folder.path().string() + "\\/store.ini";
  ProfileStore store(path);
  EXPECT_FALSE(store.configurationFileExists());
  EXPECT_EQ(store.deleteConfigurationFile(), DeleteResult::missing);
  ASSERT_TRUE(store.writeSetting("No1", "37"));
  EXPECT_TRUE(fs::exists(folder.path() / "store.ini"));
  EXPECT_TRUE(store.configurationFileExists());
  EXPECT_EQ(store.readSetting("No1", "00"), "37");
  EXPECT_EQ(store.deleteConfigurationFile(), DeleteResult::deleted);
  EXPECT_FALSE(store.configurationFileExists());
  EXPECT_EQ(store.readSetting("No1", "00"), "00");

  fs::create_directory(folder.path() / "store.ini");
  EXPECT_TRUE(store.configurationFileExists()) << "a folder counts as the file";
  EXPECT_EQ(store.deleteConfigurationFile(), DeleteResult::failed);
  EXPECT_TRUE(fs::is_directory(folder.path() / "store.ini"));
}

TEST(ProfileStore, TheProgramsPathIsTheDefault) {
  EXPECT_EQ(ProfileStore().path(), "C:\\/Quorvin.ini");
}

}  // namespace
}  // namespace quorvin
