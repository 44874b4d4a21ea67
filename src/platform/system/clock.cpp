#include "platform/system/clock.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <thread>

namespace plat {
namespace {

constexpr int64_t kNanosecondsPerSecond = 1'000'000'000;
constexpr int64_t kNanosecondsPerMillisecond = 1'000'000;

int64_t ReadNanoseconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<int64_t>(now.tv_sec) * kNanosecondsPerSecond + now.tv_nsec;
}

// Milliseconds since boot, cut to 32 bits: the value wraps about every 49.7 days.
uint32_t WrappingMilliseconds(clockid_t clock) {
  return static_cast<uint32_t>(static_cast<uint64_t>(ReadNanoseconds(clock) / kNanosecondsPerMillisecond));
}

class MonotonicClockSource final : public ClockSource {
 public:
  constexpr MonotonicClockSource() = default;

  uint32_t PreciseMilliseconds() override { return WrappingMilliseconds(CLOCK_MONOTONIC); }
  uint32_t CoarseMilliseconds() override { return WrappingMilliseconds(CLOCK_MONOTONIC_COARSE); }

  std::optional<uint32_t> TimerMinimumPeriod() override {
    timespec resolution{};
    if (clock_getres(CLOCK_MONOTONIC, &resolution) != 0) return std::nullopt;
    const int64_t nanoseconds = static_cast<int64_t>(resolution.tv_sec) * kNanosecondsPerSecond + resolution.tv_nsec;
    const int64_t milliseconds = (nanoseconds + kNanosecondsPerMillisecond - 1) / kNanosecondsPerMillisecond;
    return static_cast<uint32_t>(milliseconds < 1 ? 1 : milliseconds);
  }

  int64_t CounterFrequency() override { return kNanosecondsPerSecond; }
  int64_t CounterReading() override { return ReadNanoseconds(CLOCK_MONOTONIC); }

  void Sleep(uint32_t milliseconds) override {
    if (milliseconds == 0) {
      std::this_thread::yield();
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }

  // The counter is the monotonic clock in nanoseconds: one absolute sleep reaches the reading,
  // however often a signal interrupts it.
  void SleepUntilCounter(int64_t reading) override {
    const timespec until{static_cast<time_t>(reading / kNanosecondsPerSecond),
                         static_cast<long>(reading % kNanosecondsPerSecond)};
    while (reading > ReadNanoseconds(CLOCK_MONOTONIC) &&
           clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
  }
};

// Both are constant-initialised, so the clock can be read from any static initialiser.
constinit MonotonicClockSource g_MonotonicClock;
constinit std::atomic<ClockSource*> g_InstalledClock{&g_MonotonicClock};

ClockSource& Installed() { return *g_InstalledClock.load(std::memory_order_acquire); }

}  // namespace

ClockSource* InstallClockSource(ClockSource* source) {
  return g_InstalledClock.exchange(source != nullptr ? source : &g_MonotonicClock, std::memory_order_acq_rel);
}

uint32_t PreciseMilliseconds() { return Installed().PreciseMilliseconds(); }
uint32_t CoarseMilliseconds() { return Installed().CoarseMilliseconds(); }
std::optional<uint32_t> TimerMinimumPeriod() { return Installed().TimerMinimumPeriod(); }
int64_t CounterFrequency() { return Installed().CounterFrequency(); }
int64_t CounterReading() { return Installed().CounterReading(); }
void SleepMilliseconds(uint32_t milliseconds) { Installed().Sleep(milliseconds); }
void SleepUntilCounter(int64_t reading) { Installed().SleepUntilCounter(reading); }

}  // namespace plat
