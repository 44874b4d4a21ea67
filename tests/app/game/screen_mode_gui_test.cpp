// The switch between window and full screen on a real X display (run under Xvfb): the menu
// command toggles, SDL's window follows, and a frame drawn in full screen is letterboxed; the
// full-screen menu is drawn over the frame and a click on an item sends its command. A window
// dragged to a size the game did not give it shows the frame letterboxed into that size while
// it has it, and takes the game's size back.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "app/framework/private_messages.h"
#include "app/game/game_app.h"
#include "platform/window/menu_overlay.h"
#include "platform/window/message_queue.h"
#include "platform/window/screen_presenter.h"
#include "platform/window/system_message_box.h"
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

// Opens the full-screen menu over a drawn frame by releasing Alt, clicks its first item with
// synthetic mouse events and reads the screen back with the menu open and after it closed.
class MenuGame : public ScreenModeGame {
 public:
  void RunOwnLoop() override {
    SetMenuState(kMenuSave, true);
    Toggle();
    DrawFrame();
    const plat::WindowId window = GetMainWindow().GetHandle();
    GetAppInfo().menu_id = 101;
    GetMainWindow().SendMessage(plat::WM_ACTIVATEAPP, 1, 0);
    GetMainWindow().SendMessage(plat::WM_SYSKEYUP, plat::VK_MENU, 0);
    opened = plat::MenuOverlay::IsOpen(window);
    loop_ran = IsMenuWindowOpen() && IsMenuOpen();
    ReadBack(window, open_pixels);
    ClickAt(window, kItemX, kItemY);
    for (int round = 0; round < 4000 && commands.empty(); ++round) {
      PumpMessages();
      SDL_Delay(5);
    }
    PumpMessages();
    closed = !plat::MenuOverlay::IsOpen(window);
    loop_ended = !IsMenuWindowOpen() && !IsMenuOpen();
    ReadBack(window, closed_pixels);
    Toggle();
  }

  int OnMenuCommand(MessageBlock& block) override {
    if ((block.wparam & 0xFFFF) != kCmdScreenModeToggle) commands.push_back(block.wparam & 0xFFFF);
    return ScreenModeGame::OnMenuCommand(block);
  }

  void ReadBack(plat::WindowId window, std::vector<uint32_t>& out) {
    if (plat::ScreenPresenter* presenter = plat::ScreenPresenter::Existing(window)) {
      presenter->ReadBack(out, shown_width, shown_height);
    }
  }

  static void ClickAt(plat::WindowId window, int x, int y) {
    SDL_Event event{};
    event.motion = SDL_MouseMotionEvent{SDL_MOUSEMOTION, 0, window, 0, 0, x, y, 0, 0};
    SDL_PushEvent(&event);
    for (const uint32_t type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
      event = SDL_Event{};
      event.button.type = type;
      event.button.windowID = window;
      event.button.button = SDL_BUTTON_LEFT;
      event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
      event.button.clicks = 1;
      event.button.x = x;
      event.button.y = y;
      SDL_PushEvent(&event);
    }
  }

  static void PumpMessages() {
    plat::Message message;
    while (plat::PeekMessage(message, true)) plat::DispatchMessage(message);
  }

  // Inside the first item of the bar (the save command).
  static constexpr int kItemX = 16;
  static constexpr int kItemY = 8;
  bool opened = false;
  bool loop_ran = false;
  bool closed = false;
  bool loop_ended = false;
  std::vector<uint32_t> commands;
  std::vector<uint32_t> open_pixels;
  std::vector<uint32_t> closed_pixels;
};

// The frame as ScreenModeGame draws it, shown in a width x height output: the 640 x 480 screen as
// large as the output allows, centred, black around it.
void ExpectLetterboxed(const std::vector<uint32_t>& pixels, int32_t width, int32_t height) {
  ASSERT_EQ(pixels.size(), static_cast<size_t>(width) * static_cast<size_t>(height));
  auto at = [&](int32_t x, int32_t y) { return pixels[static_cast<size_t>(y * width + x)] & 0xFFFFFF; };
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
}

// The window dragged to sizes the game did not give it, as a window manager sizes it: what it
// shows while it has each size, and its size once the game has read its messages.
class DraggedWindowGame : public ScreenModeGame {
 public:
  struct Size {
    int width;
    int height;
  };
  // Wider and smaller than the game's 640 x 480, and taller than its shape.
  static constexpr Size kDragged[] = {{1000, 700}, {480, 360}, {640, 600}};

  struct Seen {
    std::vector<uint32_t> pixels;
    int32_t width = 0;
    int32_t height = 0;
    Shown after;
  };

