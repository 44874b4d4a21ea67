// The switch between window and full screen on a real X display (run under Xvfb): the menu
// command toggles, SDL's window follows, and a frame drawn in full screen is letterboxed.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/game_app.h"
#include "app/private_messages.h"
#include "platform/message_box.h"
#include "platform/screen_presenter.h"
#include "support/game_settings_files.h"
#include "support/log_capture.h"
#include "support/message_box_answers.h"
#include "support/png_file.h"
#include "support/temp_game_folder.h"
#include "support/test_window.h"

namespace {

constexpr uint32_t kBody = 0x3366CC;
constexpr uint32_t kCorner = 0xFFCC00;
constexpr int32_t kCornerSide = 32;

struct Shown {
  uint32_t sdl_flags = 0;
  uint8_t screen_mode = 0;
  int width = 0;
  int height = 0;
};

// What the screen shows after each step, taken on the main thread while the game runs.
class ScreenModeGame : public CGameApp {
 public:
  void RunOwnLoop() override {
    before = Facts();
    Toggle();
    full_screen = Facts();
    DrawFrame();
    plat::ScreenPresenter* presenter = plat::ScreenPresenter::Existing(GetMainWindow().GetHandle());
    if (presenter != nullptr) {
      presenter->Present();
      presenter->ReadBack(pixels, shown_width, shown_height);
    }
    same_mode_result = ChangeScreenMode(kScreenModeFullScreen, 32, 0);
    after_same_mode = Facts();
    Toggle();
    back = Facts();
  }

  void Toggle() { GetMainWindow().SendMessage(plat::WM_COMMAND, kCmdScreenModeToggle, 0); }

  Shown Facts() {
    Shown seen;
    SDL_Window* window = SDL_GetWindowFromID(GetMainWindow().GetHandle());
    if (window == nullptr) return seen;
    seen.sdl_flags = SDL_GetWindowFlags(window);
    SDL_GetWindowSize(window, &seen.width, &seen.height);
    seen.screen_mode = GetWindowSettings()[kWinScreenMode];
    return seen;
  }

  // The whole screen in one colour with a marked top-left corner, brought to the window.
  void DrawFrame() {
    CImageCanvasBase* frame = GetScreenManager().GetFrameImage();
    if (frame == nullptr) return;
    frame->GetImage()->FillRectArgb(0xFF000000 | kBody, nullptr);
    const plat::Rect corner{0, 0, kCornerSide, kCornerSide};
    frame->GetImage()->FillRectArgb(0xFF000000 | kCorner, &corner);
    frame->MarkDirty(nullptr);
    update_result = GetScreenManager().UpdateScreen();
  }

  Shown before, full_screen, after_same_mode, back;
  int same_mode_result = -1;
  uint32_t update_result = 99;
  std::vector<uint32_t> pixels;
  int32_t shown_width = 0;
  int32_t shown_height = 0;
};

class ScreenModeGuiTest : public WindowTestBase {
 protected:
  ScreenModeGuiTest() { test_support::WriteGameSettingsFiles(game_); }
  std::string CommandLine() const { return "/L" + game_.EnginePath(); }

  test_support::TempGameFolder game_;
  LogCapture log_;
  plat::ScopedMessageBoxAnswers answers_{&test_support::AgreeingAnswer};
};

constexpr uint32_t kFullScreenDesktop = SDL_WINDOW_FULLSCREEN_DESKTOP;

TEST_F(ScreenModeGuiTest, TheMenuCommandTogglesFullScreenAndTheFrameIsLetterboxed) {
  ScreenModeGame game;
  ASSERT_EQ(game.Run(CommandLine(), 1), 0);
  EXPECT_EQ(game.before.screen_mode, kScreenModeWindow);
  EXPECT_EQ(game.before.sdl_flags & kFullScreenDesktop, 0u);
  EXPECT_EQ(game.full_screen.screen_mode, kScreenModeFullScreen);
  EXPECT_EQ(game.full_screen.sdl_flags & kFullScreenDesktop, kFullScreenDesktop);
  EXPECT_EQ(game.same_mode_result, 0);
  EXPECT_EQ(game.after_same_mode.sdl_flags, game.full_screen.sdl_flags);
  EXPECT_EQ(game.back.screen_mode, kScreenModeWindow);
  EXPECT_EQ(game.back.sdl_flags & kFullScreenDesktop, 0u);
  EXPECT_EQ(game.back.width, 640);
  EXPECT_EQ(game.back.height, 480);

  // The 640 x 480 screen as large as the display allows, centred, black around it.
  EXPECT_EQ(game.update_result, 0u);
  const int32_t width = game.shown_width;
  const int32_t height = game.shown_height;
  ASSERT_EQ(game.pixels.size(), static_cast<size_t>(width) * static_cast<size_t>(height));
  ASSERT_GT(width, 640);
  auto at = [&](int32_t x, int32_t y) { return game.pixels[static_cast<size_t>(y * width + x)] & 0xFFFFFF; };
  int32_t shown_w = width;
  int32_t shown_h = height;
  if (int64_t{width} * 480 > int64_t{height} * 640) {
    shown_w = height * 640 / 480;
  } else {
    shown_h = width * 480 / 640;
  }
  const int32_t left = (width - shown_w) / 2;
  const int32_t top = (height - shown_h) / 2;
  const int32_t corner = kCornerSide * shown_w / 640;
  EXPECT_EQ(at(left + 2, top + 2), kCorner);
  EXPECT_EQ(at(left + corner - 3, top + corner - 3), kCorner);
  EXPECT_EQ(at(left + corner + 3, top + 2), kBody);
  EXPECT_EQ(at(left + shown_w / 2, top + shown_h / 2), kBody);
  EXPECT_EQ(at(left + shown_w - 2, top + shown_h - 2), kBody);
  if (top > 0) {
    EXPECT_EQ(at(width / 2, top - 1), 0u);
    EXPECT_EQ(at(width / 2, top + shown_h), 0u);
  }
  if (left > 0) {
    EXPECT_EQ(at(left - 1, height / 2), 0u);
    EXPECT_EQ(at(left + shown_w, height / 2), 0u);
  }
  EXPECT_TRUE(WritePng("full_screen.png", game.pixels, width, height));
}

}  // namespace
