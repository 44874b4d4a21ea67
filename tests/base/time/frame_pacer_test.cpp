#include "base/time/frame_pacer.h"

#include <gtest/gtest.h>

#include "support/fake_clock.h"

namespace {

class FramePacerTest : public testing::Test {
 protected:
  // Ticks `frames` times, `step` ms apart, and returns how many were due.
  int TickEvery(CFramePacer& pacer, uint32_t step, int frames) {
    int due = 0;
    for (int i = 0; i < frames; ++i) {
      clock_.Advance(step);
      if (pacer.Tick()) ++due;
    }
    return due;
  }

  ScopedFakeClock clock_;
};

}  // namespace

TEST_F(FramePacerTest, MillisecondModeWaitsForWholeMillisecondIntervals) {
  CFramePacer pacer(60, false);
  EXPECT_FALSE(pacer.UsesCounter());
  clock_.Advance(10);
  EXPECT_FALSE(pacer.Tick());
  EXPECT_EQ(pacer.GetWaitHint(), 6u);
  clock_.Advance(6);
  EXPECT_TRUE(pacer.Tick());
  EXPECT_EQ(pacer.GetFramesToSkip(), 0);
  EXPECT_EQ(pacer.GetWaitHint(), 6u);  // a due frame without skipping keeps the hint
  pacer.SetSkipEnabled(true);
  clock_.Advance(40);
  EXPECT_TRUE(pacer.Tick());
  EXPECT_EQ(pacer.GetFramesToSkip(), 1);
  EXPECT_EQ(pacer.GetWaitHint(), 8u);
  clock_.Advance(3);
  EXPECT_FALSE(pacer.Tick());
  EXPECT_EQ(pacer.GetFramesToSkip(), 0);
  EXPECT_EQ(pacer.GetWaitHint(), 13u);
}

TEST_F(FramePacerTest, ARateOfZeroOrLessRunsFree) {
  for (const int32_t rate : {0, -5}) {
    CFramePacer pacer(rate, true);
    pacer.SetSkipEnabled(true);
    EXPECT_FALSE(pacer.UsesCounter());
    EXPECT_TRUE(pacer.Tick());
    clock_.Advance(500);
    EXPECT_TRUE(pacer.Tick());
    EXPECT_EQ(pacer.GetFramesToSkip(), 0);
  }
}

TEST_F(FramePacerTest, CounterModeFallsBackToMillisecondsWithoutACounter) {
  EXPECT_TRUE(CFramePacer(60, true).UsesCounter());
  clock_.SetCounterAvailable(false);
  CFramePacer pacer(60, true);
  EXPECT_FALSE(pacer.UsesCounter());
  clock_.Advance(10);
  EXPECT_FALSE(pacer.Tick());
  EXPECT_EQ(pacer.GetWaitHint(), 6u);
}

TEST_F(FramePacerTest, CounterModeHintsOnlyTheTimeAlreadyWaitedInTheFirstHalf) {
  CFramePacer pacer(60, true);
  ASSERT_TRUE(pacer.UsesCounter());
  clock_.Advance(5);
  EXPECT_FALSE(pacer.Tick());
  EXPECT_EQ(pacer.GetWaitHint(), 4u);  // 16 * 5 ms / 16.67 ms
  clock_.Advance(5);
  EXPECT_FALSE(pacer.Tick());
  EXPECT_EQ(pacer.GetWaitHint(), 0u);
  clock_.Advance(7);
  EXPECT_TRUE(pacer.Tick());
  pacer.SetSkipEnabled(true);
  clock_.Advance(40);
  EXPECT_TRUE(pacer.Tick());
  EXPECT_EQ(pacer.GetFramesToSkip(), 1);
  EXPECT_EQ(pacer.GetWaitHint(), 8u);
}

TEST_F(FramePacerTest, TheMeasuredRateIsZeroUntilAFullSecondWasSummed) {
  for (const bool use_counter : {false, true}) {
    CFramePacer pacer(50, use_counter);
    ASSERT_EQ(pacer.UsesCounter(), use_counter);
    EXPECT_EQ(TickEvery(pacer, 20, 49), 49);
    EXPECT_EQ(pacer.GetMeasuredFramesPerSecond(), 0u);
    EXPECT_EQ(TickEvery(pacer, 20, 1), 1);
    EXPECT_EQ(pacer.GetMeasuredFramesPerSecond(), 50u);
    EXPECT_EQ(TickEvery(pacer, 40, 25), 25);
    EXPECT_EQ(pacer.GetMeasuredFramesPerSecond(), 25u);
  }
}

