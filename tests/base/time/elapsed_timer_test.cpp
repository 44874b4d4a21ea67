#include "base/time/elapsed_timer.h"

#include <gtest/gtest.h>

#include "base/time/elapsed_timer_array.h"
#include "support/fake_clock.h"

TEST(ElapsedTimer, NestedPausesFreezeTheTimeFromTheOutermostPause) {
  ScopedFakeClock clock;
  CElapsedTimer timer;
  clock.Advance(100);
  EXPECT_EQ(timer.GetElapsed(), 100u);
  const uint32_t paused_at = clock.PreciseMilliseconds();
  EXPECT_EQ(timer.Pause(), paused_at);
  clock.Advance(50);
  EXPECT_EQ(timer.Pause(), 1u);
  clock.Advance(50);
  EXPECT_EQ(timer.Resume(), 1u);
  EXPECT_TRUE(timer.IsPaused());
  EXPECT_EQ(timer.GetElapsed(), 100u);
  clock.Advance(25);
  EXPECT_EQ(timer.Resume(), 125u);
  EXPECT_FALSE(timer.IsPaused());
  clock.Advance(10);
  EXPECT_EQ(timer.GetElapsed(), 110u);
}

TEST(ElapsedTimer, AResumeWithoutAPauseChangesNothing) {
  ScopedFakeClock clock;
  CElapsedTimer timer;
  clock.Advance(30);
  EXPECT_EQ(timer.Resume(), 0u);
  timer.Pause();
  clock.Advance(30);
  EXPECT_EQ(timer.GetElapsed(), 30u);
  timer.Resume();
  EXPECT_EQ(timer.GetElapsed(), 30u);
}

TEST(ElapsedTimer, SetElapsedAndRestartWorkRunningAndPaused) {
  ScopedFakeClock clock;
  clock.SetMilliseconds(5);
  CElapsedTimer timer;
  timer.SetElapsed(1000);  // the start lies before the wrap of the clock
  EXPECT_EQ(timer.GetElapsed(), 1000u);
  timer.Pause();
  clock.Advance(40);
  timer.SetElapsed(7);
  EXPECT_EQ(timer.GetElapsed(), 7u);
  timer.Resume();
  clock.Advance(3);
  EXPECT_EQ(timer.GetElapsed(), 10u);
  timer.Pause();
  timer.Restart();
  EXPECT_FALSE(timer.IsPaused());
  clock.Advance(4);
  EXPECT_EQ(timer.GetElapsed(), 4u);
}

TEST(ElapsedTimerArray, IndicesOutsideTheSetAreRefused) {
  ScopedFakeClock clock;
  CElapsedTimerArray timers;
  EXPECT_FALSE(timers.Restart(0));
  EXPECT_FALSE(timers.PauseAll());
  EXPECT_EQ(timers.Allocate(0), 1u);
  ASSERT_EQ(timers.Allocate(3), 0u);
  EXPECT_EQ(timers.GetCount(), 3);
  clock.Advance(20);
  EXPECT_EQ(timers.GetElapsed(2), 20u);
  EXPECT_EQ(timers.GetElapsed(3), 0u);
  EXPECT_FALSE(timers.SetElapsed(3, 5));
  EXPECT_FALSE(timers.Pause(3));
  EXPECT_FALSE(timers.Resume(0xFFFF));
  EXPECT_TRUE(timers.SetElapsed(1, 500));
  EXPECT_EQ(timers.GetElapsed(1), 500u);
  EXPECT_TRUE(timers.Restart(1));
  EXPECT_EQ(timers.GetElapsed(1), 0u);
  EXPECT_EQ(timers.Allocate(0), 1u);
  EXPECT_EQ(timers.GetCount(), 0);
  EXPECT_EQ(timers.GetElapsed(0), 0u);
}

TEST(ElapsedTimerArray, PauseAllNestsInEveryStopwatch) {
  ScopedFakeClock clock;
  CElapsedTimerArray timers;
  ASSERT_EQ(timers.Allocate(2), 0u);
  EXPECT_TRUE(timers.Pause(0));
  EXPECT_TRUE(timers.PauseAll());
  EXPECT_TRUE(timers.IsPaused());
  clock.Advance(100);
  EXPECT_TRUE(timers.ResumeAll());
  EXPECT_FALSE(timers.IsPaused());
  clock.Advance(10);
  EXPECT_EQ(timers.GetElapsed(0), 0u);  // still held by its own pause
  EXPECT_EQ(timers.GetElapsed(1), 10u);
  EXPECT_TRUE(timers.PauseAll());
  EXPECT_TRUE(timers.PauseAll());
  EXPECT_TRUE(timers.ResumeAll());
  clock.Advance(10);
  EXPECT_EQ(timers.GetElapsed(1), 10u);
}
