// The demo's system menu in a real window (under Xvfb) at a fixed frame step: in the story the
// menu key (M) slides the panel in from the right edge, its close item takes it away again and
// the story goes on to the end. The menu and the page after it are written as
// demo_system_menu*.png into the build folder.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "demo_game_copy.h"
#include "demo_reader.h"
#include "support/fixed_step_game.h"
#include "support/log_capture.h"
#include "support/test_window.h"

namespace {

using namespace demo_test;

// Beside the panel, on the park's lawn.
constexpr std::int32_t kLawnBesideMenuX = 560;

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
  run.PlanClick(frame, kMenuItemX, MenuItemY(kMenuCloseItem));
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
  EXPECT_EQ(At(shown, kMenuPlateX, MenuItemY(kMenuHistoryItem)), kMenuPlateColour)
      << "the history item rests on the panel";
  EXPECT_EQ(At(shown, kMenuPlateX, MenuItemY(kMenuCloseItem)), kMenuPlateColour) << "the close item";
  EXPECT_EQ(At(shown, kLawnBesideMenuX, kLawnY), kLawnColour) << "the park beside the panel";
  const std::vector<std::uint32_t>& mid = run.PictureAt(sliding);
  ASSERT_FALSE(mid.empty());
  EXPECT_NE(At(mid, kMenuPlateX, MenuItemY(kMenuHistoryItem)), kMenuPlateColour) << "still on its way in";
  const std::vector<std::uint32_t>& after = run.PictureAt(closed);
  ASSERT_FALSE(after.empty());
  EXPECT_NE(At(after, kMenuPlateX, MenuItemY(kMenuHistoryItem)), kMenuPlateColour) << "the menu is gone";
}

}  // namespace
