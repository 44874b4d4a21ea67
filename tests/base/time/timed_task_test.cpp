#include "base/time/timed_task.h"

#include <gtest/gtest.h>

#include <memory>

#include "support/probe_task.h"

TEST(TimedTask, NestedPausesShiftTheStartTimeByTheSpanFromTheOutermostPause) {
  ProbeLog log;
  ProbeTask task(log);
  const uint32_t start = task.GetStartTime();
  EXPECT_EQ(task.Pause(1000), 1u);
  EXPECT_EQ(task.Pause(1500), 2u);
  EXPECT_EQ(task.Resume(2000), 1u);
  EXPECT_TRUE(task.IsPaused());
  EXPECT_EQ(task.GetStartTime(), start);
  EXPECT_EQ(task.Resume(3000), 2000u);
  EXPECT_FALSE(task.IsPaused());
  EXPECT_EQ(task.GetStartTime(), start + 2000);
}

TEST(TimedTask, AResumeWithoutAPauseIsIgnored) {
  ProbeLog log;
  ProbeTask task(log);
  EXPECT_EQ(task.Resume(500), 0u);
  EXPECT_EQ(task.GetPauseCount(), 0u);
  EXPECT_EQ(task.GetStartTime(), 0u);
  EXPECT_EQ(task.Pause(600), 1u);
  EXPECT_EQ(task.Resume(0xFFFFFF00u + 600), 0xFFFFFF00u);  // spans wrap like the clock
  EXPECT_EQ(task.GetStartTime(), 0xFFFFFF00u);
}

TEST(TimedTask, TheDueTestHoldsAcrossTheWrapOfTheClock) {
  ProbeLog log;
  ProbeTask task(log);
  task.Pause(0);
  task.Resume(0xFFFFFF00u);  // start time 0xFFFFFF00
  EXPECT_TRUE(task.IsDueAt(0x00000010u));
  EXPECT_TRUE(task.IsDueAt(0xFFFFFF00u));
  EXPECT_FALSE(task.IsDueAt(0xFFFFFEFFu));
}

TEST(TimedTask, DestroyingATaskClearsTheVariableItsOwnerRegistered) {
  ProbeLog log;
  auto task = std::make_unique<ProbeTask>(log);
  ProbeTask* owner_variable = task.get();
  task->SetOwnerReference(&owner_variable);
  task.reset();
  EXPECT_TRUE(log.deleted);
  EXPECT_EQ(owner_variable, nullptr);
}
