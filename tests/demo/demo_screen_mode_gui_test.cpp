// The demo in full screen and back, in a real window (under Xvfb) at a fixed frame step. The
// window's maximize box takes the game to full screen, where the opening movie fills the
// screen's picture area as the game's pictures do; a game left in full screen starts there again,
// the settings screen's screen-mode button brings it back into its window, and the next start
// comes up in the window. The key frames are written as demo_screen_mode_*.png into the build
// folder.
#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "demo_game_copy.h"
#include "demo_reader.h"
#include "demo_window.h"
#include "gfx/display/screen_output_place.h"
#include "support/fixed_step_game.h"
#include "support/input_events.h"
#include "support/log_capture.h"

namespace {

using namespace demo_test;

// A player's clicks at points of the game's screen. In full screen the game follows the
// display's own pointer, which the hand puts there (as the mouse does) the frame before the
// button goes down over the window, at the place the point is shown.
class Hand {
 public:
  explicit Hand(test_support::FixedStepGame& run) : run_(run) {}

  void Click(int frame, std::int32_t x, std::int32_t y) { clicks_.emplace(frame - 1, plat::Point{x, y}); }

  // From the frame observer: the clicks of the next frame.
  void AtFrame(int frame) {
    const auto [first, last] = clicks_.equal_range(frame);
    for (auto it = first; it != last; ++it) {
      CGameApp& game = run_.Game();
      const plat::Point point = it->second;
      if (!IsFullScreen(game)) {
        run_.PlanClick(frame + 1, point.x, point.y);
        continue;
      }
      game.PutCursorInGame(point.x, point.y);
      const plat::Rect shown = ScreenRectOnOutput(game.GetScreenManager(), {point.x, point.y, point.x, point.y});
      run_.PlanEvent(frame + 1, test_support::ButtonEvent(SDL_BUTTON_LEFT, true, shown.left, shown.top));
      run_.PlanEvent(frame + 2, test_support::ButtonEvent(SDL_BUTTON_LEFT, false, shown.left, shown.top));
    }
  }

 private:
  test_support::FixedStepGame& run_;
  std::multimap<int, plat::Point> clicks_;
};

class DemoScreenModeGuiTest : public DemoGameCopyTest {
 protected:
  LogCapture log_;
};

// The share of a grid of points over `area` that show something other than black.
double LitShare(const Shown& shown, const plat::Rect& area) {
  int lit = 0;
  int looked = 0;
  for (std::int32_t y = area.top + 2; y < area.bottom - 2; y += 8) {
    for (std::int32_t x = area.left + 2; x < area.right - 2; x += 8) {
      const std::uint32_t pixel = shown.At(x, y);
      lit += ((pixel >> 16 & 0xFF) > 0x30 || (pixel >> 8 & 0xFF) > 0x30 || (pixel & 0xFF) > 0x30) ? 1 : 0;
      ++looked;
    }
  }
  return looked > 0 ? static_cast<double>(lit) / looked : 0.0;
}

TEST_F(DemoScreenModeGuiTest, TheOpeningMovieInFullScreenFillsTheScreensPictureArea) {
  test_support::FixedStepGame run;
  constexpr int kMaximized = 10;
  constexpr int kLooked = 50;
  run.PlanEvent(kMaximized, WindowEvent(SDL_WINDOWEVENT_MAXIMIZED));
  run.PlanEvent(kLooked + 1, WindowEvent(SDL_WINDOWEVENT_CLOSE));
  run.SetLastFrame(kLooked + kStep);
  Shown shown;
  plat::Rect area;
  bool full_screen = false;
  // The movie keeps to the real clock on a thread of its own: the screen is read again and again
  // until the movie shows over the picture area, for a minute at most, however late a loaded
  // machine starts it.
  run.SetFrameObserver([&](int frame) {
    if (frame != kLooked) return;
    full_screen = IsFullScreen(run.Game());
    area = ScreenRectOnOutput(run.Game().GetScreenManager(), {0, 0, 800, 600});
    shown = ReadShown(run.Game());
    for (int tries = 0; tries < 6000 && !shown.pixels.empty() && LitShare(shown, area) <= 0.95; ++tries) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      shown = ReadShown(run.Game());
    }
    EXPECT_TRUE(WritePng("demo_screen_mode_movie.png", shown.pixels, shown.width, shown.height));
  });
  EXPECT_EQ(run.Run(game_.HostPath()), 0) << "the close box, answered yes, ends the game";
  EXPECT_FALSE(run.GaveUp()) << Joined(log_.Lines());
  ASSERT_TRUE(full_screen) << "the maximize box asks for full screen";
  ASSERT_FALSE(shown.pixels.empty());
  ASSERT_GT(shown.width, 800);
  // The picture area as the game's pictures take it: as large as the display allows.
  EXPECT_TRUE(area.Width() == shown.width || area.Height() == shown.height)
      << area.left << "," << area.top << " " << area.Width() << "x" << area.Height();
  EXPECT_GT(LitShare(shown, area), 0.95) << "the movie covers the picture area";
  const plat::Rect far_corner{area.right - area.Width() / 4, area.bottom - area.Height() / 4, area.right, area.bottom};
  EXPECT_GT(LitShare(shown, far_corner), 0.95) << "to its far corner";
  if (area.top > 0) {
    EXPECT_EQ(shown.At(shown.width / 2, area.top - 1), 0u) << "black bars beside it";
  }
  if (area.left > 0) {
    EXPECT_EQ(shown.At(area.left - 1, shown.height / 2), 0u) << "black bars beside it";
  }
}

