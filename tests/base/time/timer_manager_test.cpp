#include "base/time/timer_manager.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>

#include "support/fake_clock.h"
#include "support/probe_task.h"

namespace {

class TimerManagerTest : public testing::Test {
 protected:
  // Adds a new probe task; the manager owns it from then on.
  ProbeTask* AddProbe(ProbeLog& log, uint32_t delay, uint32_t period = 0, uint32_t repeat = 0, uint32_t kind = 0) {
    auto task = std::make_unique<ProbeTask>(log, kind);
    EXPECT_EQ(manager_.Add(task.get(), delay, period, repeat), CTimerManager::kAdded);
    return task.release();
  }

  uint32_t Now() { return clock_.PreciseMilliseconds(); }

  // Logs outlive every manager of a test, whose ends still delete tasks.
  ProbeLog& NewLog() { return logs_.emplace_back(); }

  ScopedFakeClock clock_;
  std::deque<ProbeLog> logs_;
  CTimerManager manager_;
};

}  // namespace

TEST_F(TimerManagerTest, AdvanceSkipsMissedPeriodsWhereDispatchCatchesUp) {
  const uint32_t t = Now() + 10;
  ProbeLog& advanced = NewLog();
  ProbeTask* advanced_task = AddProbe(advanced, 10, 40);
  manager_.Advance(t + 130);
  EXPECT_EQ(advanced.updates, (std::vector<uint32_t>{t + 130}));
  EXPECT_EQ(advanced_task->GetStartTime(), t + 170);

  CTimerManager catching_up;
  ProbeLog& dispatched = NewLog();
  auto task = std::make_unique<ProbeTask>(dispatched);
  ASSERT_EQ(catching_up.Add(task.get(), 10, 40, 0), 0u);
  ProbeTask* dispatched_task = task.release();
  catching_up.Dispatch(t + 130);
  EXPECT_EQ(dispatched.updates, (std::vector<uint32_t>(4, t + 130)));
  EXPECT_EQ(dispatched_task->GetStartTime(), t + 160);
}

TEST_F(TimerManagerTest, ATaskWithoutPeriodRunsOnEveryPassWhileDue) {
  ProbeLog& log = NewLog();
  AddProbe(log, 5);
  manager_.Dispatch(Now() + 4);
  manager_.Advance(Now() + 4);
  EXPECT_TRUE(log.updates.empty());
  manager_.Dispatch(Now() + 5);
  manager_.Dispatch(Now() + 6);
  manager_.Advance(Now() + 7);
  EXPECT_EQ(log.updates, (std::vector<uint32_t>{Now() + 5, Now() + 6, Now() + 7}));
}

TEST_F(TimerManagerTest, ARepeatCountEndsTheTaskAfterItsLastCall) {
  for (const bool dispatch : {false, true}) {
    ProbeLog& log = NewLog();
    ProbeTask* owner_variable = AddProbe(log, 0, 10, 3);
    owner_variable->SetOwnerReference(&owner_variable);
    for (uint32_t pass = 0; pass < 5; ++pass) {
      const uint32_t now = Now() + pass * 10;
      dispatch ? manager_.Dispatch(now) : manager_.Advance(now);
    }
    EXPECT_EQ(log.updates.size(), 3u);
    EXPECT_TRUE(log.deleted);
    EXPECT_EQ(log.stops, 0);
    EXPECT_EQ(owner_variable, nullptr);
    EXPECT_EQ(manager_.GetCount(), 0u);
  }
}

TEST_F(TimerManagerTest, ATaskThatReportsItsEndIsDeletedWithoutStop) {
  ProbeLog& log = NewLog();
  ProbeTask* owner_variable = AddProbe(log, 0);
  owner_variable->SetOwnerReference(&owner_variable);
  owner_variable->on_update = [](uint32_t) { return 1u; };
  manager_.Advance(Now());
  EXPECT_TRUE(log.deleted);
  EXPECT_EQ(log.stops, 0);
  EXPECT_EQ(owner_variable, nullptr);
}

TEST_F(TimerManagerTest, RemovedTasksAreStoppedAtOnceAndDeletedByTheNextPassEvenWhenPaused) {
  ProbeLog& log = NewLog();
  ProbeTask* owner_variable = AddProbe(log, 100);
  ProbeTask* task = owner_variable;
  owner_variable->SetOwnerReference(&owner_variable);
  EXPECT_TRUE(manager_.PauseTask(task));
  EXPECT_TRUE(manager_.Remove(task));
  EXPECT_EQ(owner_variable, nullptr);
  EXPECT_EQ(log.stops, 1);
  EXPECT_TRUE(task->IsFinished());
  EXPECT_FALSE(log.deleted);
  EXPECT_FALSE(manager_.Remove(task));
  EXPECT_EQ(manager_.FindByKind(0), nullptr);
  manager_.Advance(Now());
  EXPECT_TRUE(log.deleted);
  EXPECT_EQ(log.stops, 1);
  EXPECT_TRUE(log.updates.empty());
  EXPECT_EQ(manager_.GetCount(), 0u);
  EXPECT_FALSE(manager_.Contains(task));
}

