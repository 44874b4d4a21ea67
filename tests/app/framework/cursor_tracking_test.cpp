// The cursor's place in the game screen (800 x 600) and its edge zone.
#include "app/framework/cursor_tracking.h"

#include <gtest/gtest.h>

namespace {

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;

TEST(CursorTrackingTest, FullScreenGivesTheEdgeTheCursorTouches) {
  struct Case {
    plat::Point on_monitor;
    int32_t x;
    int32_t y;
    uint8_t edge;
  };
  for (const Case& c : {Case{{400, 300}, 400, 300, 0}, Case{{400, 0}, 400, 0, 8}, Case{{400, 599}, 400, 599, 2},
                        Case{{0, 300}, 0, 300, 4}, Case{{799, 300}, 799, 300, 6}, Case{{0, 0}, 0, 0, 8},
                        Case{{800, 300}, -1, -1, 8}}) {
    const CursorPlace place = PlaceCursorInFullScreen(c.on_monitor, kWidth, kHeight, nullptr, kWidth, kHeight);
    EXPECT_EQ(place.x, c.x) << c.on_monitor.x << "," << c.on_monitor.y;
    EXPECT_EQ(place.y, c.y);
    EXPECT_EQ(place.edge, c.edge);
    EXPECT_EQ(place.over, c.x >= 0);
  }
}

TEST(CursorTrackingTest, AScaledFullScreenMapsTheDisplayedRectangleAndMarksTheBars) {
  // 800 x 600 shown at 1440 x 1080 in the middle of a 1920 x 1080 monitor.
  const plat::Rect displayed{240, 0, 1680, 1080};
  struct Case {
    plat::Point on_monitor;
    int32_t x;
    int32_t y;
    uint8_t edge;
  };
  for (const Case& c : {Case{{960, 540}, 400, 300, 0}, Case{{240, 540}, 0, 300, 4}, Case{{1679, 540}, 799, 300, 6},
                        Case{{100, 540}, -2, 300, 8}, Case{{1800, 1079}, -2, 599, 8}}) {
    const CursorPlace place = PlaceCursorInFullScreen(c.on_monitor, 1920, 1080, &displayed, kWidth, kHeight);
    EXPECT_EQ(place.x, c.x) << c.on_monitor.x << "," << c.on_monitor.y;
    EXPECT_EQ(place.y, c.y);
    EXPECT_EQ(place.edge, c.edge);
  }
}

TEST(CursorTrackingTest, InFullScreenAPointPutOnTheMonitorIsPlacedAtItselfAndTheMonitorsMiddleAtTheScreensMiddle) {
  const plat::Rect wide{240, 0, 1680, 1080};
  const plat::Rect tall{0, 32, 1280, 992};
  struct Case {
    const char* name;
    FullScreenLayout layout;
  };
  for (const Case& c : {Case{"a mode of its own", {{1920, 1080}, {kWidth, kHeight}, nullptr, {kWidth, kHeight}}},
                        Case{"scaled wide", {{1920, 1080}, {1920, 1080}, &wide, {kWidth, kHeight}}},
                        Case{"scaled tall", {{1280, 1024}, {1280, 1024}, &tall, {kWidth, kHeight}}},
                        Case{"the screen's size", {{kWidth, kHeight}, {kWidth, kHeight}, nullptr, {kWidth, kHeight}}}}) {
    for (int32_t y = 0; y < kHeight; y += 23) {
      for (int32_t x = 0; x < kWidth; x += 17) {
        const CursorPlace place = PlaceCursorOnMonitor(MonitorPointOfGame({x, y}, c.layout), c.layout);
        ASSERT_TRUE(place.over && place.x == x && place.y == y) << c.name << ": " << x << "," << y;
      }
    }
    const CursorPlace middle = PlaceCursorOnMonitor({c.layout.monitor.x / 2, c.layout.monitor.y / 2}, c.layout);
    EXPECT_EQ(middle.x, kWidth / 2) << c.name;
    EXPECT_EQ(middle.y, kHeight / 2) << c.name;
  }
}

TEST(CursorTrackingTest, AWindowGivesTheKeypadDigitOfTheSideTheCursorLeftBy) {
  struct Case {
    int32_t x;
    int32_t y;
    uint8_t edge;
  };
  for (const Case& c : {Case{-5, -5, 7}, Case{400, -1, 8}, Case{900, -3, 9}, Case{-1, 300, 4}, Case{800, 300, 6},
                        Case{-1, 650, 1}, Case{400, 600, 2}, Case{820, 601, 3}, Case{797, 300, 6}, Case{2, 300, 4}}) {
    plat::PointerReading pointer;
    pointer.x = c.x;
    pointer.y = c.y;
    pointer.seen = c.x < 0 || c.y < 0 || c.x >= kWidth || c.y >= kHeight;
    // A pointer last seen inside that has left the window counts by its nearest side.
    const CursorPlace place = PlaceCursorInWindow(pointer, kWidth, kHeight, true, 0);
    EXPECT_FALSE(place.over);
    EXPECT_EQ(place.x, -1);
    EXPECT_EQ(place.edge, c.edge) << c.x << "," << c.y;
    // Staying outside keeps the edge it left by.
    EXPECT_EQ(PlaceCursorInWindow(pointer, kWidth, kHeight, false, 7).edge, 7);
  }
  plat::PointerReading inside;
  inside.x = 10;
  inside.y = 20;
  inside.seen = true;
  const CursorPlace place = PlaceCursorInWindow(inside, kWidth, kHeight, false, 4);
  EXPECT_TRUE(place.over);
  EXPECT_EQ(place.x, 10);
  EXPECT_EQ(place.y, 20);
  EXPECT_EQ(place.edge, 0);
}

TEST(CursorTrackingTest, TheTopRowShowsTheMenuAfterTheDelayAndLeavingItHidesIt) {
  constexpr int32_t kBar = 22;
  constexpr uint32_t kDelay = 300;
  TopRowMenu state;
  // Resting on the top row: nothing until the delay has passed, then the menu once.
  EXPECT_EQ(StepTopRowMenu(state, {10, 0}, kWidth, kBar, false, 1000, kDelay), TopRowMenuStep::kNone);
  EXPECT_EQ(StepTopRowMenu(state, {400, -3}, kWidth, kBar, false, 1299, kDelay), TopRowMenuStep::kNone);
  EXPECT_EQ(StepTopRowMenu(state, {400, 0}, kWidth, kBar, false, 1300, kDelay), TopRowMenuStep::kShow);
  // Leaving the row starts the wait again.
  EXPECT_EQ(StepTopRowMenu(state, {10, 0}, kWidth, kBar, false, 2000, kDelay), TopRowMenuStep::kNone);
  EXPECT_EQ(StepTopRowMenu(state, {10, 1}, kWidth, kBar, false, 2100, kDelay), TopRowMenuStep::kNone);
  EXPECT_EQ(StepTopRowMenu(state, {10, 0}, kWidth, kBar, false, 2350, kDelay), TopRowMenuStep::kNone);
  EXPECT_EQ(StepTopRowMenu(state, {kWidth, 0}, kWidth, kBar, false, 2700, kDelay), TopRowMenuStep::kNone);

  struct Case {
    plat::Point cursor;
    TopRowMenuStep step;
  };
  const Case shown[] = {
      {{10, kBar - 1}, TopRowMenuStep::kOverMenu},
      {{-1, 300}, TopRowMenuStep::kOverMenu},
      {{kWidth, 300}, TopRowMenuStep::kOverMenu},
      {{10, kBar}, TopRowMenuStep::kHide},
  };
  for (const Case& each : shown) {
    EXPECT_EQ(StepTopRowMenu(state, each.cursor, kWidth, kBar, true, 3000, kDelay), each.step)
        << each.cursor.x << "," << each.cursor.y;
  }
}

}  // namespace
