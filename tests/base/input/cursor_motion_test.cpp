// The timed cursor motion, driven by a timer manager with explicit times.
#include "base/input/cursor_motion.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "base/time/timer_manager.h"
#include "support/fake_clock.h"

namespace {

class FakeHost : public CursorMotionHost {
 public:
  bool IsActive() const override { return active; }
  plat::Point GameToScreen(plat::Point point) const override { return plat::Offset(point, plat::Point{100, 50}); }
  plat::Point GetCursorPos() const override { return cursor; }
  void SetCursorPos(plat::Point point) override {
    cursor = point;
    moves.push_back(point);
  }

  bool active = true;
  plat::Point cursor{100, 50};
  std::vector<plat::Point> moves;
};

bool operator==(plat::Point a, plat::Point b) { return a.x == b.x && a.y == b.y; }

TEST(CursorMotionTest, TheCursorFollowsTheCurveToItsTarget) {
  ScopedFakeClock clock;
  struct Case {
    double curve;
    int32_t x_at_half;
  };
  // From (0, 0) to (400, 200) of the game screen in 1000 ms; halfway the curve decides.
  for (const Case& c : {Case{0, 200}, Case{2, 100}, Case{-2, 300}}) {
    SCOPED_TRACE(c.curve);
    FakeHost host;
    CTimerManager timers;
    ASSERT_EQ(CCursorMotion::Start(timers, host, 400, 200, 1000, c.curve, kCursorMotionWhileActive), 0);
    timers.Dispatch(5000);
    EXPECT_TRUE(host.cursor == (plat::Point{100, 50}));
    timers.Dispatch(5500);
    EXPECT_EQ(host.cursor.x, 100 + c.x_at_half);
    timers.Dispatch(7000);
    EXPECT_TRUE(host.cursor == (plat::Point{500, 250}));
    EXPECT_EQ(timers.FindByKind(kTimedTaskCursorMove), nullptr);
  }
}

TEST(CursorMotionTest, AnInactiveApplicationMovesTheCursorOnlyInModeTwo) {
  FakeHost host;
  host.active = false;
  CTimerManager timers;
  EXPECT_EQ(CCursorMotion::Start(timers, host, 10, 10, 500, 0, kCursorMotionStopOnTarget), -1);
  EXPECT_TRUE(host.moves.empty());
  CCursorMotion* started = reinterpret_cast<CCursorMotion*>(&host);
  EXPECT_EQ(CCursorMotion::Start(timers, host, 10, 10, 500, 0, kCursorMotionAlways, &started), 0);
  EXPECT_EQ(started, nullptr);  // moved at once: no task runs
  EXPECT_TRUE(host.cursor == (plat::Point{110, 60}));
  EXPECT_EQ(timers.FindByKind(kTimedTaskCursorMove), nullptr);
}

TEST(CursorMotionTest, ANewMotionReplacesTheRunningOneAndStoppingPutsTheCursorOnItsTarget) {
  ScopedFakeClock clock;
  for (const uint8_t mode : {kCursorMotionWhileActive, kCursorMotionStopOnTarget}) {
    FakeHost host;
    CTimerManager timers;
    CCursorMotion::Start(timers, host, 0, 0, 1000, 0, mode);
    CCursorMotion* started = nullptr;
    CCursorMotion::Start(timers, host, 300, 0, 1000, 0, mode, &started);
    EXPECT_EQ(started, timers.FindByKind(kTimedTaskCursorMove));
    timers.Dispatch(1000);
    timers.Dispatch(1500);
    EXPECT_EQ(host.cursor.x, 250);
    timers.RemoveByKind(kTimedTaskCursorMove);
    // Mode 0 leaves the cursor where the motion had it.
    EXPECT_EQ(host.cursor.x, mode == kCursorMotionWhileActive ? 250 : 400) << static_cast<int>(mode);
  }
}

// The way from one end of the range toward the other is wider than a coordinate.
TEST(CursorMotionTest, AMotionTowardTheEndsOfTheRangeGoesStraightThere) {
  ScopedFakeClock clock;
  constexpr int32_t kLeast = std::numeric_limits<int32_t>::min();
  constexpr int32_t kGreatest = std::numeric_limits<int32_t>::max();
  const struct {
    plat::Point from;
    uint32_t duration;
    uint32_t elapsed;
    plat::Point along;
  } cases[] = {
      {{-100, 100}, 1000, 500, {1073741773, -1073741749}},
      {{kLeast, kGreatest}, 2000000000, 1500000000, {1073741823, -1073741786}},
  };
  for (const auto& motion : cases) {
    SCOPED_TRACE(motion.duration);
    FakeHost host;
    host.cursor = motion.from;
    CTimerManager timers;
    // Toward (kGreatest, kLeast) of the game screen, which lies at (kGreatest, kLeast + 50).
    ASSERT_EQ(CCursorMotion::Start(timers, host, kGreatest, kLeast, motion.duration, 0, kCursorMotionWhileActive), 0);
    timers.Dispatch(5000);
    timers.Dispatch(5000 + motion.elapsed);
    EXPECT_EQ(host.cursor.x, motion.along.x);
    EXPECT_EQ(host.cursor.y, motion.along.y);
    timers.Dispatch(5000 + motion.duration);
    EXPECT_TRUE(host.cursor == (plat::Point{kGreatest, kLeast + 50}));
  }
}

}  // namespace
