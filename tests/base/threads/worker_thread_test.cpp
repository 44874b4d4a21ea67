#include "base/threads/worker_thread.h"

#include <gtest/gtest.h>

#include <atomic>

#include "platform/system/thread_id.h"

namespace {

// A worker whose own Run waits for the stop request.
class WaitingWorker : public CWorkerThread {
 public:
  ~WaitingWorker() override { Stop(); }
  void Run() override {
    ran_on = plat::CurrentThreadId();
    WaitStopRequest(CEvent::kInfinite);
  }
  std::atomic<uint32_t> ran_on{0};
};

}  // namespace

TEST(WorkerThread, StartRunsTheThreadsOwnRunWhenNoBodyIsSet) {
  WaitingWorker worker;
  EXPECT_EQ(worker.GetThreadId(), CWorkerThread::kNoThread);
  EXPECT_EQ(worker.Stop(), 0u);
  ASSERT_EQ(worker.Start(), 0u);
  EXPECT_TRUE(worker.IsRunning());
  EXPECT_TRUE(worker.ShouldContinue());
  EXPECT_NE(worker.GetThreadId(), CWorkerThread::kNoThread);
  const uint32_t thread_id = worker.GetThreadId();
  EXPECT_NE(thread_id, plat::CurrentThreadId());
  EXPECT_EQ(worker.Stop(), 0u);
  EXPECT_EQ(worker.ran_on.load(), thread_id);
  EXPECT_FALSE(worker.IsRunning());
  EXPECT_EQ(worker.GetThreadId(), CWorkerThread::kNoThread);
}

TEST(WorkerThread, ABodyThatReturnsLeavesTheStopRequestSetAndTheThreadNotRunning) {
  CWorkerThread worker;
  CEvent finished;
  const CThreadDelegate body = MakeThreadDelegate([&] { finished.Set(); });
  ASSERT_EQ(worker.StartWith(body), 0u);
  ASSERT_EQ(finished.Wait(CEvent::kInfinite), CEvent::kSignalled);
  EXPECT_EQ(worker.Stop(), 0u);
  EXPECT_FALSE(worker.ShouldContinue());
  EXPECT_FALSE(worker.IsRunning());
  // The thread's own copy of the body is released when it ends.
  EXPECT_EQ(body.use_count(), 2);
  worker.SetBody(nullptr);
  EXPECT_EQ(body.use_count(), 1);
}

TEST(WorkerThread, RestartingARunningWorkerJoinsTheOldThreadFirst) {
  CWorkerThread worker;
  std::atomic<bool> old_thread_ended{false};
  std::atomic<int> new_bodies_that_saw_the_old_one_running{0};
  ASSERT_EQ(worker.StartWith(MakeThreadDelegate([&] {
              worker.WaitStopRequest(CEvent::kInfinite);
              old_thread_ended = true;
            })),
            0u);
  const uint32_t old_id = worker.GetThreadId();
  ASSERT_EQ(worker.StartWith(MakeThreadDelegate([&] {
              if (!old_thread_ended) ++new_bodies_that_saw_the_old_one_running;
              worker.WaitStopRequest(CEvent::kInfinite);
            })),
            0u);
  EXPECT_TRUE(old_thread_ended);
  EXPECT_TRUE(worker.ShouldContinue());
  EXPECT_TRUE(worker.IsRunning());
  EXPECT_NE(worker.GetThreadId(), old_id);
  EXPECT_EQ(worker.Stop(), 0u);
  EXPECT_EQ(new_bodies_that_saw_the_old_one_running, 0);
}

TEST(WorkerThread, AWorkerCannotJoinItself) {
  CWorkerThread worker;
  std::atomic<uint32_t> stop_from_inside{0};
  std::atomic<uint32_t> id_after{0};
  CEvent stopped_inside;
  ASSERT_EQ(worker.StartWith(MakeThreadDelegate([&] {
              stop_from_inside = worker.Stop();
              id_after = worker.GetThreadId();
              stopped_inside.Set();
            })),
            0u);
  const uint32_t id = worker.GetThreadId();
  ASSERT_EQ(stopped_inside.Wait(CEvent::kInfinite), CEvent::kSignalled);
  EXPECT_EQ(stop_from_inside.load(), 2u);
  EXPECT_EQ(id_after.load(), id);
  EXPECT_FALSE(worker.ShouldContinue());
  EXPECT_EQ(worker.Stop(), 0u);
  EXPECT_EQ(worker.GetThreadId(), CWorkerThread::kNoThread);
}

TEST(WorkerThread, StopJoinsEvenWhenTheCallerHoldsTheWorkersLockThroughStart) {
  CWorkerThread worker;
  std::atomic<int> runs{0};
  const CThreadDelegate body = MakeThreadDelegate([&] {
    ++runs;
    while (worker.ShouldContinue()) worker.WaitStopRequest(1);
  });
  for (int i = 0; i < 5; ++i) ASSERT_EQ(worker.StartWith(body), 0u);
  EXPECT_EQ(worker.Stop(), 0u);
  EXPECT_EQ(runs, 5);
}
