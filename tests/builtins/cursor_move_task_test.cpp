// The cursor glide for the scripts: when it does nothing, what its end argument means and what it
// hands back.
#include "builtins/cursor_move_task.h"

#include <gtest/gtest.h>

#include "base/settings/framework_settings.h"
#include "base/time/timer_manager.h"
#include "support/fake_app_services.h"
#include "support/fake_clock.h"
#include "support/scoped_frame_timers.h"

namespace {

class CursorMoveTaskTest : public testing::Test {
 protected:
  ScopedFakeClock clock_;
  CTimerManager timers_;
  test_support::ScopedFrameTimers frame_timers_{timers_};
  test_support::FakeAppServices app_;
};

TEST_F(CursorMoveTaskTest, ACursorParkedInTheCornerOrTheSettingOffStartsNothing) {
  CCursorMotion* task = reinterpret_cast<CCursorMotion*>(&app_);
  app_.in_game = {639, 479};
  EXPECT_EQ(StartCursorMoveTask(100, 100, 500, false, 0, &task), 0);
  EXPECT_EQ(task, nullptr);
  EXPECT_EQ(timers_.GetCount(), 0u);

  app_.in_game = {10, 10};
  app_.window[kWinCursorMoves] = 0;
  for (const bool force : {false, true}) EXPECT_EQ(StartCursorMoveTask(100, 100, 500, force, 0, &task), 0);
  EXPECT_EQ(timers_.GetCount(), 0u);
  EXPECT_EQ(app_.cursor.x, 0);
}

TEST_F(CursorMoveTaskTest, ForceMovesAParkedCursorAndTheTaskGlidesToItsTarget) {
  app_.in_game = {639, 479};
  CCursorMotion* task = nullptr;
  ASSERT_EQ(StartCursorMoveTask(200, 100, 1000, true, 0, &task), 0);
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(task->GetTypeId(), 20000u);
  EXPECT_TRUE(timers_.Contains(task));
  timers_.Dispatch(1000);
  timers_.Dispatch(1500);
  EXPECT_EQ(app_.cursor.x, 100);
  EXPECT_EQ(app_.cursor.y, 50);
  timers_.Dispatch(2000);
  EXPECT_EQ(app_.cursor.x, 200);
  EXPECT_FALSE(timers_.Contains(task));
}

TEST_F(CursorMoveTaskTest, TheEndArgumentDecidesWhetherAnEarlyEndPutsTheCursorOnTheTarget) {
  struct Case {
    uint32_t end;
    int32_t x_after_end;
  };
  // 0 and anything unknown leave the cursor where the glide had it; 1 and 2 finish the move.
  for (const Case c : {Case{0, 100}, Case{1, 200}, Case{2, 200}, Case{3, 100}, Case{0xFFFFFFFF, 100}}) {
    app_.cursor = {0, 0};
    ASSERT_EQ(StartCursorMoveTask(200, 0, 1000, false, c.end), 0) << c.end;
    timers_.Dispatch(1000);
    timers_.Dispatch(1500);
    timers_.RemoveByKind(kTimedTaskCursorMove);
    EXPECT_EQ(app_.cursor.x, c.x_after_end) << c.end;
  }
}

}  // namespace