TEST_F(TimerManagerTest, RemoveByKindEndsOnlyRunningTasksOfExactlyThatKind) {
  ProbeLog& fade = NewLog();
  ProbeLog& motion = NewLog();
  ProbeLog& other_motion = NewLog();
  AddProbe(fade, 0, 0, 0, kTimedTaskMusicFade);
  AddProbe(motion, 0, 0, 0, kTimedTaskMoveMotion);
  ProbeTask* second_motion = AddProbe(other_motion, 0, 0, 0, kTimedTaskMoveMotion);
  ASSERT_NE(manager_.FindByKind(kTimedTaskMoveMotion), nullptr);
  EXPECT_NE(manager_.FindByKind(kTimedTaskMoveMotion), second_motion);
  manager_.RemoveByKind(-1);
  EXPECT_EQ(fade.stops + motion.stops + other_motion.stops, 0);
  manager_.RemoveByKind(kTimedTaskMoveMotion);
  EXPECT_EQ(motion.stops, 1);
  EXPECT_EQ(other_motion.stops, 1);
  EXPECT_EQ(fade.stops, 0);
  EXPECT_EQ(manager_.FindByKind(kTimedTaskMoveMotion), nullptr);
  manager_.Dispatch(Now());
  EXPECT_EQ(fade.updates.size(), 1u);
  EXPECT_TRUE(motion.updates.empty());
  EXPECT_TRUE(motion.deleted);
  EXPECT_EQ(manager_.GetCount(), 1u);
}

TEST_F(TimerManagerTest, PauseAndResumeByKindMoveTheDueTimeByThePausedSpan) {
  ProbeLog& fade = NewLog();
  ProbeLog& motion = NewLog();
  ProbeTask* fade_task = AddProbe(fade, 10, 0, 0, kTimedTaskMusicFade);
  ProbeTask* motion_task = AddProbe(motion, 10, 0, 0, kTimedTaskMoveMotion);
  const uint32_t due = Now() + 10;
  manager_.PauseAll(kTimedTaskMusicFade);
  manager_.PauseAll(-1);
  clock_.Advance(50);
  manager_.Advance(0);
  EXPECT_TRUE(fade.updates.empty());
  EXPECT_TRUE(motion.updates.empty());
  manager_.ResumeAll(-1);
  EXPECT_EQ(motion_task->GetStartTime(), due + 50);
  EXPECT_TRUE(fade_task->IsPaused());
  clock_.Advance(30);
  manager_.ResumeAll(kTimedTaskMusicFade);
  EXPECT_EQ(fade_task->GetStartTime(), due + 80);
  manager_.ResumeAll(-1);  // nothing is paused any more: ignored
  EXPECT_EQ(fade_task->GetStartTime(), due + 80);
  manager_.Advance(due + 79);
  EXPECT_TRUE(fade.updates.empty());
  EXPECT_EQ(motion.updates.size(), 1u);
  manager_.Advance(due + 80);
  EXPECT_EQ(fade.updates.size(), 1u);
  EXPECT_TRUE(manager_.ResumeTask(fade_task));
  EXPECT_FALSE(manager_.PauseTask(nullptr));
}

TEST_F(TimerManagerTest, AddRefusesNullAndTasksThatAlreadyBelongToAManager) {
  EXPECT_EQ(manager_.Add(nullptr, 0, 0, 0), CTimerManager::kNullTask);
  ProbeLog& log = NewLog();
  ProbeTask* task = AddProbe(log, 30, 5, 2);
  EXPECT_EQ(manager_.Add(task, 0, 0, 0), CTimerManager::kAlreadyAdded);
  EXPECT_EQ(task->GetStartTime(), Now() + 30);
  EXPECT_EQ(task->GetInterval(), 5u);
  EXPECT_EQ(task->GetRemainingCalls(), 2u);
  EXPECT_EQ(manager_.GetCount(), 1u);
  CTimerManager other;
  EXPECT_EQ(other.Add(task, 0, 0, 0), CTimerManager::kAlreadyAdded);
  EXPECT_EQ(other.GetCount(), 0u);
  EXPECT_TRUE(manager_.Contains(task));
  EXPECT_FALSE(other.Contains(task));
}

TEST_F(TimerManagerTest, ATaskDueJustBeforeTheClockWrapsRunsAfterTheWrap) {
  for (const bool dispatch : {false, true}) {
    clock_.SetMilliseconds(0xFFFFFFE0u);
    ProbeLog& log = NewLog();
    AddProbe(log, 0x10, 0, 1);
    dispatch ? manager_.Dispatch(0x00000010u) : manager_.Advance(0x00000010u);
    EXPECT_EQ(log.updates, (std::vector<uint32_t>{0x10u}));
    EXPECT_TRUE(log.deleted);
  }
}

