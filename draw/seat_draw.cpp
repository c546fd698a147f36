#include "draw/seat_draw.h"

#include <algorithm>

#include "ui/controls.h"

namespace quorvin {

void SeatGenerator::seedFromClock(std::uint32_t milliseconds) {
  const std::uint32_t seed = milliseconds + seedAccumulator_;
  seedAccumulator_ += (seed & 255u) + 100u;
  state_ = seed;
}

std::int32_t SeatGenerator::nextRaw() {
  state_ = state_ * 214013u + 2531011u;
  return static_cast<std::int32_t>((state_ >> 16) & 32767u);
}

std::int32_t SeatGenerator::randomInRange(std::int32_t lower, std::int32_t upper) {
  lower = std::max(lower, 0);
  upper = std::max(upper, 0);
  if (lower > upper) std::swap(lower, upper);
  if (lower == upper) return lower;
  const std::int32_t span = std::min(upper - lower, 2147483646);
  return lower + nextRaw() % (span + 1);
}

void startDraw(WindowToolkit& ui) {
  ui.setTimerPeriod(kDrawTimer, kDrawPeriodMilliseconds);
  ui.setDisabled(kStopButton, false);
  ui.setDisabled(kStartButton, true);
}

void drawTick(WindowToolkit& ui, SeatGenerator& generator) {
  generator.seedFromClock(ui.milliseconds());
  const std::int32_t number = generator.randomInRange(1, 100);
  ui.setText(kNumberDisplay, integerToText(number));
}

void stopDraw(WindowToolkit& ui) {
  ui.setTimerPeriod(kDrawTimer, 0);
  ui.setDisabled(kStartButton, false);
  ui.setDisabled(kStopButton, true);
  for (const PrizeLevel& level : kPrizeLevels) ui.setDisabled(level.awardButton, false);
  // Only a label that still reads exactly "00" keeps its award button open.
  for (const PrizeLevel& level : kPrizeLevels)
    if (compareText(ui.text(level.winnerLabel), kNoWinner) != 0) ui.setDisabled(level.awardButton, true);
}

}  // namespace quorvin
