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

