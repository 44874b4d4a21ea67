// The pointer the game puts on its picture (the engine call that built-in 583 reaches) in a
// window the window manager holds at its own size, the picture letterboxed into it, and in the
// game's own full screen, the picture scaled onto the display: the pointer stands where the
// picture shows the point, and the game reads it back there (what built-in 582 returns) once it
// has followed the pointer's motion. In full screen, hover follows each motion of a pointer that
// another program moves. The pictures are written into the build folder as
// demo_pointer_placed_*.png, those of the window with the display's pointer marked.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "demo_game_copy.h"
#include "demo_reader.h"
#include "demo_window.h"
#include "demo_window_manager.h"
#include "gfx/display/screen_output_place.h"
#include "support/fixed_step_game.h"
#include "support/holds_within.h"

namespace {

using namespace demo_test;

using test_support::HoldsWithin;

// A point of the picture that scaling lands between two of the window's pixels, beside the one
// that lands on a pixel of its own.
constexpr plat::Point kPlaced{400, 300};
constexpr plat::Point kBetweenPixels{401, 301};

// Marks the display's pointer on the picture read back, as a red cross.
void MarkPointer(Shown& shown, plat::Point at) {
  for (std::int32_t offset = -6; offset <= 6; ++offset) {
    for (const plat::Point mark : {plat::Point{at.x + offset, at.y}, plat::Point{at.x, at.y + offset}}) {
      if (mark.x < 0 || mark.y < 0 || mark.x >= shown.width || mark.y >= shown.height) continue;
      shown.pixels[static_cast<std::size_t>(mark.y) * static_cast<std::size_t>(shown.width) +
                   static_cast<std::size_t>(mark.x)] = 0xFFFF0000;
    }
  }
}

TEST_F(DemoWindowManagerGuiTest, ThePointerTheGamePutsStandsWhereThePictureShowsThePointAndReadsBackAsIt) {
  for (const HeldState& held : kHeldStates) {
    SCOPED_TRACE(held.name);
    test_support::FixedStepGame run;
    constexpr int kSized = 2 * kStep - 20;  // the title shows
    constexpr int kPut = kSized + 2;
    constexpr int kRead = kPut + 3;
    constexpr int kPutBetween = kRead + 1;
    constexpr int kReadBetween = kPutBetween + 3;
    run.PlanClick(kMovieSkip, kReadX, kReadY);
    run.SetLastFrame(kReadBetween + kStep);
    ::Window window = 0;
    plat::Rect sized;
    bool seen = false;
    plat::Point pointer{-1, -1};
    plat::Point read{-1, -1};
    plat::Point read_between{-1, -1};
    Shown shown;
    run.SetFrameObserver([&](int frame) {
      CGameApp& game = run.Game();
      if (frame == kSized) {
        window = XWindowOf(game);
        seen = Hold(game, window, held, sized);
      }
      if (frame == kPut) game.PutCursorInGame(kPlaced.x, kPlaced.y);
      if (frame == kRead) {
        pointer = window_manager_.Pointer();
        read = game.CursorInGame();
        shown = ReadShown(game);
        MarkPointer(shown, plat::Point{pointer.x - sized.left, pointer.y - sized.top});
        EXPECT_TRUE(WritePng(std::string("demo_pointer_placed_") + held.name + ".png", shown.pixels, shown.width,
                             shown.height));
      }
      if (frame == kPutBetween) game.PutCursorInGame(kBetweenPixels.x, kBetweenPixels.y);
      if (frame == kReadBetween) {
        read_between = game.CursorInGame();
        window_manager_.AskStates(window, false, held.state);
        run.PlanEvent(frame + 1, WindowEvent(SDL_WINDOWEVENT_CLOSE));
      }
    });
    EXPECT_EQ(run.Run(game_.HostPath()), 0) << "the close box, answered yes, ends the game";
    ASSERT_TRUE(seen) << "the window manager's size " << sized.Width() << "x" << sized.Height();
    const plat::Point shown_at = ShownAt(PictureArea(sized.Width(), sized.Height()), kPlaced.x, kPlaced.y);
    EXPECT_EQ(pointer.x, sized.left + shown_at.x) << "the display's pointer";
    EXPECT_EQ(pointer.y, sized.top + shown_at.y) << "the display's pointer";
    EXPECT_EQ(read.x, kPlaced.x) << "read back";
    EXPECT_EQ(read.y, kPlaced.y) << "read back";
    EXPECT_EQ(read_between.x, kBetweenPixels.x) << "read back";
    EXPECT_EQ(read_between.y, kBetweenPixels.y) << "read back";
  }
}

// The game's own full screen, which the window's maximize box asks for. Over the title's choices
// the row under the pointer shows hovered.
TEST_F(DemoGameCopyTest, InFullScreenThePointerPutReadsBackAsItselfAndHoverFollowsEachMotionOfThePointer) {
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  test_support::FixedStepGame run;
  constexpr int kMaximized = 10;
  constexpr int kPut = 2 * kStep - 20;  // the title shows
  constexpr int kMoved = kPut + 3;
  constexpr int kMovedAgain = kMoved + 3;
  constexpr int kLast = kMovedAgain + 3;
  run.PlanEvent(kMaximized, WindowEvent(SDL_WINDOWEVENT_MAXIMIZED));
  run.PlanClick(kMovieSkip, kReadX, kReadY);
  run.SetLastFrame(kLast + kStep);
  const plat::Point moves[] = {{kChoiceX, kTitleContinueY}, {kChoiceX, kTitleEndY}};
  bool full_screen = false;
  plat::Point read_put{-1, -1};
  plat::Point read_moved[2] = {{-1, -1}, {-1, -1}};
  // The rows of つづきから and おわる after each move.
  std::uint32_t rows[2][2] = {};
  // Another program moves the pointer into the middle of where the picture shows the point.
  const auto move_pointer = [display](CGameApp& game, plat::Point to) {
    const plat::Rect shown = ScreenRectOnOutput(game.GetScreenManager(), {to.x, to.y, to.x + 1, to.y + 1});
    XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, (shown.left + shown.right) / 2,
                 (shown.top + shown.bottom) / 2);
    XSync(display, False);
  };
  const auto read_rows = [](CGameApp& game, const std::string& png, std::uint32_t (&colours)[2]) {
    const Shown shown = ReadShown(game, png);
    for (int row = 0; row < 2; ++row) {
      const std::int32_t y = row == 0 ? kTitleContinueY : kTitleEndY;
      const plat::Rect at = ScreenRectOnOutput(game.GetScreenManager(), {kChoiceX, y, kChoiceX, y});
      if (!shown.pixels.empty()) colours[row] = shown.At(at.left, at.top);
    }
  };
  run.SetFrameObserver([&](int frame) {
    CGameApp& game = run.Game();
    if (frame == kPut) {
      full_screen = IsFullScreen(game);
      game.PutCursorInGame(kBetweenPixels.x, kBetweenPixels.y);
    }
    if (frame == kMoved) {
      read_put = game.CursorInGame();
      move_pointer(game, moves[0]);
    }
    if (frame == kMovedAgain) {
      read_moved[0] = game.CursorInGame();
      read_rows(game, "demo_pointer_placed_hover_continue.png", rows[0]);
      move_pointer(game, moves[1]);
    }
    if (frame == kLast) {
      read_moved[1] = game.CursorInGame();
      read_rows(game, "demo_pointer_placed_hover_end.png", rows[1]);
      run.PlanEvent(frame + 1, WindowEvent(SDL_WINDOWEVENT_CLOSE));
    }
  });
  EXPECT_EQ(run.Run(game_.HostPath()), 0) << "the close box, answered yes, ends the game";
  XCloseDisplay(display);
  ASSERT_TRUE(full_screen) << "the maximize box asks for full screen";
  EXPECT_EQ(read_put.x, kBetweenPixels.x) << "read back";
  EXPECT_EQ(read_put.y, kBetweenPixels.y) << "read back";
  constexpr std::uint32_t kAtRest = kChoiceItemColour & 0xFFFFFF;
  for (int move = 0; move < 2; ++move) {
    EXPECT_EQ(read_moved[move].x, moves[move].x) << "after move " << move;
    EXPECT_EQ(read_moved[move].y, moves[move].y) << "after move " << move;
    EXPECT_NE(rows[move][move], kAtRest) << "the row under the pointer shows hovered after move " << move;
    EXPECT_EQ(rows[move][1 - move], kAtRest) << "the other row rests after move " << move;
  }
}

}  // namespace