  void RunOwnLoop() override {
    SDL_Window* window = SDL_GetWindowFromID(GetMainWindow().GetHandle());
    if (window == nullptr) return;
    for (const Size& size : kDragged) {
      SDL_SetWindowSize(window, size.width, size.height);
      Seen seen;
      DrawFrame();
      if (plat::ScreenPresenter* presenter = plat::ScreenPresenter::Existing(GetMainWindow().GetHandle())) {
        presenter->ReadBack(seen.pixels, seen.width, seen.height);
      }
      // The game asks for its size back; the display answers in its own time.
      for (int round = 0; round < 4000 && !HasGameSize(); ++round) {
        MenuGame::PumpMessages();
        SDL_Delay(5);
      }
      seen.after = Facts();
      dragged.push_back(std::move(seen));
    }
  }

  bool HasGameSize() {
    const Shown now = Facts();
    return now.width == 640 && now.height == 480;
  }

  std::vector<Seen> dragged;
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
  ASSERT_GT(game.shown_width, 640);
  ExpectLetterboxed(game.pixels, game.shown_width, game.shown_height);
  EXPECT_TRUE(WritePng("full_screen.png", game.pixels, game.shown_width, game.shown_height));
}

TEST_F(ScreenModeGuiTest, AWindowDraggedToAnotherSizeShowsTheFrameLetterboxedAndTakesTheGamesSizeBack) {
  DraggedWindowGame game;
  ASSERT_EQ(game.Run(CommandLine(), 1), 0);
  ASSERT_EQ(game.dragged.size(), std::size(DraggedWindowGame::kDragged));
  for (size_t index = 0; index < game.dragged.size(); ++index) {
    const DraggedWindowGame::Size& size = DraggedWindowGame::kDragged[index];
    const DraggedWindowGame::Seen& seen = game.dragged[index];
    const std::string name = "dragged_window_" + std::to_string(size.width) + "x" + std::to_string(size.height);
    SCOPED_TRACE(name);
    EXPECT_EQ(seen.width, size.width);
    EXPECT_EQ(seen.height, size.height);
    ExpectLetterboxed(seen.pixels, seen.width, seen.height);
    EXPECT_TRUE(WritePng(name + ".png", seen.pixels, seen.width, seen.height));
    EXPECT_EQ(seen.after.width, 640);
    EXPECT_EQ(seen.after.height, 480);
    EXPECT_EQ(seen.after.screen_mode, kScreenModeWindow);
  }
}

TEST_F(ScreenModeGuiTest, TheFullScreenMenuIsDrawnOverTheFrameAndSendsTheClickedCommand) {
  MenuGame game;
  ASSERT_EQ(game.Run(CommandLine(), 1), 0);
  const int32_t width = game.shown_width;
  const int32_t height = game.shown_height;
  const size_t size = static_cast<size_t>(width) * static_cast<size_t>(height);
  ASSERT_EQ(game.open_pixels.size(), size);
  ASSERT_EQ(game.closed_pixels.size(), size);
  EXPECT_TRUE(WritePng("full_screen_menu.png", game.open_pixels, width, height));
  EXPECT_TRUE(WritePng("full_screen_menu_closed.png", game.closed_pixels, width, height));
  auto at = [&](const std::vector<uint32_t>& pixels, int32_t x, int32_t y) {
    return pixels[static_cast<size_t>(y * width + x)] & 0xFFFFFF;
  };
  auto is_light_grey = [](uint32_t pixel) {
    return (pixel & 0xFF) > 0xC0 && ((pixel >> 8) & 0xFF) > 0xC0 && ((pixel >> 16) & 0xFF) > 0xC0;
  };

  EXPECT_TRUE(game.opened);
  EXPECT_TRUE(game.loop_ran);
  // The bar runs across the top of the display; the frame shows below it as before.
  EXPECT_TRUE(is_light_grey(at(game.open_pixels, width - 4, 2)));
  EXPECT_TRUE(is_light_grey(at(game.open_pixels, 2, 2)));
  EXPECT_EQ(at(game.open_pixels, width / 2, height / 2), kBody);
  EXPECT_EQ(at(game.open_pixels, width / 2, height - 40), at(game.closed_pixels, width / 2, height - 40));

  // The click chose the first item: its command was sent once and the bar is gone.
  EXPECT_EQ(game.commands, std::vector<uint32_t>{40007});
  EXPECT_TRUE(game.closed);
  EXPECT_TRUE(game.loop_ended);
  EXPECT_FALSE(is_light_grey(at(game.closed_pixels, width - 4, 2)));
  EXPECT_EQ(at(game.closed_pixels, width / 2, height / 2), kBody);
}

}  // namespace
