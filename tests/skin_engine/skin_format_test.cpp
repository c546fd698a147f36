// Reading the skin format: the compiled built-in skin, forward-compatible entries, and the table of
// malformed skins that must be refused with their reason and without touching the theme.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "data_blocks.h"
#include "skin_bytes.h"
#include "skin_format.h"

namespace {

using skin_test::SkinBytes;
using skinh::ColorId;
using skinh::MetricId;
using skinh::SkinError;
using skinh::SkinTheme;

constexpr auto kCaption = static_cast<std::uint16_t>(ColorId::CaptionActiveStart);
constexpr auto kFace = static_cast<std::uint16_t>(ColorId::WindowFace);
constexpr auto kCorner = static_cast<std::uint16_t>(MetricId::ButtonCornerRadius);

SkinTheme defaults() {
  SkinTheme theme;
  skinh::loadDefaultTheme(theme);
  return theme;
}

SkinError parse(const std::vector<std::uint8_t>& bytes, SkinTheme& theme) {
  static const std::uint8_t nothing = 0;  // an empty vector's data() may be null; this case is about length
  const std::uint8_t* data = bytes.empty() ? &nothing : bytes.data();
  return skinh::parseSkin(data, static_cast<std::int64_t>(bytes.size()), theme);
}

TEST(SkinFormat, BuiltInSkinIsReadWithItsOwnColours) {
  const quorvin::DataBlockView skin = quorvin::builtInSkin();
  SkinTheme theme = defaults();
  ASSERT_EQ(skinh::parseSkin(skin.bytes, skin.length, theme), SkinError::None);
  // Values written in resources/skin/classroom.skin.
  EXPECT_EQ(theme.color(ColorId::CaptionActiveStart), skinh::rgb(0x8E, 0x24, 0x17));
  EXPECT_EQ(theme.color(ColorId::WindowFace), skinh::rgb(0xFB, 0xF3, 0xE1));
  EXPECT_EQ(theme.color(ColorId::EditDisabledText), skinh::rgb(0x33, 0x26, 0x1B));
  EXPECT_EQ(theme.metric(MetricId::FocusWidth), 2);
}

TEST(SkinFormat, EntriesOverrideDefaultsAndTheRestKeepsThem) {
  SkinTheme theme = defaults();
  const auto bytes = SkinBytes().color(kCaption, 1, 2, 3).metric(kCorner, 0).bytes();
  ASSERT_EQ(parse(bytes, theme), SkinError::None);
  EXPECT_EQ(theme.color(ColorId::CaptionActiveStart), skinh::rgb(1, 2, 3));
  EXPECT_EQ(theme.metric(MetricId::ButtonCornerRadius), 0);
  EXPECT_EQ(theme.color(ColorId::WindowFace), defaults().color(ColorId::WindowFace));
}

TEST(SkinFormat, LaterMinorVersionEntriesAreSkipped) {
  SkinTheme theme = defaults();
  auto bytes = SkinBytes()
                   .entry(7, 1, {9, 9, 9, 9, 9, 9, 9})  // an entry type this engine does not know
                   .color(500, 1, 1, 1)                 // a colour id it does not know
                   .metric(500, 123456)
                   .color(kFace, 10, 20, 30)
                   .bytes();
  bytes[6] = 3;  // minor version 3
  ASSERT_EQ(parse(bytes, theme), SkinError::None);
  EXPECT_EQ(theme.color(ColorId::WindowFace), skinh::rgb(10, 20, 30));
}

struct BadSkin {
  const char* name;
  std::vector<std::uint8_t> bytes;
  SkinError expected;
};

std::vector<BadSkin> badSkins() {
  const auto good = SkinBytes().color(kCaption, 1, 2, 3).color(kFace, 4, 5, 6).bytes();
  auto edited = [&](auto edit) {
    auto bytes = good;
    edit(bytes);
    return bytes;
  };
  auto resealed = [&](auto edit) {
    auto bytes = good;
    edit(bytes);
    SkinBytes::reseal(bytes);
    return bytes;
  };
  return {
      {"empty", {}, SkinError::BadLength},
      {"shorter than a header", std::vector<std::uint8_t>(good.begin(), good.begin() + 23), SkinError::BadLength},
      {"wrong magic", edited([](auto& b) { b[1] = 'X'; }), SkinError::BadMagic},
      {"major version 2", edited([](auto& b) { b[4] = 2; }), SkinError::UnsupportedVersion},
      {"header size below 24", edited([](auto& b) { SkinBytes::set32(b, 8, 8); }), SkinError::BadHeaderSize},
      {"header size past the end", edited([](auto& b) { SkinBytes::set32(b, 8, 0xFFFFFFF0u); }),
       SkinError::BadHeaderSize},
      {"total size larger", edited([](auto& b) { SkinBytes::set32(b, 12, 0x7FFFFFFFu); }), SkinError::SizeMismatch},
      {"total size smaller", edited([&](auto& b) { SkinBytes::set32(b, 12, static_cast<std::uint32_t>(good.size() - 1)); }),
       SkinError::SizeMismatch},
      {"absurd entry count", edited([](auto& b) { SkinBytes::set32(b, 16, 0xFFFFFFFFu); }), SkinError::TooManyEntries},
      {"one entry more than present", edited([](auto& b) { SkinBytes::set32(b, 16, 3); }), SkinError::TruncatedEntry},
      {"one entry fewer than present", edited([](auto& b) { SkinBytes::set32(b, 16, 1); }), SkinError::TrailingBytes},
      {"damaged payload", edited([](auto& b) { b[32] ^= 1; }), SkinError::ChecksumMismatch},
      {"entry size past the end", resealed([](auto& b) { SkinBytes::set32(b, 28, 0x10000u); }),
       SkinError::TruncatedEntry},
      {"absurd entry size", resealed([](auto& b) { SkinBytes::set32(b, 28, 0xFFFFFFF0u); }), SkinError::EntryTooLarge},
      {"colour of 3 bytes", SkinBytes().entry(skinh::kEntryColor, kCaption, {1, 2, 3}).bytes(), SkinError::BadEntrySize},
      {"metric of 8 bytes", SkinBytes().entry(skinh::kEntryMetric, kCorner, {0, 0, 0, 0, 0, 0, 0, 0}).bytes(),
       SkinError::BadEntrySize},
      {"metric above its range", SkinBytes().metric(kCorner, 17).bytes(), SkinError::MetricOutOfRange},
      {"metric below its range", SkinBytes().metric(kCorner, -1).bytes(), SkinError::MetricOutOfRange},
      {"colour set twice", SkinBytes().color(kFace, 1, 1, 1).color(kFace, 2, 2, 2).bytes(), SkinError::DuplicateEntry},
      {"trailing byte", resealed([](auto& b) {
         b.push_back(0);
         SkinBytes::set32(b, 12, static_cast<std::uint32_t>(b.size()));
       }),
       SkinError::TrailingBytes},
  };
}

TEST(SkinFormat, MalformedSkinsAreRefusedWithTheirReasonAndChangeNothing) {
  for (const BadSkin& bad : badSkins()) {
    SkinTheme theme = defaults();
    theme.colors[0] = 0x123456;  // a theme that is not the defaults, to see that nothing is reset
    const SkinTheme before = theme;
    EXPECT_EQ(parse(bad.bytes, theme), bad.expected) << bad.name;
    EXPECT_EQ(std::memcmp(&theme, &before, sizeof theme), 0) << bad.name << " changed the theme";
  }
}

TEST(SkinFormat, NullDataAndImpossibleLengthsAreRefused) {
  SkinTheme theme = defaults();
  const auto good = SkinBytes().color(kCaption, 1, 2, 3).bytes();
  EXPECT_EQ(skinh::parseSkin(nullptr, 100, theme), SkinError::NullData);
  EXPECT_EQ(skinh::parseSkin(good.data(), -1, theme), SkinError::BadLength);
  EXPECT_EQ(skinh::parseSkin(good.data(), std::int64_t{skinh::kMaxSkinBytes} + 1, theme), SkinError::BadLength);
}

// Every proper prefix of a valid skin is refused: a skin cut anywhere never reads as a smaller skin.
TEST(SkinFormat, EveryTruncationOfTheBuiltInSkinIsRefused) {
  const quorvin::DataBlockView skin = quorvin::builtInSkin();
  for (std::uint32_t length = 0; length < skin.length; ++length) {
    std::vector<std::uint8_t> prefix(skin.bytes, skin.bytes + length);  // exact size: ASan sees any overread
    SkinTheme theme = defaults();
    EXPECT_NE(skinh::parseSkin(prefix.data(), length, theme), SkinError::None) << "cut at " << length;
  }
}

}  // namespace
