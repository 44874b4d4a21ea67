// The demo's window under a window manager (openbox, started on the test's display and ended with
// the test) keeps the place the player put it at through the states the window manager holds it
// in: its own full screen and a maximize in one direction, let go and taken again, and a quit
// inside them, bring the window, and the next start, back to the player's place. A place kept
// in USER.CFG whose title bar would lie above the screen comes back below the screen's top, also
// under fluxbox, which tells of its frame only once the window shows; one beyond the desktop comes
// back onto it from full screen. The program moves its framed window where it asks, the title bar
// on the screen. The screens are written as demo_window_held_place_*.png into the build folder.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
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

TEST_F(DemoWindowManagerGuiTest, APlaceOfThePlayersKeepsThroughTheWindowManagersStatesAndAQuitInsideThem) {
  for (const HeldState& held : kHeldStates) {
    SCOPED_TRACE(held.name);
    CopyBuiltDemo(std::getenv("KESTRUNE_TOOLS_DIR"), game_);
    constexpr int kFramed = 30;
    constexpr int kHeld = kFramed + 10;
    constexpr int kLetGo = kHeld + 10;
    constexpr int kHeldAgain = kLetGo + 10;
    constexpr int kQuit = kHeldAgain + 10;
    plat::Rect placed;
    bool moved = false;
    int held_times = 0;
    bool back = false;
    {
      test_support::FixedStepGame run;
      run.SetLastFrame(kQuit + kStep);
      ::Window window = 0;
      const auto hold = [&] {
        plat::Rect sized;
        if (Hold(run.Game(), window, held, sized)) ++held_times;
      };
      run.SetFrameObserver([&](int frame) {
        if (frame == kFramed) {
          window = XWindowOf(run.Game());
          ASSERT_TRUE(HoldsWithin(60, [&] { return window_manager_.Framed(window); }));
          moved = MoveAsThePlayer(run.Game(), window, placed);
        }
        if (frame == kHeld || frame == kHeldAgain) hold();
        if (frame == kLetGo) {
          window_manager_.AskStates(window, false, held.state);
          back = HoldsWithin(60, [&] { return window_manager_.ClientArea(window) == placed; });
        }
        if (frame == kQuit) {
          WriteScreenPng(std::string("demo_window_held_place_") + held.name + ".png");
          run.PlanEvent(frame + 1, WindowEvent(SDL_WINDOWEVENT_CLOSE));
        }
      });
      EXPECT_EQ(run.Run(game_.HostPath()), 0);
    }
    ASSERT_TRUE(moved) << "moved to " << placed.left << "," << placed.top;
    EXPECT_EQ(held_times, 2) << "the window manager held the window, let it go and held it again";
    EXPECT_TRUE(back) << "let go at " << placed.left << "," << placed.top;
    const plat::Point kept = KeptWindowPlace(game_.HostPath());
    EXPECT_EQ(kept.x, placed.left) << "kept for the next start";
    EXPECT_EQ(kept.y, placed.top) << "kept for the next start";
    const FramedStart again = StartUntilFramed();
    EXPECT_EQ(again.result, 0);
    EXPECT_EQ(again.client.left, placed.left) << "the next start";
    EXPECT_EQ(again.client.top, placed.top) << "the next start";
    EXPECT_GE(again.client.top, again.title_bar) << "the title bar on the screen";
  }
}

// Openbox tells of the frame it will give a window before the window shows, fluxbox only after.
class DemoWindowManagersGuiTest : public testing::WithParamInterface<const char*>, public DemoWindowManagerGuiTest {
 protected:
  DemoWindowManagersGuiTest() : DemoWindowManagerGuiTest(GetParam()) {}
};

INSTANTIATE_TEST_SUITE_P(WindowManagers, DemoWindowManagersGuiTest, testing::Values("openbox", "fluxbox"));

TEST_P(DemoWindowManagersGuiTest, AKeptPlaceWhoseTitleBarWouldLieAboveTheScreenComesBackBelowItsTop) {
  KeepWindowPlace(game_.HostPath(), plat::Point{100, 0});
  const FramedStart start = StartUntilFramed(std::string("demo_window_held_place_title_bar_") + GetParam() + ".png");
  EXPECT_EQ(start.result, 0);
  ASSERT_GT(start.title_bar, 0) << "the window manager puts a title bar above the window";
  EXPECT_EQ(start.client.left, 100);
  EXPECT_EQ(start.client.top, start.title_bar) << "the title bar just below the screen's top";
}

