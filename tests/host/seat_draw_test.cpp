#include "draw/seat_draw.h"

#include <gtest/gtest.h>

#include <array>

#include "shell/program.h"
#include "tests/host/test_store.h"
#include "ui/controls.h"
#include "ui/memory_toolkit.h"

namespace quorvin {
namespace {

TEST(SeatGenerator, FirstTwoTicksFromAZeroAccumulator) {
  SeatGenerator generator;
  generator.seedFromClock(1000);
  EXPECT_EQ(generator.seedAccumulator(), 332u);
  EXPECT_EQ(generator.state(), 1000u);
  EXPECT_EQ(generator.randomInRange(1, 100), 5);
  EXPECT_EQ(generator.state(), 216544011u);

  generator.seedFromClock(1050);
  EXPECT_EQ(generator.state(), 1382u);
  EXPECT_EQ(generator.seedAccumulator(), 534u);
  EXPECT_EQ(generator.randomInRange(1, 100), 52);
}

TEST(SeatGenerator, RawValueOfTheFirstVector) {
  SeatGenerator generator;
  generator.seedFromClock(1000);
  EXPECT_EQ(generator.nextRaw(), 3304);
}

TEST(SeatGenerator, AccumulatorAndSeedWrapModulo2To32) {
  SeatGenerator generator;
  generator.seedFromClock(0xFFFFFFFFu);  // seed 0xFFFFFFFF: accumulator 255 + 100
  EXPECT_EQ(generator.seedAccumulator(), 355u);
  generator.seedFromClock(0xFFFFFFFFu);  // seed wraps to 354
  EXPECT_EQ(generator.state(), 354u);
  EXPECT_EQ(generator.seedAccumulator(), 355u + (354u & 255u) + 100u);
}

// Every raw value 0..32767 maps to 1 + raw % 100: 1..68 come from 328 raw values, 69..100 from 327.
TEST(SeatGenerator, DistributionOverAllRawValues) {
  std::array<int, 101> count{};
  for (int raw = 0; raw <= 32767; ++raw) ++count[static_cast<std::size_t>(1 + raw % 100)];
  for (int number = 1; number <= 100; ++number)
    EXPECT_EQ(count[static_cast<std::size_t>(number)], number <= 68 ? 328 : 327) << "number " << number;

  // The generator reaches every raw value: its low state bits run through a full period, so a sweep of
  // seeds yields each number with the same weights.
  std::array<int, 101> drawn{};
  for (std::uint32_t seed = 0; seed < (1u << 16); ++seed) {
    SeatGenerator fresh;
    fresh.seedFromClock(seed << 16);  // accumulator 0: the state is the seed
    const std::int32_t number = fresh.randomInRange(1, 100);
    ASSERT_GE(number, 1);
    ASSERT_LE(number, 100);
    ++drawn[static_cast<std::size_t>(number)];
  }
  for (int number = 1; number <= 100; ++number) EXPECT_GT(drawn[static_cast<std::size_t>(number)], 0);
}

struct RangeCase {
  const char* what;
  std::int32_t lower, upper;
  std::int32_t expectedLow, expectedHigh;  // the result lies in [low, high]
  bool advances;
};

TEST(SeatGenerator, RandomInRangeRules) {
  const RangeCase cases[] = {
      {"ordered bounds", 1, 100, 1, 100, true},
      {"swapped bounds", 100, 1, 1, 100, true},
      {"equal bounds", 7, 7, 7, 7, false},
      {"both negative: both count as 0", -5, -9, 0, 0, false},
      {"negative lower counts as 0", -20, 3, 0, 3, true},
      {"negative upper counts as 0, then swapped", 4, -1, 0, 4, true},
      {"widest span is capped", 0, 2147483647, 0, 2147483646, true},
  };
  for (const RangeCase& c : cases) {
    for (std::uint32_t clock : {0u, 1000u, 123456789u, 0xFFFFFFF0u}) {
      SeatGenerator generator;
      generator.seedFromClock(clock);
      const std::uint32_t before = generator.state();
      const std::int32_t result = generator.randomInRange(c.lower, c.upper);
      EXPECT_GE(result, c.expectedLow) << c.what;
      EXPECT_LE(result, c.expectedHigh) << c.what;
      EXPECT_EQ(generator.state() != before, c.advances) << c.what;
    }
  }
  // Swapping the bounds gives the same number as ordering them.
  SeatGenerator a, b;
  a.seedFromClock(4242);
  b.seedFromClock(4242);
  EXPECT_EQ(a.randomInRange(30, 10), b.randomInRange(10, 30));
}

TEST(IntegerToText, PercentD) {
  EXPECT_EQ(integerToText(0), "0");
  EXPECT_EQ(integerToText(5), "5");
  EXPECT_EQ(integerToText(100), "100");
  EXPECT_EQ(integerToText(-42), "-42");
  EXPECT_EQ(integerToText(2147483647), "2147483647");
  EXPECT_EQ(integerToText(-2147483647 - 1), "-2147483648");
}

TEST(CompareText, BytesAsUnsignedValues) {
  EXPECT_EQ(compareText("00", "00"), 0);
  EXPECT_LT(compareText("", "00"), 0);
  EXPECT_GT(compareText("\xB1", "A"), 0);  // a 936 lead byte is above any ASCII byte
  EXPECT_NE(compareText("a", "A"), 0);
  EXPECT_LT(compareText("0", "00"), 0);
}

// The draw on the in-memory toolkit, through the program's own event bindings.
class DrawFlow : public ::testing::Test {
 protected:
  DrawFlow() {
    ui.loadMainWindow();
    ui.setVisible(kSettingsPanel, false);  // the panel would cover the draw area
  }
  bool awardOpen(std::size_t level) { return !ui.control(kPrizeLevels[level].awardButton).disabled; }

