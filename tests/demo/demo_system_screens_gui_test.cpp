// The demo's system menu in a real window (under Xvfb) at a fixed frame step: in the story the
// menu key (M) slides the panel in from the right edge, its close item takes it away again and
// the story goes on to the end; its way back to the previous choice shows that choice again; its
// exit answered yes ends the game; the text history turned back over the choice shows no stale
// line. The pictures are written as demo_system_menu*.png, demo_back_to_choice*.png and
// demo_history_*.png into the build folder.
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
// The menu's items that ask first.
constexpr std::int32_t kMenuBackToChoiceItem = 2;

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

TEST_F(DemoSystemScreensGuiTest, TheMenusWayBackToThePreviousChoiceShowsThatChoiceAgain) {
  LogCapture log;
  test_support::FixedStepGame run;
  Reader reader(run);
  reader.ReadToTheChoice();
  const int choice = reader.Next() - 20;
  reader.Choose(kFirstChoiceY);
  reader.Read(1);
  reader.AskFromTheMenu(kMenuItemX, MenuItemY(kMenuBackToChoiceItem));
  const int back = reader.Next() - 20;
  reader.Choose(kSecondChoiceY);
  reader.Read(kLinesAtHome);
  run.PlanPicture(choice, "demo_back_to_choice_first.png");
  run.PlanPicture(back, "demo_back_to_choice.png");
  RunToTheEnd(run, reader, log, game_.HostPath());

  const std::vector<std::uint32_t>& before = run.PictureAt(choice);
  const std::vector<std::uint32_t>& again = run.PictureAt(back);
  ASSERT_FALSE(before.empty());
  ASSERT_FALSE(again.empty());
  EXPECT_NE(At(again, kMoonX, kMoonY), kMoonColour) << "not the title";
  EXPECT_EQ(At(again, kLawnX, kLawnY), kLawnColour) << "in the park";
  EXPECT_EQ(At(again, kChoiceX, kFirstChoiceY), At(before, kChoiceX, kFirstChoiceY)) << "the choice is open again";
  EXPECT_EQ(At(again, kChoiceX, kSecondChoiceY), At(before, kChoiceX, kSecondChoiceY));
}

TEST_F(DemoSystemScreensGuiTest, TheMenusExitAnsweredYesEndsTheGame) {
  LogCapture log;
  test_support::FixedStepGame run;
  Reader reader(run);
  reader.Choose(kTitleStartY);
  reader.Read(1);
  reader.AskFromTheMenu(kMenuItemX, MenuItemY(kMenuExitItem));
  const int answered = reader.Next() - kStep;
  // What a game that went on would read.
  reader.Read(kLinesBeforeChoice);
  run.SetLastFrame(reader.Next() + kStep);
  EXPECT_EQ(run.Run(game_.HostPath()), 0);
  EXPECT_FALSE(run.GaveUp()) << "the game did not go on to the title";
  EXPECT_LT(run.Frames(), answered + kStep / 2) << "it ended soon after the yes";
}

TEST_F(DemoSystemScreensGuiTest, TheHistoryTurnedBackOneRowLeavesTheChoicesRowEmpty) {
  LogCapture log;
  test_support::FixedStepGame run;
  Reader reader(run);
  reader.ReadToTheChoice();
  reader.Choose(kFirstChoiceY);
  // The log: the four lines, the choice, Mio's answer. The history opens on entries 2 to 5 and
  // one notch of the wheel turns it back to entries 1 to 4, the choice in the last row, where
  // the answer stood before.
  reader.Click(kHistoryButtonX, kHistoryButtonY);
  const int opened = reader.Next() - 20;
  reader.Wheel(1);
  const int turned = reader.Next() - 20;
  reader.Click(kHistoryCloseX, kHistoryCloseY);
  reader.Read(kLinesOnTheHill);
  run.PlanPicture(opened, "demo_history_opened.png");
  run.PlanPicture(turned, "demo_history_turned_back.png");
  RunToTheEnd(run, reader, log, game_.HostPath());

  const std::vector<std::uint32_t>& first = run.PictureAt(opened);
  const std::vector<std::uint32_t>& back = run.PictureAt(turned);
  ASSERT_FALSE(first.empty());
  ASSERT_FALSE(back.empty());
  // Letters in a row's text box: its white pixels (the box lets the dimmed page show through).
  const auto letters = [](const std::vector<std::uint32_t>& shown, int row) {
    const std::int32_t top = 71 + 140 * row;
    int ink = 0;
    for (std::int32_t y = top; y < top + 24; ++y) {
      for (std::int32_t x = 139; x < 751; ++x) {
        const std::uint32_t pixel = At(shown, x, y);
        ink += ((pixel >> 16) & 0xFF) > 0xC0 && ((pixel >> 8) & 0xFF) > 0xC0 && (pixel & 0xFF) > 0xC0 ? 1 : 0;
      }
    }
    return ink;
  };
  EXPECT_GT(letters(first, 3), 50) << "Mio's answer in the last row";
  EXPECT_EQ(letters(first, 2), 0) << "the choice's row";
  EXPECT_GT(letters(back, 0), 50);
  EXPECT_EQ(letters(back, 3), 0) << "the choice's row repeats no older line";
}

}  // namespace
