// The cursor picture's frame by the time since its cycle started: forwards, and forwards and
// back with the ping-pong, where the last and the first frame are the turning points.
#include "base/input/cursor_image.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

CCursorImage ThreeFrames(bool ping_pong, uint32_t frame_time = 10) {
  return CCursorImage(CursorImageStrip{std::vector<uint32_t>(6, 0), 6, 1}, 3, frame_time, ping_pong, {0, 0});
}

TEST(CursorImageTest, TheFrameFollowsTheCycleForwardsOrForwardsAndBack) {
  const struct {
    bool ping_pong;
    uint32_t elapsed;
    uint32_t frame;
  } cases[] = {
      {false, 0, 0},  {false, 19, 1}, {false, 29, 2}, {false, 30, 0},  // the cycle starts again
      {true, 29, 2},  {true, 30, 1},                                   // turning at the last frame
      {true, 49, 0},  {true, 50, 0},  {true, 60, 1},                   // the first frame twice
      {true, 0xFFFFFFFF, 0},                                           // 45 ms into a cycle
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ThreeFrames(c.ping_pong).FrameAt(c.elapsed), c.frame) << c.ping_pong << " " << c.elapsed;
  }
  EXPECT_EQ(ThreeFrames(true).GetCycleLength(), 50u);
  EXPECT_EQ(ThreeFrames(false).GetCycleLength(), 30u);
}

TEST(CursorImageTest, AFrameTimeOfZeroStaysOnTheFirstFrameAndNoFramesCountAsOne) {
  EXPECT_EQ(ThreeFrames(true, 0).FrameAt(12345), 0u);
  const CCursorImage one(CursorImageStrip{{1, 2, 3, 4}, 2, 2}, 0, 10, true, {0, 0});
  EXPECT_EQ(one.GetFrameCount(), 1u);
  EXPECT_EQ(one.GetFrameWidth(), 2);
  EXPECT_EQ(one.FrameAt(15), 0u);
  EXPECT_EQ(one.FramePixels(0), (std::vector<uint32_t>{1, 2, 3, 4}));
}

TEST(CursorImageTest, AFrameIsCutFromTheStripRowByRow) {
  const CCursorImage two(CursorImageStrip{{1, 2, 3, 4, 5, 6, 7, 8}, 4, 2}, 2, 10, false, {1, 1});
  EXPECT_EQ(two.FramePixels(1), (std::vector<uint32_t>{3, 4, 7, 8}));
}

}  // namespace
