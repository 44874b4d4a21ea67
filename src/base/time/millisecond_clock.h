// The program's millisecond clock. Every time in the engine is an unsigned 32-bit count of
// milliseconds read here; differences of two readings are taken modulo 2^32, so short spans
// stay right when the clock wraps. One switch, set once at start-up, chooses the precise or
// the coarse clock for the whole program.
#pragma once

#include <cstdint>
#include <optional>

// True when the precise clock is read; false for the coarse one.
extern bool g_UseTimeGetTime;

struct MillisecondClockChoice {
  bool use_time_get_time;
  uint32_t period;
};

// The precise clock is chosen only when the timer resolves periods finer than 10 ms; otherwise
// (or when the resolution is unknown) the coarse clock, with period 1.
MillisecondClockChoice ChooseMillisecondClock(std::optional<uint32_t> minimum_period);

// Makes the choice once per process, before anything else reads the clock, and returns the
// timer period. Later calls only return it.
uint32_t InitMillisecondClock();

uint32_t ReadMillisecondClock();
