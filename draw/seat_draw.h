// The seat-number draw: a number from 1 to 100 that rolls every 50 ms between start and stop.
#pragma once

#include <cstdint>

#include "ui/toolkit.h"

namespace quorvin {

inline constexpr int kDrawPeriodMilliseconds = 50;

// The draw's linear congruential generator, reseeded from the millisecond clock on every tick.
class SeatGenerator {
 public:
  // seed := t + a; a := a + (seed AND 255) + 100; state := seed (all modulo 2^32).
  void seedFromClock(std::uint32_t milliseconds);
  // A value from 0 to 32767: state := state * 214013 + 2531011; (state >> 16) AND 32767.
  std::int32_t nextRaw();
  // Bounds below 0 count as 0; swapped bounds are put in order; equal bounds give that bound without
  // advancing the generator; otherwise lower + raw % (span + 1), the span capped at 2147483646.
  std::int32_t randomInRange(std::int32_t lower, std::int32_t upper);

  std::uint32_t seedAccumulator() const { return seedAccumulator_; }
  std::uint32_t state() const { return state_; }

 private:
  std::uint32_t seedAccumulator_ = 0;
  std::uint32_t state_ = 0;
};

void startDraw(WindowToolkit& ui);
void drawTick(WindowToolkit& ui, SeatGenerator& generator);
void stopDraw(WindowToolkit& ui);

}  // namespace quorvin
