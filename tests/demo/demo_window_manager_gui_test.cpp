// The demo's window under a window manager (openbox, started on the test's display and ended with
// the test), sized and placed from outside as a player asks the window manager to. Maximized in
// one direction, and in the window manager's own full screen, the window shows the game's
// picture scaled into it and centred between black bars, and a click on "はじめから" where it
// shows starts the story; let go, the window takes its own size back. Moved by the player, the
// window's client area comes back to its place from full screen, inside the window manager's
// frame, and there again at the next start. The pictures are written as
// demo_window_manager_*.png into the build folder.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "app/framework/private_messages.h"
#include "demo_reader.h"
#include "demo_window.h"
#include "demo_window_manager.h"
#include "support/fixed_step_game.h"
#include "support/holds_within.h"

namespace {

using namespace demo_test;

using test_support::HoldsWithin;

TEST_F(DemoWindowManagerGuiTest, TheWindowManagersSizeShowsThePictureCentredAndAClickWhereItShowsStartsTheStory) {
  for (const HeldState& held : kHeldStates) {
    SCOPED_TRACE(held.name);
    const std::string png = std::string("demo_window_manager_") + held.name;
    test_support::FixedStepGame run;
    constexpr int kSized = 2 * kStep - 20;  // the title shows
    constexpr int kLooked = kSized + 5;
    constexpr int kClicked = 2 * kStep;
    constexpr int kStory = kClicked + kStep;
    run.PlanClick(kMovieSkip, kReadX, kReadY);
    run.SetLastFrame(kStory + kStep);
    ::Window window = 0;
    plat::Rect sized;
    bool seen = false;
    bool let_go = false;
    Shown title;
    Shown story;
    plat::Rect area;
    run.SetFrameObserver([&](int frame) {
      CGameApp& game = run.Game();
      if (frame == kSized) {
        window = XWindowOf(game);
        // The game reads the window manager's answer once SDL has it.
        seen = Hold(game, window, held, sized);
      }
      if (frame == kLooked) {
        title = ReadShown(game, png + "_title.png");
        area = PictureArea(title.width, title.height);
        const plat::Point start = ShownAt(area, kChoiceX, kTitleStartY);
        run.PlanClick(kClicked, start.x, start.y);
      }
      if (frame == kStory) {
        story = ReadShown(game, png + "_story.png");
        window_manager_.AskStates(window, false, held.state);
        let_go = HoldsWithin(60, [&] {
          const plat::Rect shown = window_manager_.ClientArea(window);
          return shown.Width() == 800 && shown.Height() == 600;
        });
        run.PlanEvent(frame + 1, WindowEvent(SDL_WINDOWEVENT_CLOSE));
      }
    });
    EXPECT_EQ(run.Run(game_.HostPath()), 0) << "the close box, answered yes, ends the game";
    ASSERT_TRUE(seen) << "the window manager's size " << sized.Width() << "x" << sized.Height();
    // The picture fills the window manager's size, centred between black bars.
    ASSERT_EQ(title.width, sized.Width());
    ASSERT_EQ(title.height, sized.Height());
    ASSERT_TRUE(area.top > 0 || area.left > 0);
    for (const plat::Point corner : {plat::Point{area.left, area.top}, plat::Point{area.right - 1, area.top},
                                     plat::Point{area.left, area.bottom - 1},
                                     plat::Point{area.right - 1, area.bottom - 1}}) {
      EXPECT_TRUE(Lit(title.At(corner.x, corner.y))) << "the picture's corner at " << corner.x << "," << corner.y;
    }
    if (area.top > 0) {
      for (const std::int32_t x : {area.left, area.left + area.Width() / 2, area.right - 1}) {
        EXPECT_EQ(title.At(x, area.top - 1), 0u) << "the bar above at " << x;
        EXPECT_EQ(title.At(x, area.bottom), 0u) << "the bar below at " << x;
      }
    }
    if (area.left > 0) {
      for (const std::int32_t y : {area.top, area.top + area.Height() / 2, area.bottom - 1}) {
        EXPECT_EQ(title.At(area.left - 1, y), 0u) << "the bar to the left at " << y;
        EXPECT_EQ(title.At(area.right, y), 0u) << "the bar to the right at " << y;
      }
    }
    const plat::Point moon = ShownAt(area, kMoonX, kMoonY);
    EXPECT_EQ(title.At(moon.x, moon.y), kMoonColour & 0xFFFFFF) << "the title's moon";
    ASSERT_EQ(story.width, sized.Width());
    const plat::Point lawn = ShownAt(area, kLawnX, kLawnY);
    EXPECT_EQ(story.At(lawn.x, lawn.y), kLawnColour & 0xFFFFFF) << "the click on はじめから started the story";
    EXPECT_TRUE(let_go) << "let go, the window takes its own size back";
  }
}

TEST_F(DemoWindowManagerGuiTest, APlaceOfThePlayersKeepsThroughFullScreenAndBackAndTheNextStart) {
  constexpr int kFramed = 30;
  constexpr int kMaximized = kFramed + 5;
  constexpr int kBack = kMaximized + 10;
  plat::Rect placed;
  bool moved = false;
  bool maximized = false;
  bool full_screen = false;
  bool back = false;
  plat::Point pointer;
  {
    test_support::FixedStepGame run;
    run.SetLastFrame(kBack + kStep);
    ::Window window = 0;
    run.SetFrameObserver([&](int frame) {
      CGameApp& game = run.Game();
      SDL_Window* sdl_window = SDL_GetWindowFromID(game.GetMainWindow().GetHandle());
      if (frame == kFramed) {
        window = XWindowOf(game);
        ASSERT_TRUE(HoldsWithin(60, [&] { return window_manager_.Framed(window); }));
        moved = MoveAsThePlayer(game, window, placed);
      }
      if (frame == kMaximized) {
        // The maximize box, which asks for full screen.
        window_manager_.AskStates(window, true, "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ");
        maximized = HoldsWithin(60, [&] {
          SDL_PumpEvents();
          return (SDL_GetWindowFlags(sdl_window) & SDL_WINDOW_MAXIMIZED) != 0;
        });
      }
      if (frame == kBack) {
        const plat::Point screen = window_manager_.ScreenSize();
        full_screen = IsFullScreen(game) && HoldsWithin(60, [&] {
                        const plat::Rect shown = window_manager_.ClientArea(window);
                        return shown.Width() == screen.x && shown.Height() == screen.y;
                      });
        game.GetMainWindow().SendMessage(plat::WM_COMMAND, kCmdScreenModeToggle, 0);
        back = HoldsWithin(60, [&] { return window_manager_.ClientArea(window) == placed; });
        pointer = window_manager_.Pointer();
        run.PlanEvent(frame + 1, WindowEvent(SDL_WINDOWEVENT_CLOSE));
      }
    });
    EXPECT_EQ(run.Run(game_.HostPath()), 0);
  }
  ASSERT_TRUE(moved) << "moved to " << placed.left << "," << placed.top;
  EXPECT_TRUE(maximized);
  EXPECT_TRUE(full_screen) << "the maximize box takes the game to full screen";
  EXPECT_TRUE(back) << "back from full screen at " << placed.left << "," << placed.top;
  // The demo puts the pointer in the middle of its picture after a switch, where the window is.
  EXPECT_EQ(pointer.x, placed.left + 400);
  EXPECT_EQ(pointer.y, placed.top + 300);
  const plat::Point kept = KeptWindowPlace(game_.HostPath());
  EXPECT_EQ(kept.x, placed.left);
  EXPECT_EQ(kept.y, placed.top);
  const FramedStart again = StartUntilFramed();
  EXPECT_EQ(again.result, 0);
  EXPECT_EQ(again.client.left, placed.left) << "the next start";
  EXPECT_EQ(again.client.top, placed.top) << "the next start";
}

}  // namespace
