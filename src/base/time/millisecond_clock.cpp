#include "base/time/millisecond_clock.h"

#include "platform/system/clock.h"

bool g_UseTimeGetTime = false;

namespace {

constexpr uint32_t kCoarsestPreciseTimerPeriod = 10;

// Runs during static initialisation. The monotonic clock needs no timer period to be begun at
// start or ended at exit, so the choice is all there is to do.
[[maybe_unused]] const uint32_t g_TimerPeriodAtStart = InitMillisecondClock();

}  // namespace

MillisecondClockChoice ChooseMillisecondClock(std::optional<uint32_t> minimum_period) {
  if (!minimum_period || *minimum_period >= kCoarsestPreciseTimerPeriod) return {false, 1};
  return {true, *minimum_period};
}

uint32_t InitMillisecondClock() {
  static const uint32_t period = [] {
    const MillisecondClockChoice choice = ChooseMillisecondClock(plat::TimerMinimumPeriod());
    g_UseTimeGetTime = choice.use_time_get_time;
    return choice.period;
  }();
  return period;
}

uint32_t ReadMillisecondClock() {
  return g_UseTimeGetTime ? plat::PreciseMilliseconds() : plat::CoarseMilliseconds();
}
