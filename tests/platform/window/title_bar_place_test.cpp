// A client area is placed so that the title bar above it can be taken hold of: whole, top to
// bottom, on a screen's work area and enough of its width on it; a place that allows it stays.
#include "platform/window/title_bar_place.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

using plat::FrameExtents;
using plat::Point;
using plat::Rect;

Rect Client(int32_t left, int32_t top) { return Rect{left, top, left + 800, top + 600}; }

constexpr int32_t kLeast = std::numeric_limits<int32_t>::min();
constexpr int32_t kGreatest = std::numeric_limits<int32_t>::max();

TEST(TitleBarPlaceTest, AClientAreaWhoseTitleBarLiesOffEveryScreenComesBackOntoTheNearestOne) {
  const FrameExtents frame{4, 24, 4, 4};
  const Rect screen{0, 0, 1024, 768};
  const Rect right_screen{1024, 0, 2048, 768};
  const Rect below_a_panel{0, 30, 1024, 768};
  const struct {
    const char* name;
    Rect client;
    FrameExtents frame;
    std::vector<Rect> work_areas;
    Point origin;
  } cases[] = {
      {"on the screen", Client(100, 100), frame, {screen}, Point{100, 100}},
      {"the title bar just on", Client(100, 24), frame, {screen}, Point{100, 24}},
      {"at the top edge", Client(100, 0), frame, {screen}, Point{100, 24}},
      {"above the screen", Client(100, -300), frame, {screen}, Point{100, 24}},
      {"under a panel", Client(100, 40), frame, {below_a_panel}, Point{100, 54}},
      {"below the screen", Client(100, 900), frame, {screen}, Point{100, 768}},
      {"off to the left", Client(-900, 100), frame, {screen}, Point{-740, 100}},
      {"off to the right", Client(1000, 100), frame, {screen}, Point{964, 100}},
      {"on the second screen", Client(1200, 30), frame, {screen, right_screen}, Point{1200, 30}},
      {"above the second screen", Client(1200, 0), frame, {screen, right_screen}, Point{1200, 24}},
      {"no title bar", Client(100, -300), FrameExtents{}, {screen}, Point{100, -300}},
      {"no screen", Client(100, -300), frame, {}, Point{100, -300}},
      // The frame reaches beyond the range around a client area at its ends.
      {"at the least place", Client(kLeast, kLeast), frame, {screen}, Point{-740, 24}},
      {"at the greatest place", Rect{kGreatest - 800, kGreatest - 600, kGreatest, kGreatest}, frame, {screen},
       Point{964, 768}},
  };
  for (const auto& placed : cases) {
    SCOPED_TRACE(placed.name);
    const Point origin = plat::TitleBarOnScreen(placed.client, placed.frame, placed.work_areas);
    EXPECT_EQ(origin.x, placed.origin.x);
    EXPECT_EQ(origin.y, placed.origin.y);
  }
}

}  // namespace
