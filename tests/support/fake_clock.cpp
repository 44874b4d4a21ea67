#include "support/fake_clock.h"

void FakeClock::Sleep(uint32_t milliseconds) {
  sleep_count_.fetch_add(1);
  slept_milliseconds_.fetch_add(milliseconds);
  Advance(milliseconds);
}

void FakeClock::Advance(uint32_t milliseconds) {
  milliseconds_.fetch_add(milliseconds);
  counter_.fetch_add(static_cast<int64_t>(milliseconds) * (kCounterFrequency / 1000));
}


void FakeClock::SleepUntilCounter(int64_t reading) {
  constexpr int64_t kPerMillisecond = kCounterFrequency / 1000;
  const int64_t left = reading - counter_.load();
  Sleep(left > 0 ? static_cast<uint32_t>((left + kPerMillisecond - 1) / kPerMillisecond) : 0);
}
