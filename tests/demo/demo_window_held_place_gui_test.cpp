// The demo's window under a window manager (openbox, started on the test's display and ended with
// the test) keeps the place the player put it at through the states the window manager holds it
// in: its own full screen and a maximize in one direction, let go and taken again, and a quit
// inside them, bring the window, and the next start, back to the player's place. A place kept
// in USER.CFG whose title bar would lie above the screen comes back below the screen's top.
// The screens are written as demo_window_held_place_*.png into the build folder.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

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

TEST_F(DemoWindowManagerGuiTest, AKeptPlaceWhoseTitleBarWouldLieAboveTheScreenComesBackBelowItsTop) {
  KeepWindowPlace(game_.HostPath(), plat::Point{100, 0});
  const FramedStart start = StartUntilFramed("demo_window_held_place_title_bar.png");
  EXPECT_EQ(start.result, 0);
  ASSERT_GT(start.title_bar, 0) << "openbox puts a title bar above the window";
  EXPECT_EQ(start.client.left, 100);
  EXPECT_EQ(start.client.top, start.title_bar) << "the title bar just below the screen's top";
}

}  // namespace