TEST_F(DemoScreenModeGuiTest, FullScreenIsKeptForTheNextStartAndTheSettingsScreenBringsTheWindowBack) {
  // A player who maximizes the window and ends the game there.
  {
    test_support::FixedStepGame run;
    constexpr int kMaximized = 100;
    const int closing = 2 * kStep;
    run.PlanClick(kStep / 2, kReadX, kReadY);  // skips the opening movie
    run.PlanEvent(kMaximized, WindowEvent(SDL_WINDOWEVENT_MAXIMIZED));
    run.PlanEvent(closing, WindowEvent(SDL_WINDOWEVENT_CLOSE));
    run.SetLastFrame(closing + kStep);
    bool windowed_first = false;
    bool full_screen_then = false;
    run.SetFrameObserver([&](int frame) {
      if (frame == kMaximized - 1) windowed_first = !IsFullScreen(run.Game());
      if (frame == closing - 1) {
        full_screen_then = IsFullScreen(run.Game());
        ReadShown(run.Game(), "demo_screen_mode_maximized.png");
      }
    });
    EXPECT_EQ(run.Run(game_.HostPath()), 0);
    EXPECT_FALSE(run.GaveUp()) << Joined(log_.Lines());
    EXPECT_TRUE(windowed_first);
    EXPECT_TRUE(full_screen_then);
    EXPECT_EQ(KeptScreenMode(game_.HostPath()), kScreenModeFullScreen);
  }
  // The next start comes up in full screen; the settings screen's button brings the window back.
  {
    test_support::FixedStepGame run;
    Hand hand(run);
    run.PlanClick(kStep / 2, kReadX, kReadY);
    hand.Click(2 * kStep, kChoiceX, kTitleStartY);
    hand.Click(3 * kStep, kReadX, kReadY);
    hand.Click(4 * kStep, kSettingsButtonX, kSettingsButtonY);
    const int switching = 5 * kStep;
    hand.Click(switching, kScreenModeButtonX, kScreenModeButtonY);
    const int switched = switching + kStep / 2;
    hand.Click(6 * kStep, kCloseButtonX, kCloseButtonY);
    const int closing = 7 * kStep;
    run.PlanEvent(closing, WindowEvent(SDL_WINDOWEVENT_CLOSE));
    run.SetLastFrame(closing + kStep);
    bool full_screen_at_start = false;
    bool settings_in_full_screen = false;
    bool windowed_after = false;
    int width_after = 0;
    int height_after = 0;
    run.SetFrameObserver([&](int frame) {
      hand.AtFrame(frame);
      if (frame == kStep / 4) full_screen_at_start = IsFullScreen(run.Game());
      if (frame == switching - 1) {
        settings_in_full_screen = IsFullScreen(run.Game());
        ReadShown(run.Game(), "demo_screen_mode_settings.png");
      }
      if (frame == switched) {
        windowed_after = !IsFullScreen(run.Game());
        SDL_GetWindowSize(SDL_GetWindowFromID(run.Game().GetMainWindow().GetHandle()), &width_after, &height_after);
        ReadShown(run.Game(), "demo_screen_mode_window_again.png");
      }
    });
    EXPECT_EQ(run.Run(game_.HostPath()), 0);
    EXPECT_FALSE(run.GaveUp()) << Joined(log_.Lines());
    EXPECT_TRUE(full_screen_at_start) << "the game starts in the mode it was left in";
    EXPECT_TRUE(settings_in_full_screen);
    EXPECT_TRUE(windowed_after) << "the settings screen's screen-mode button";
    EXPECT_EQ(width_after, 800);
    EXPECT_EQ(height_after, 600);
    EXPECT_EQ(KeptScreenMode(game_.HostPath()), kScreenModeWindow);
  }
  // And the start after that in the window.
  {
    test_support::FixedStepGame run;
    constexpr int kLooked = 20;
    run.PlanEvent(kLooked + 1, WindowEvent(SDL_WINDOWEVENT_CLOSE));
    run.SetLastFrame(kLooked + kStep);
    bool full_screen = true;
    run.SetFrameObserver([&](int frame) {
      if (frame == kLooked) full_screen = IsFullScreen(run.Game());
    });
    EXPECT_EQ(run.Run(game_.HostPath()), 0);
    EXPECT_FALSE(full_screen);
  }
}

}  // namespace