TEST_F(TimerManagerTest, SetDelayMovesTheDueTimeFromNow) {
  ProbeLog& log = NewLog();
  ProbeTask* task = AddProbe(log, 0);
  manager_.SetDelay(task, 25);
  manager_.Advance(Now() + 24);
  EXPECT_TRUE(log.updates.empty());
  manager_.Advance(Now() + 25);
  EXPECT_EQ(log.updates.size(), 1u);
}

TEST_F(TimerManagerTest, TasksAddedDuringAPassFirstRunOnTheNextPass) {
  ProbeLog& first = NewLog();
  ProbeLog& added = NewLog();
  ProbeTask* adder = AddProbe(first, 0);
  adder->on_update = [&](uint32_t) {
    if (added.updates.empty() && !added.deleted) AddProbe(added, 0, 0, 1);
    return 1u;
  };
  manager_.Advance(Now());
  EXPECT_TRUE(first.deleted);
  EXPECT_TRUE(added.updates.empty());
  EXPECT_EQ(manager_.GetCount(), 1u);
  manager_.Advance(Now());
  EXPECT_EQ(added.updates.size(), 1u);
  EXPECT_EQ(manager_.GetCount(), 0u);
}

TEST_F(TimerManagerTest, ATaskMayEndItsNeighboursFromItsUpdate) {
  ProbeLog& first = NewLog();
  ProbeLog& second = NewLog();
  ProbeTask* first_task = AddProbe(first, 0);
  ProbeTask* second_task = AddProbe(second, 0);
  first_task->on_update = [&](uint32_t) {
    manager_.Remove(second_task);
    return 0u;
  };
  manager_.Advance(Now());
  EXPECT_EQ(second.stops, 1);
  EXPECT_TRUE(second.deleted);
  EXPECT_TRUE(second.updates.empty());
  EXPECT_EQ(manager_.GetCount(), 1u);
}

TEST_F(TimerManagerTest, RemoveAllFromInsideUpdateEndsEveryTaskAndLeavesTheDeletingToThePasses) {
  for (const bool dispatch : {false, true}) {
    ProbeLog& before = NewLog();
    ProbeLog& caller = NewLog();
    ProbeLog& after = NewLog();
    ProbeTask* before_variable = AddProbe(before, 0, 10);
    ProbeTask* caller_task = AddProbe(caller, 0, 10);
    ProbeTask* after_variable = AddProbe(after, 0, 10);
    before_variable->SetOwnerReference(&before_variable);
    after_variable->SetOwnerReference(&after_variable);
    caller_task->on_update = [&](uint32_t) {
      manager_.RemoveAll();
      return 0u;
    };
    dispatch ? manager_.Dispatch(Now() + 25) : manager_.Advance(Now() + 25);
    EXPECT_EQ(before_variable, nullptr);
    EXPECT_EQ(after_variable, nullptr);
    EXPECT_EQ(before.stops + caller.stops + after.stops, 3);
    EXPECT_EQ(caller.updates.size(), 1u);
    EXPECT_TRUE(after.updates.empty());
    EXPECT_TRUE(after.deleted);
    manager_.Advance(Now());
    EXPECT_TRUE(before.deleted && caller.deleted);
    EXPECT_EQ(manager_.GetCount(), 0u);
  }
}

TEST_F(TimerManagerTest, RemoveAllOutsideAPassStopsAndDeletesAtOnce) {
  ProbeLog& running = NewLog();
  ProbeLog& ended = NewLog();
  ProbeTask* running_variable = AddProbe(running, 0);
  running_variable->SetOwnerReference(&running_variable);
  ProbeTask* ended_task = AddProbe(ended, 0);
  manager_.Remove(ended_task);
  manager_.RemoveAll();
  EXPECT_EQ(running_variable, nullptr);
  EXPECT_EQ(running.stops, 1);
  EXPECT_EQ(ended.stops, 1);
  EXPECT_EQ(running.updates.size() + ended.updates.size(), 0u);
  EXPECT_TRUE(running.deleted && ended.deleted);
  EXPECT_EQ(manager_.GetCount(), 0u);
}

TEST_F(TimerManagerTest, TheManagersEndDeletesTasksWithoutTouchingTheOwners) {
  ProbeLog& log = NewLog();
  ProbeTask* owner_variable = nullptr;
  {
    CTimerManager manager;
    auto task = std::make_unique<ProbeTask>(log);
    owner_variable = task.get();
    task->SetOwnerReference(&owner_variable);
    ASSERT_EQ(manager.Add(task.release(), 0, 0, 0), 0u);
  }
  EXPECT_TRUE(log.deleted);
  EXPECT_EQ(log.stops, 0);
  EXPECT_NE(owner_variable, nullptr);
}