TEST_P(DemoWindowManagersGuiTest, AShownFramedWindowThatTheProgramMovesStandsWhereItAsksTheTitleBarOnTheScreen) {
  constexpr int kFramed = 30;
  constexpr int kLast = kFramed + 1;
  const plat::Point asked[] = {{150, 120}, {150, 0}};
  plat::Rect client[2];
  std::int32_t title_bar = 0;
  test_support::FixedStepGame run;
  run.SetLastFrame(kLast + kStep);
  run.SetFrameObserver([&](int frame) {
    if (frame != kFramed) return;
    const ::Window window = XWindowOf(run.Game());
    ASSERT_TRUE(HoldsWithin(60, [&] { return window_manager_.Framed(window) && FrameTop(window) > 0; }));
    title_bar = FrameTop(window);
    plat::Window* platform_window = run.Game().GetMainWindow().GetPlatformWindow();
    for (int place = 0; place < 2; ++place) {
      platform_window->Move(asked[place].x, asked[place].y);
      const plat::Point expected{asked[place].x, std::max(asked[place].y, title_bar)};
      HoldsWithin(60, [&] {
        client[place] = window_manager_.ClientArea(window);
        return client[place].left == expected.x && client[place].top == expected.y;
      });
    }
    WriteScreenPng(std::string("demo_window_held_place_moved_") + GetParam() + ".png");
    run.PlanEvent(frame + 1, WindowEvent(SDL_WINDOWEVENT_CLOSE));
  });
  EXPECT_EQ(run.Run(game_.HostPath()), 0);
  ASSERT_GT(title_bar, 0);
  EXPECT_EQ(client[0].left, 150);
  EXPECT_EQ(client[0].top, 120);
  EXPECT_EQ(client[1].left, 150);
  EXPECT_EQ(client[1].top, title_bar) << "the title bar just below the screen's top";
}

// USER.CFG may hold any place: one at either end of the range is read at the desktop's edge, and
// the window that comes back from full screen stands on the screen with its title bar.
TEST_F(DemoWindowManagerGuiTest, AKeptPlaceBeyondTheDesktopComesBackOntoItFromFullScreen) {
  constexpr std::int32_t kLeast = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kGreatest = std::numeric_limits<std::int32_t>::max();
  for (const std::int32_t kept : {kLeast, kGreatest}) {
    SCOPED_TRACE(kept);
    KeepWindowPlace(game_.HostPath(), plat::Point{kept, kept}, kScreenModeFullScreen);
    constexpr int kShown = 30;
    constexpr int kBack = kShown + 1;
    bool full_screen = false;
    plat::Rect client;
    std::int32_t title_bar = 0;
    test_support::FixedStepGame run;
    run.SetLastFrame(kBack + kStep);
    run.SetFrameObserver([&](int frame) {
      CGameApp& game = run.Game();
      if (frame == kShown) {
        full_screen = IsFullScreen(game);
        game.GetMainWindow().SendMessage(plat::WM_COMMAND, kCmdScreenModeToggle, 0);
      }
      if (frame == kBack) {
        const ::Window window = XWindowOf(game);
        ASSERT_TRUE(HoldsWithin(60, [&] { return window_manager_.Framed(window) && FrameTop(window) > 0; }));
        client = window_manager_.ClientArea(window);
        title_bar = FrameTop(window);
        WriteScreenPng(std::string("demo_window_held_place_beyond_") + (kept < 0 ? "least" : "greatest") + ".png");
        run.PlanEvent(frame + 1, WindowEvent(SDL_WINDOWEVENT_CLOSE));
      }
    });
    EXPECT_EQ(run.Run(game_.HostPath()), 0);
    EXPECT_TRUE(full_screen);
    const plat::Point screen = window_manager_.ScreenSize();
    if (kept == kLeast) {
      EXPECT_EQ(client.left, 0) << "at the desktop's top left corner";
      EXPECT_EQ(client.top, title_bar) << "at the desktop's top left corner";
    } else {
      EXPECT_LT(client.left, screen.x) << "at the desktop's bottom right corner, on it";
      EXPECT_LT(client.top, screen.y) << "at the desktop's bottom right corner, on it";
    }
    EXPECT_GE(client.top, title_bar) << "the title bar on the screen";
  }
}

}  // namespace
