// The portable INI reader and writer over a file's bytes.
#include "settings/ini_format.h"

#include <gtest/gtest.h>

#include "tests/settings/test_support.h"

#include <string>

namespace quorvin::ini {
namespace {

using namespace std::string_literals;
using quorvin::test::visible;


struct ReadCase {
  const char* name;
  std::string file;
  std::string section;
  std::string key;
  std::string defaultValue;
  std::string expected;
};

TEST(IniReadValue, FollowsThePrivateProfileReader) {
  const ReadCase cases[] = {
      {"missing file reads the default", "", "s", "k", "00", "00"},
      {"missing section reads the default", "[t]\r\nk=1\r\n", "s", "k", "00", "00"},
      {"missing key reads the default", "[s]\r\nj=1\r\n", "s", "k", "00", "00"},
      {"present empty value is the empty text, not the default", "[s]\r\nNo1=\r\n", "s", "No1", "00", ""},
      {"CRLF line ends", "[s]\r\na=1\r\nk=v\r\n", "s", "k", "", "v"},
      {"LF line ends", "[s]\na=1\nk=v\n", "s", "k", "", "v"},
      {"last line without a line end", "[s]\r\nk=v", "s", "k", "", "v"},
      {"blanks around names, = and value", "  [ s ]  \r\n \t k \t=  v w \t\r\n", "s", "k", "", "v w"},
      {"blanks around the names asked for", "[s]\r\nk=v\r\n", " s ", "\tk ", "", "v"},
      {"section and key in another ASCII case", "[SeC]\r\nKeY=v\r\n", "sEc", "kEy", "", "v"},
      {"text after ] on a section line is ignored", "[s]x\r\nk=v\r\n", "s", "k", "", "v"},
      {"key lines before any section belong to none", "k=v\r\n[s]\r\n", "s", "k", "d", "d"},
      {"comment lines are skipped", "[s]\r\n;k=c\r\nk=v\r\n", "s", "k", "", "v"},
      {"a line without = names no key", "[s]\r\nk\r\n", "s", "k", "d", "d"},
      {"the first of a doubled key counts", "[s]\r\nk=1\r\nK=2\r\n", "s", "k", "", "1"},
      {"only the first of a doubled section counts", "[s]\r\na=1\r\n[t]\r\n[S]\r\nk=2\r\n", "s", "k", "d", "d"},
      {"a key of the next section is not found", "[s]\r\n[t]\r\nk=1\r\n", "s", "k", "d", "d"},
      {"the value ends at the first = only", "[s]\r\nk=a=b\r\n", "s", "k", "", "a=b"},
      {"a matching pair of double quotes is stripped", "[s]\r\nk=\" v \"\r\n", "s", "k", "", " v "},
      {"a matching pair of single quotes is stripped", "[s]\r\nk='v'\r\n", "s", "k", "", "v"},
      {"an opening quote alone stays", "[s]\r\nk=\"v\r\n", "s", "k", "", "\"v"},
      {"one quote character alone stays", "[s]\r\nk=\"\r\n", "s", "k", "", "\""},
      {"mismatched quotes stay", "[s]\r\nk=\"v'\r\n", "s", "k", "", "\"v'"},
      {"trailing spaces of the default are removed", "", "s", "k", "00  ", "00"},
      {"a trailing tab of the default stays", "", "s", "k", "00\t", "00\t"},
      {"the default ends at a zero byte", "", "s", "k", "ab\0cd"s, "ab"},
      {"a zero byte ends the value", "[s]\r\nk=ab\0cd\r\n"s, "s", "k", "", "ab"},
      {"936 section and value", "[保存配置文件]\r\njp11=笔记本\r\n", "保存配置文件", "jp11", "", "笔记本"},
      {"bytes that are not valid 936 come back unchanged", "[s]\r\nk=\x80\xFF\x81\r\n", "s", "k", "",
       "\x80\xFF\x81"},
      // 0x81 0x5D is one character whose second byte is "]": the name does not end inside it.
      {"a double-byte character with ] as its second byte", "[\x81\x5D]\r\nk=v\r\n", "\x81\x5D", "k", "", "v"},
      {"half a character is not the whole name", "[\x81\x5D]\r\nk=v\r\n", "\x81", "k", "d", "d"},
      // 0x81 0x61 and 0x81 0x41 are two different characters although 0x61/0x41 are "a"/"A".
      {"second bytes of double-byte characters are not case-folded", "[s]\r\n\x81\x61=v\r\n", "s", "\x81\x41",
       "d", "d"},
      {"ASCII letters after a double-byte character are case-folded", "[s]\r\n\x81\x61x=v\r\n", "s",
       "\x81\x61X", "d", "v"},
  };
  for (const ReadCase& c : cases) {
    EXPECT_EQ(visible(readValue(c.file, c.section, c.key, c.defaultValue)), visible(c.expected)) << c.name;
  }
}

TEST(IniReadValue, CutsLongValuesAndDefaultsToTheReadBuffer) {
  const std::string exact(kMaxValueLength, 'x');
  const std::string longer = exact + "yz";
  const struct {
    const char* name;
    std::string file;
    std::string defaultValue;
    std::string expected;
  } cases[] = {
      {"a value of 10,239 bytes is read whole", "[s]\r\nk=" + exact + "\r\n", "", exact},
      {"a longer value is cut to 10,239 bytes", "[s]\r\nk=" + longer + "\r\n", "", exact},
      {"quotes are stripped before the cut", "[s]\r\nk=\"" + longer + "\"\r\n", "", exact},
      {"a longer default is cut too", "", longer, exact},
      {"a double-byte character that does not fit whole is left out",
       "[s]\r\nk=" + std::string(kMaxValueLength - 1, 'x') + "笔\r\n", "", std::string(kMaxValueLength - 1, 'x')},
      {"a double-byte character that fits whole stays",
       "[s]\r\nk=" + std::string(kMaxValueLength - 2, 'x') + "笔z\r\n", "", std::string(kMaxValueLength - 2, 'x') + "笔"},
      {"a lone lead byte at the cut is a byte of its own",
       "[s]\r\nk=" + std::string(kMaxValueLength - 1, 'x') + "\x81 z\r\n", "",
       std::string(kMaxValueLength - 1, 'x') + "\x81"},
  };
  for (const auto& c : cases) {
    const Text read = readValue(c.file, "s", "k", c.defaultValue);
    EXPECT_EQ(read.size(), c.expected.size()) << c.name;
    EXPECT_EQ(read, c.expected) << c.name;
  }
}

struct WriteCase {
  const char* name;
  std::string file;
  std::string section;
  std::string key;
  std::string value;
  std::string expected;
};

TEST(IniWriteValue, EditsTheFileInPlace) {
  const WriteCase cases[] = {
      {"empty file gets the section and the key", "", "s", "k", "v", "[s]\r\nk=v\r\n"},
      {"an empty value keeps the key's line", "", "s", "k", "", "[s]\r\nk=\r\n"},
      {"an existing value is replaced in its place", "[s]\r\na=1\r\nk=old\r\nb=2\r\n", "s", "k", "new",
       "[s]\r\na=1\r\nk=new\r\nb=2\r\n"},
      {"the replaced line keeps its LF line end", "[s]\na=1\nk=old\nb=2\n", "s", "k", "new",
       "[s]\na=1\nk=new\nb=2\n"},
      {"a replaced last line without a line end stays without", "[s]\r\nk=old", "s", "k", "new", "[s]\r\nk=new"},
      {"blanks around the replaced key's = go; the file's spelling of the key stays",
       "[s]\r\n  KEY =  old  \r\n", "s", "key", "new", "[s]\r\nKEY=new\r\n"},
      {"only the first of a doubled key is replaced", "[s]\r\nk=1\r\nk=2\r\n", "s", "k", "3",
       "[s]\r\nk=3\r\nk=2\r\n"},
      {"a new key goes after the last key line of its section",
       "[s]\r\na=1\r\n\r\n;about t\r\n\r\n[t]\r\nz=1\r\n", "s", "k", "v",
       "[s]\r\na=1\r\nk=v\r\n\r\n;about t\r\n\r\n[t]\r\nz=1\r\n"},
      {"a new key in a section with no keys goes right after its line", "[s]\r\n;note\r\n[t]\r\n", "s", "k", "v",
       "[s]\r\nk=v\r\n;note\r\n[t]\r\n"},
      {"a line of the key without = is replaced", "[s]\r\nk\r\nj=1\r\n", "s", "k", "v", "[s]\r\nk=v\r\nj=1\r\n"},
      {"a line without = still counts as a key line", "[s]\r\nflag\r\n\r\n", "s", "k", "v",
       "[s]\r\nflag\r\nk=v\r\n\r\n"},
      {"a new key after a last line without a line end", "[s]\r\na=1", "s", "k", "v", "[s]\r\na=1\r\nk=v\r\n"},
      {"a new key after a section line without a line end", "[s]", "s", "k", "v", "[s]\r\nk=v\r\n"},
      {"a new key goes into the first of a doubled section", "[s]\na=1\n[t]\n[S]\nk=2\n", "s", "k", "v",
       "[s]\na=1\nk=v\r\n[t]\n[S]\nk=2\n"},
      {"a new section goes at the end of the file", "[t]\r\nz=1\r\n\r\n", "s", "k", "v",
       "[t]\r\nz=1\r\n\r\n[s]\r\nk=v\r\n"},
      {"a new section after a last line without a line end", "[t]\nz=1", "s", "k", "v",
       "[t]\nz=1\r\n[s]\r\nk=v\r\n"},
      {"lines before any section stay first", "x=1\r\n", "s", "k", "v", "x=1\r\n[s]\r\nk=v\r\n"},
      {"blanks around the names given are not written", "", " s ", "\tk ", "v", "[s]\r\nk=v\r\n"},
      {"blanks at the start of the value are not written, at its end they are", "", "s", "k", "  v  ",
       "[s]\r\nk=v  \r\n"},
      {"quotes are written as given", "", "s", "k", "\"v\"", "[s]\r\nk=\"v\"\r\n"},
      {"936 texts and invalid 936 bytes of other lines stay byte for byte",
       "[保存配置文件]\r\nx=\x80\xFF\r\njp11=旧\r\n", "保存配置文件", "jp11", "笔记本",
       "[保存配置文件]\r\nx=\x80\xFF\r\njp11=笔记本\r\n"},
      {"a new section whose name ends in ] as a second byte", "", "\x81\x5D", "k", "v", "[\x81\x5D]\r\nk=v\r\n"},
      {"a section whose name holds ] as a second byte is found", "[\x81\x5D]\r\nk=1\r\n", "\x81\x5D", "k", "2",
       "[\x81\x5D]\r\nk=2\r\n"},
  };
  for (const WriteCase& c : cases) {
    const WriteResult result = writeValue(c.file, c.section, c.key, c.value);
    EXPECT_EQ(result.status, WriteStatus::written) << c.name;
    EXPECT_EQ(visible(result.file), visible(c.expected)) << c.name;
  }
}

TEST(IniWriteValue, RefusesNamesAndValuesThatWouldBreakTheFile) {
  const struct {
    const char* name;
    std::string section;
    std::string key;
    std::string value;
    WriteStatus expected;
  } cases[] = {
      {"empty section", "", "k", "v", WriteStatus::invalidSection},
      {"blank section", "  ", "k", "v", WriteStatus::invalidSection},
      {"section with ]", "a]b", "k", "v", WriteStatus::invalidSection},
      {"section with a line break", "a\nb", "k", "v", WriteStatus::invalidSection},
      {"section with a zero byte", "a\0b"s, "k", "v", WriteStatus::invalidSection},
      {"section ending in a lone lead byte, which would swallow its ]", "a\x81", "k", "v",
       WriteStatus::invalidSection},
      {"empty key", "s", "", "v", WriteStatus::invalidKey},
      {"key with =", "s", "a=b", "v", WriteStatus::invalidKey},
      {"key that reads as a section line", "s", "[k", "v", WriteStatus::invalidKey},
      {"key that reads as a comment", "s", ";k", "v", WriteStatus::invalidKey},
      {"key with a line feed inside", "s", "k\nj", "v", WriteStatus::invalidKey},
      {"value with a line feed", "s", "k", "a\nb", WriteStatus::invalidValue},
      {"value with a carriage return", "s", "k", "a\rb", WriteStatus::invalidValue},
      {"value with a zero byte", "s", "k", "a\0b"s, WriteStatus::invalidValue},
  };
  const std::string file = "[s]\r\nk=old\r\n";
  for (const auto& c : cases) {
    const WriteResult result = writeValue(file, c.section, c.key, c.value);
    EXPECT_EQ(result.status, c.expected) << c.name;
    EXPECT_TRUE(result.file.empty()) << c.name;
  }
}

TEST(IniWriteValue, WhatIsWrittenReadsBack) {
  const struct {
    const char* name;
    std::string value;
    std::string readBack;
  } cases[] = {
      {"plain", "v", "v"},
      {"empty", "", ""},
      {"blanks at both ends", "  v  ", "v"},
      {"quoted", "'v'", "v"},
      {"936 text", "文具盒", "文具盒"},
  };
  for (const auto& c : cases) {
    for (const std::string file : {"", "[s]\r\nk=old\r\n", "[s]\na=1", "[t]\r\nk=1\r\n"}) {
      const WriteResult result = writeValue(file, "s", "k", c.value);
      ASSERT_EQ(result.status, WriteStatus::written) << c.name;
      EXPECT_EQ(readValue(result.file, "s", "k", "default"), c.readBack) << c.name << " in " << visible(file);
    }
  }
}

}  // namespace
}  // namespace quorvin::ini
