#include "platform/system/clock.h"

#include <gtest/gtest.h>

#include "support/fake_clock.h"

TEST(PlatformClock, MonotonicClockMovesForwardAndResolvesMilliseconds) {
  const int64_t counter_before = plat::CounterReading();
  const uint32_t before = plat::PreciseMilliseconds();
  plat::SleepMilliseconds(3);
  EXPECT_GE(plat::PreciseMilliseconds() - before, 3u);
  EXPECT_GE(plat::CounterReading() - counter_before, 3'000'000);
  EXPECT_EQ(plat::CounterFrequency(), 1'000'000'000);
  ASSERT_TRUE(plat::TimerMinimumPeriod().has_value());
  EXPECT_GE(*plat::TimerMinimumPeriod(), 1u);
  EXPECT_LT(*plat::TimerMinimumPeriod(), 10u);
  // The coarse clock lags the precise one by at most a few ticks of the kernel: read between two
  // precise reads, it lies no later than the second and at most those ticks before the first,
  // however long the thread waited between the reads.
  const uint32_t precise_before = plat::PreciseMilliseconds();
  const uint32_t coarse = plat::CoarseMilliseconds();
  const uint32_t precise_after = plat::PreciseMilliseconds();
  EXPECT_GE(static_cast<int32_t>(precise_after - coarse), 0);
  EXPECT_LT(static_cast<int32_t>(precise_before - coarse), 100);
}

TEST(PlatformClock, AnInstalledFakeClockServesEveryReadAndEverySleep) {
  const uint32_t real_before = plat::PreciseMilliseconds();
  {
    ScopedFakeClock clock;
    clock.SetMilliseconds(0xFFFFFFF0u);
    EXPECT_EQ(plat::PreciseMilliseconds(), 0xFFFFFFF0u);
    EXPECT_EQ(plat::CoarseMilliseconds(), 0xFFFFFFF0u);
    const int64_t counter_before = plat::CounterReading();
    plat::SleepMilliseconds(0x20);
    EXPECT_EQ(plat::PreciseMilliseconds(), 0x10u);
    EXPECT_EQ(plat::CounterReading() - counter_before, 32'000'000);
    EXPECT_EQ(clock.SleepCount(), 1u);
    EXPECT_EQ(clock.SleptMilliseconds(), 32u);
    clock.SetCounterAvailable(false);
    EXPECT_EQ(plat::CounterFrequency(), 0);
  }
  // The monotonic clock is back: it does not read the fake's small value.
  EXPECT_LT(plat::PreciseMilliseconds() - real_before, 60'000u);
  EXPECT_EQ(plat::CounterFrequency(), 1'000'000'000);
}
