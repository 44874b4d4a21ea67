#include "base/time/millisecond_clock.h"

#include <gtest/gtest.h>

#include "support/fake_clock.h"

TEST(MillisecondClock, OnlyATimerFinerThanTenMillisecondsSelectsThePreciseClock) {
  const MillisecondClockChoice nine = ChooseMillisecondClock(9);
  EXPECT_TRUE(nine.use_time_get_time);
  EXPECT_EQ(nine.period, 9u);
  const MillisecondClockChoice ten = ChooseMillisecondClock(10);
  EXPECT_FALSE(ten.use_time_get_time);
  EXPECT_EQ(ten.period, 1u);
  const MillisecondClockChoice unknown = ChooseMillisecondClock(std::nullopt);
  EXPECT_FALSE(unknown.use_time_get_time);
  EXPECT_EQ(unknown.period, 1u);
}

TEST(MillisecondClock, TheChoiceIsMadeOnceAtStartAndTakesThePreciseClockOnLinux) {
  const uint32_t period = InitMillisecondClock();
  EXPECT_TRUE(g_UseTimeGetTime);
  EXPECT_LT(period, 10u);
  EXPECT_EQ(InitMillisecondClock(), period);
}

TEST(MillisecondClock, ReadingsWrapAndTheirDifferencesStayRight) {
  ScopedFakeClock clock;
  clock.SetMilliseconds(0xFFFFFFFEu);
  const uint32_t before = ReadMillisecondClock();
  clock.Advance(5);
  const uint32_t after = ReadMillisecondClock();
  EXPECT_EQ(after, 3u);
  EXPECT_EQ(after - before, 5u);
}
