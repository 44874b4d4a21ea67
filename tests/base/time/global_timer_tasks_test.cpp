// Asking after and ending tasks of the frame's timer manager.
#include "base/time/global_timer_tasks.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/time/timer_manager.h"
#include "support/probe_task.h"
#include "support/scoped_frame_timers.h"

namespace {

class GlobalTimerTasksTest : public testing::Test {
 protected:
  ProbeLog log_;
  CTimerManager manager_;
  test_support::ScopedFrameTimers frame_timers_{manager_};
};

TEST_F(GlobalTimerTasksTest, StoppingARunningTaskEndsItAndClearsTheHoldersPointer) {
  auto owned = std::make_unique<ProbeTask>(log_);
  ASSERT_EQ(manager_.Add(owned.get(), 0, 0, 0), CTimerManager::kAdded);
  ProbeTask* task = owned.release();
  EXPECT_TRUE(IsTaskRunning(task));

  EXPECT_TRUE(StopTask(&task));
  EXPECT_EQ(task, nullptr);
  EXPECT_EQ(log_.stops, 1);
  manager_.Dispatch(1);
  EXPECT_TRUE(log_.deleted);
  EXPECT_TRUE(log_.updates.empty());
  // The holder reads null now: a second stop finds nothing to end.
  EXPECT_FALSE(StopTask(&task));
  EXPECT_EQ(log_.stops, 1);
}

TEST_F(GlobalTimerTasksTest, NullHoldersAndTasksOutsideTheManagerAreNotRunning) {
  EXPECT_FALSE(StopTask(static_cast<ProbeTask**>(nullptr)));
  ProbeTask loose(log_);
  EXPECT_FALSE(IsTaskRunning(&loose));
  ProbeTask* holder = &loose;
  EXPECT_FALSE(StopTask(&holder));
  EXPECT_EQ(holder, nullptr);
  EXPECT_EQ(log_.stops, 0);

  g_TimerManager = nullptr;
  EXPECT_FALSE(IsTaskRunning(&loose));
}

}  // namespace