TEST_F(FramePacerTest, SetRateRestartsTheCountsAndTheNextDueFrame) {
  CFramePacer pacer(50, false);
  TickEvery(pacer, 20, 60);
  EXPECT_EQ(pacer.GetMeasuredFramesPerSecond(), 50u);
  clock_.Advance(15);
  pacer.SetRate(100, false);
  EXPECT_EQ(pacer.GetMeasuredFramesPerSecond(), 0u);
  EXPECT_EQ(pacer.GetFramesPerSecond(), 100);
  clock_.Advance(9);
  EXPECT_FALSE(pacer.Tick());
  clock_.Advance(1);
  EXPECT_TRUE(pacer.Tick());
}

TEST_F(FramePacerTest, AFrameMadeDueIsDueAtOnceAndTheNextOneIntervalLater) {
  for (const bool use_counter : {false, true}) {
    CFramePacer pacer(50, use_counter);
    pacer.SetSkipEnabled(true);
    pacer.MakeNextFrameDue();
    EXPECT_TRUE(pacer.Tick());
    EXPECT_EQ(pacer.GetFramesToSkip(), 0);
    clock_.Advance(19);
    EXPECT_FALSE(pacer.Tick());
    clock_.Advance(1);
    EXPECT_TRUE(pacer.Tick());
    EXPECT_EQ(pacer.GetFramesToSkip(), 0);
  }
}

TEST_F(FramePacerTest, ExternallyPacedEveryTickIsAFrameAndSkipsFollowThePreviousFrame) {
  for (const bool use_counter : {false, true}) {
    CFramePacer pacer(60, use_counter);
    pacer.SetExternallyPaced(true);
    pacer.SetSkipEnabled(true);
    EXPECT_TRUE(pacer.Tick());
    EXPECT_EQ(pacer.GetFramesToSkip(), 0);
    clock_.Advance(5);
    EXPECT_TRUE(pacer.Tick());
    EXPECT_EQ(pacer.GetFramesToSkip(), 0);  // a frame sooner than the interval skips nothing
    clock_.Advance(50);
    EXPECT_TRUE(pacer.Tick());
    EXPECT_EQ(pacer.GetFramesToSkip(), 2);
    EXPECT_EQ(pacer.GetWaitHint(), 0u);
    // Three frames so far, 55 ms after the start; the second ends once 1000 ms have passed.
    EXPECT_EQ(TickEvery(pacer, 100, 9), 9);
    EXPECT_EQ(pacer.GetMeasuredFramesPerSecond(), 0u);
    EXPECT_EQ(TickEvery(pacer, 100, 1), 1);
    EXPECT_EQ(pacer.GetMeasuredFramesPerSecond(), 13u);
  }
}

// Only a counter-paced frame can be known to be not due without a Tick: running free, by the
// millisecond clock or paced from outside, every frame may be due.
TEST_F(FramePacerTest, OnlyTheCounterTellsThatTheNextFrameIsNotDueYet) {
  CFramePacer counter(60, true);
  counter.MakeNextFrameDue();
  EXPECT_FALSE(counter.CounterBeforeDue());
  EXPECT_TRUE(counter.Tick());
  EXPECT_TRUE(counter.CounterBeforeDue());
  clock_.Advance(16);
  EXPECT_TRUE(counter.CounterBeforeDue());
  clock_.Advance(1);
  EXPECT_FALSE(counter.CounterBeforeDue());
  EXPECT_TRUE(counter.Tick());

  CFramePacer milliseconds(60, false);
  CFramePacer free(0, true);
  CFramePacer external(60, true);
  external.SetExternallyPaced(true);
  for (CFramePacer* pacer : {&milliseconds, &free, &external}) {
    pacer->Tick();
    EXPECT_FALSE(pacer->CounterBeforeDue());
  }
}
