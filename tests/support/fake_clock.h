// A clock that moves only when a test moves it. `ScopedFakeClock` installs one for the whole
// program while it lives: every timed engine class then reads it, and the engine's sleeps
// advance it instead of sleeping.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

#include "platform/system/clock.h"

class FakeClock : public plat::ClockSource {
 public:
  static constexpr int64_t kCounterFrequency = 1'000'000'000;

  uint32_t PreciseMilliseconds() override { return milliseconds_.load(); }
  uint32_t CoarseMilliseconds() override { return milliseconds_.load(); }
  std::optional<uint32_t> TimerMinimumPeriod() override { return 1; }
  int64_t CounterFrequency() override { return has_counter_.load() ? kCounterFrequency : 0; }
  int64_t CounterReading() override { return counter_.load(); }
  void Sleep(uint32_t milliseconds) override;
  // Moves the clock on by whole milliseconds until the counter reaches the reading.
  void SleepUntilCounter(int64_t reading) override;

  // Moves the millisecond clock and the counter on together.
  void Advance(uint32_t milliseconds);
  // Sets the millisecond clock alone (the counter keeps its reading).
  void SetMilliseconds(uint32_t milliseconds) { milliseconds_.store(milliseconds); }
  void SetCounterAvailable(bool available) { has_counter_.store(available); }

  uint32_t SleepCount() const { return sleep_count_.load(); }
  uint32_t SleptMilliseconds() const { return slept_milliseconds_.load(); }

 private:
  std::atomic<uint32_t> milliseconds_{1000};
  std::atomic<int64_t> counter_{1'000'000'000};
  std::atomic<bool> has_counter_{true};
  std::atomic<uint32_t> sleep_count_{0};
  std::atomic<uint32_t> slept_milliseconds_{0};
};

class ScopedFakeClock : public FakeClock {
 public:
  ScopedFakeClock() : previous_(plat::InstallClockSource(this)) {}
  ~ScopedFakeClock() override { plat::InstallClockSource(previous_); }
  ScopedFakeClock(const ScopedFakeClock&) = delete;
  ScopedFakeClock& operator=(const ScopedFakeClock&) = delete;

 private:
  plat::ClockSource* previous_;
};