  test::NoFileStore store;
  Program program{ui, store};
  MemoryToolkit ui{program};
};

TEST_F(DrawFlow, StartRollsStopOpensTheAwards) {
  EXPECT_EQ(ui.control(kDrawTimer).period, 0);
  EXPECT_TRUE(ui.control(kStopButton).disabled);

  ui.click(kStartButton);
  EXPECT_EQ(ui.control(kDrawTimer).period, 50);
  EXPECT_TRUE(ui.control(kStartButton).disabled);
  EXPECT_FALSE(ui.control(kStopButton).disabled);
  for (std::size_t level = 0; level < 5; ++level) EXPECT_FALSE(awardOpen(level));

  ui.setClock(1000);
  ui.tick();
  EXPECT_EQ(ui.control(kNumberDisplay).text, "5");
  ui.setClock(1050);
  ui.tick();
  EXPECT_EQ(ui.control(kNumberDisplay).text, "52");

  ui.click(kStopButton);
  EXPECT_EQ(ui.control(kDrawTimer).period, 0);
  EXPECT_FALSE(ui.control(kStartButton).disabled);
  EXPECT_TRUE(ui.control(kStopButton).disabled);
  for (std::size_t level = 0; level < 5; ++level) EXPECT_TRUE(awardOpen(level)) << level;
  EXPECT_EQ(ui.control(kNumberDisplay).text, "52");  // stop leaves the drawn number

  ui.tick();  // a stopped timer fires no more
  EXPECT_EQ(ui.control(kNumberDisplay).text, "52");
}

TEST_F(DrawFlow, StopBeforeTheFirstTickKeepsTheDisplay) {
  ui.click(kStartButton);
  ui.click(kStopButton);
  EXPECT_EQ(ui.control(kNumberDisplay).text, "0");
  for (std::size_t level = 0; level < 5; ++level) EXPECT_TRUE(awardOpen(level));
}

TEST_F(DrawFlow, OnlyLabelsReadingExactly00KeepTheirAwardOpen) {
  ui.setText("No1", "00");
  ui.setText("No2", "0");
  ui.setText("No3", "");
  ui.setText("No4", " 00");
  ui.setText("No5", "00 ");
  ui.click(kStartButton);
  ui.click(kStopButton);
  EXPECT_TRUE(awardOpen(0));
  EXPECT_FALSE(awardOpen(1));
  EXPECT_FALSE(awardOpen(2));
  EXPECT_FALSE(awardOpen(3));
  EXPECT_FALSE(awardOpen(4));
}

TEST_F(DrawFlow, StartingAgainLeavesOpenAwardsOpen) {
  ui.setClock(1000);
  ui.click(kStartButton);
  ui.tick();
  ui.click(kStopButton);
  ui.click(kPrizeLevels[0].awardButton);
  ASSERT_FALSE(awardOpen(0));

  ui.click(kStartButton);  // rolling: the other four stay usable
  for (std::size_t level = 1; level < 5; ++level) EXPECT_TRUE(awardOpen(level));
  EXPECT_EQ(ui.control("No1").text, "5");
  ui.setClock(1050);
  ui.tick();
  ui.click(kPrizeLevels[1].awardButton);  // an award while rolling takes the number shown
  EXPECT_EQ(ui.control("No2").text, "52");
  EXPECT_EQ(ui.control(kDrawTimer).period, 50);

  ui.click(kStopButton);  // awarded prizes stay closed at every stop
  EXPECT_FALSE(awardOpen(0));
  EXPECT_FALSE(awardOpen(1));
  EXPECT_TRUE(awardOpen(2));
}

TEST_F(DrawFlow, DisabledButtonsDoNothing) {
  ui.click(kStopButton);
  ui.click(kPrizeLevels[0].awardButton);
  EXPECT_EQ(ui.control(kDrawTimer).period, 0);
  EXPECT_EQ(ui.control("No1").text, "00");
}

}  // namespace
}  // namespace quorvin
