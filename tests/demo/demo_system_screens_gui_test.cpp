// The demo's system menu in a real window (under Xvfb) at a fixed frame step: in the story the
// menu key (M) slides the panel in from the right edge, its close item takes it away again and
// the story goes on to the end. The menu and the page after it are written as
// demo_system_menu*.png into the build folder.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "demo_game_copy.h"
#include "support/fixed_step_game.h"
#include "support/log_capture.h"
#include "support/test_window.h"

namespace {

// The title's choices and the story's first choice item.
constexpr std::int32_t kChoiceX = 400;
constexpr std::int32_t kTitleStartY = 192;
constexpr std::int32_t kTitleEndY = 248;
constexpr std::int32_t kFirstChoiceY = 206;
constexpr std::int32_t kReadX = 400;
constexpr std::int32_t kReadY = 320;
// The menu's panel: the base from x 614, items of 160 x 32 from (624, 40) every 48 pixels, whose
// resting plate colour shows left of the item's dot; the close item is the eleventh.
constexpr std::int32_t kPlateX = 628;
constexpr std::int32_t kHistoryItemY = 40 + 48 * 3 + 16;
constexpr std::int32_t kCloseItemX = 700;
constexpr std::int32_t kCloseItemY = 40 + 48 * 10 + 16;
constexpr std::uint32_t kPlateColour = 0xFF2A3A60;
// Beside the panel, on the park's lawn.
constexpr std::int32_t kLawnX = 560;
constexpr std::int32_t kLawnY = 420;
constexpr std::uint32_t kLawnColour = 0xFF5C7A3A;

constexpr int kStep = 120;

std::uint32_t At(const std::vector<std::uint32_t>& shown, std::int32_t x, std::int32_t y) {
  return shown[static_cast<std::size_t>(y * 800 + x)] | 0xFF000000;
}

class DemoSystemScreensGuiTest : public DemoGameCopyTest {};

TEST_F(DemoSystemScreensGuiTest, TheMenuKeySlidesTheMenuInAndItsCloseItemTakesItAway) {
  LogCapture log;
  test_support::FixedStepGame run;
  // A click skips the opening movie.
  run.PlanClick(kStep / 2, kReadX, kReadY);
  int frame = 2 * kStep;
  run.PlanClick(frame, kChoiceX, kTitleStartY);
  frame += kStep;
  run.PlanClick(frame, kReadX, kReadY);
  frame += kStep;
  run.PlanKeyPress(frame, SDL_SCANCODE_M, SDLK_m);
  // Mid-slide, then open.
  const int sliding = frame + 4;
  const int open = frame + kStep / 2;
  run.PlanPicture(sliding, "demo_system_menu_sliding.png");
  run.PlanPicture(open, "demo_system_menu.png");
  frame += kStep;
  run.PlanClick(frame, kCloseItemX, kCloseItemY);
  const int closed = frame + kStep / 2;
  run.PlanPicture(closed, "demo_system_menu_closed.png");
  frame += kStep;
  // The rest of the story: three lines, the choice, six lines on the hill, then the title.
  for (int line = 0; line < 3; ++line, frame += kStep) run.PlanClick(frame, kReadX, kReadY);
  run.PlanClick(frame, kChoiceX, kFirstChoiceY);
  frame += kStep;
  for (int line = 0; line < 6; ++line, frame += kStep) run.PlanClick(frame, kReadX, kReadY);
  frame += kStep;
  run.PlanClick(frame, kChoiceX, kTitleEndY);
  run.SetLastFrame(frame + kStep);

  EXPECT_EQ(run.Run(game_.HostPath()), 0) << "おわる ends the game";
  EXPECT_FALSE(run.GaveUp());
  EXPECT_TRUE(run.AllPicturesWritten());

  const std::vector<std::uint32_t>& shown = run.PictureAt(open);
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(At(shown, kPlateX, kHistoryItemY), kPlateColour) << "the history item rests on the panel";
  EXPECT_EQ(At(shown, kPlateX, kCloseItemY), kPlateColour) << "the close item";
  EXPECT_EQ(At(shown, kLawnX, kLawnY), kLawnColour) << "the park beside the panel";
  const std::vector<std::uint32_t>& mid = run.PictureAt(sliding);
  ASSERT_FALSE(mid.empty());
  EXPECT_NE(At(mid, kPlateX, kHistoryItemY), kPlateColour) << "still on its way in";
  const std::vector<std::uint32_t>& after = run.PictureAt(closed);
  ASSERT_FALSE(after.empty());
  EXPECT_NE(At(after, kPlateX, kHistoryItemY), kPlateColour) << "the menu is gone";
}

}  // namespace
