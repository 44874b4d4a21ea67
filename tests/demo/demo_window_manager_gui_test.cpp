// The demo's window under a window manager (openbox, started on the test's display and ended with
// the test), sized and placed from outside as a player asks the window manager to. Maximized in
// one direction, and in the window manager's own full screen, the window shows the game's
// picture scaled into it and centred between black bars, and a click on "はじめから" where it
// shows starts the story; let go, the window takes its own size back. Moved by the player, the
// window's client area comes back to its place from full screen, inside the window manager's
// frame, and there again at the next start. The pictures are written as
// demo_window_manager_*.png into the build folder.
#include <SDL.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "app/framework/private_messages.h"
#include "demo_game_copy.h"
#include "demo_reader.h"
#include "demo_window.h"
#include "support/fixed_step_game.h"
#include "support/holds_within.h"
// After the engine's headers: the X headers' names would shadow some of theirs.
#include <SDL_syswm.h>
#include <X11/Xlib.h>

extern char** environ;

namespace {

using namespace demo_test;

using test_support::HoldsWithin;

// Openbox on the test's display for the life of the object, and the test's own connection to the
// display, the outside client that talks to the window manager about the game's window.
class WindowManager {
 public:
  WindowManager() : display_(XOpenDisplay(nullptr)) {
    if (display_ == nullptr) {
      failure_ = "no display to start the window manager on";
      return;
    }
    posix_spawn_file_actions_t output;
    posix_spawn_file_actions_init(&output);
    posix_spawn_file_actions_addopen(&output, STDOUT_FILENO, "openbox.log", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&output, STDOUT_FILENO, STDERR_FILENO);
    char* arguments[] = {const_cast<char*>("openbox"), nullptr};
    const int error = posix_spawnp(&pid_, "openbox", &output, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&output);
    if (error != 0) {
      pid_ = -1;
      failure_ = std::string("openbox cannot start (") + std::strerror(error) +
                 "); scripts/install-deps.sh installs it";
    } else if (!ManagesWindows()) {
      failure_ = "openbox did not take the display over within a minute (see openbox.log)";
    }
  }
  ~WindowManager() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      if (!HoldsWithin(60, [this] { return waitpid(pid_, nullptr, WNOHANG) == pid_; })) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
      }
    }
    if (display_ != nullptr) XCloseDisplay(display_);
  }
  WindowManager(const WindowManager&) = delete;
  WindowManager& operator=(const WindowManager&) = delete;

  const std::string& Failure() const { return failure_; }

  // The client area of the window as the display has it, on the screen.
  plat::Rect ClientArea(::Window window) const {
    XWindowAttributes attributes{};
    ::Window child = 0;
    plat::Point origin;
    XGetWindowAttributes(display_, window, &attributes);
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &origin.x, &origin.y, &child);
    return plat::Rect{origin.x, origin.y, origin.x + attributes.width, origin.y + attributes.height};
  }
  plat::Point ScreenSize() const {
    const int screen = DefaultScreen(display_);
    return plat::Point{DisplayWidth(display_, screen), DisplayHeight(display_, screen)};
  }
  // Whether the window shows inside a frame of the window manager's.
  bool Framed(::Window window) const {
    ::Window root = 0;
    ::Window parent = 0;
    ::Window* children = nullptr;
    unsigned int count = 0;
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display_, window, &attributes) == 0 || attributes.map_state != IsViewable) return false;
    if (XQueryTree(display_, window, &root, &parent, &children, &count) == 0) return false;
    if (children != nullptr) XFree(children);
    return parent != root;
  }
  plat::Point Pointer() const {
    ::Window root = 0;
    ::Window child = 0;
    plat::Point at;
    plat::Point in_window;
    unsigned int buttons = 0;
    XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &at.x, &at.y, &in_window.x, &in_window.y,
                  &buttons);
    return at;
  }
  // Moves the window's client area as the player drags it.
  void Move(::Window window, plat::Point origin) const {
    XMoveWindow(display_, window, origin.x, origin.y);
    XFlush(display_);
  }
  // Asks the window manager, as a pager does, to add or remove states of the window.
  void AskStates(::Window window, bool add, const char* state, const char* second_state = nullptr) const {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = add ? 1 : 0;
    event.xclient.data.l[1] = static_cast<long>(XInternAtom(display_, state, False));
    event.xclient.data.l[2] =
        second_state != nullptr ? static_cast<long>(XInternAtom(display_, second_state, False)) : 0;
    event.xclient.data.l[3] = 2;
    XSendEvent(display_, DefaultRootWindow(display_), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
    XFlush(display_);
  }

 private:
  // Once a window of the test's own shows in a frame. A window manager that is still starting
  // passes over the windows that ask to be shown meanwhile: the probe asks again until it shows.
  bool ManagesWindows() const {
    const ::Window probe = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 8, 8, 0, 0, 0);
    const bool managed = HoldsWithin(60, [&] {
      XMapWindow(display_, probe);
      XSync(display_, False);
      return Framed(probe);
    });
    XDestroyWindow(display_, probe);
    XSync(display_, False);
    return managed;
  }

  Display* display_;
  pid_t pid_ = -1;
  std::string failure_;
};

::Window XWindowOf(CGameApp& game) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  SDL_Window* window = SDL_GetWindowFromID(game.GetMainWindow().GetHandle());
  return window != nullptr && SDL_GetWindowWMInfo(window, &info) == SDL_TRUE ? info.info.x11.window : 0;
}

bool SdlHasSize(CGameApp& game, const plat::Rect& area) {
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(SDL_GetWindowFromID(game.GetMainWindow().GetHandle()), &width, &height);
  return width == area.Width() && height == area.Height();
}

// Where the game's 800 x 600 picture shows in a window of width x height: as large as it fits,
// centred.
plat::Rect PictureArea(std::int32_t width, std::int32_t height) {
  const std::int32_t shown_width = std::min(width, height * 800 / 600);
  const std::int32_t shown_height = shown_width * 600 / 800;
  const std::int32_t left = (width - shown_width) / 2;
  const std::int32_t top = (height - shown_height) / 2;
  return plat::Rect{left, top, left + shown_width, top + shown_height};
}

// A point of the game's picture where it shows in `area`.
plat::Point ShownAt(const plat::Rect& area, std::int32_t x, std::int32_t y) {
  return plat::Point{area.left + x * area.Width() / 800, area.top + y * area.Height() / 600};
}

bool Lit(std::uint32_t pixel) { return (pixel & 0xF0F0F0) != 0; }

class DemoWindowManagerGuiTest : public DemoGameCopyTest {
 protected:
  void SetUp() override {
    DemoGameCopyTest::SetUp();
    ASSERT_TRUE(window_manager_.Failure().empty()) << window_manager_.Failure();
  }

  WindowManager window_manager_;
};

struct HeldSize {
  const char* name;
  const char* state;
  bool covers_the_screen;
};

TEST_F(DemoWindowManagerGuiTest, TheWindowManagersSizeShowsThePictureCentredAndAClickWhereItShowsStartsTheStory) {
  const HeldSize sizes[] = {{"maximized_vertically", "_NET_WM_STATE_MAXIMIZED_VERT", false},
                            {"full_screen", "_NET_WM_STATE_FULLSCREEN", true}};
  for (const HeldSize& held : sizes) {
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
        window_manager_.AskStates(window, true, held.state);
        // The game reads the window manager's answer once SDL has it.
        const plat::Point screen = window_manager_.ScreenSize();
        seen = HoldsWithin(60, [&] {
          sized = window_manager_.ClientArea(window);
          SDL_PumpEvents();
          const bool held_size = held.covers_the_screen ? sized.Width() == screen.x && sized.Height() == screen.y
                                                        : sized.Width() == 800 && sized.Height() > 600;
          return held_size && SdlHasSize(game, sized);
        });
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
        // The player moves the window elsewhere.
        const plat::Rect first = window_manager_.ClientArea(window);
        placed = plat::Rect{first.left - 37, first.top + 23, first.right - 37, first.bottom + 23};
        window_manager_.Move(window, plat::Point{placed.left, placed.top});
        moved = HoldsWithin(60, [&] {
          plat::Point origin;
          SDL_PumpEvents();
          SDL_GetWindowPosition(sdl_window, &origin.x, &origin.y);
          return window_manager_.ClientArea(window) == placed && origin.x == placed.left && origin.y == placed.top;
        });
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
  // The next start.
  plat::Rect placed_again;
  {
    test_support::FixedStepGame run;
    run.SetLastFrame(kFramed + kStep);
    run.SetFrameObserver([&](int frame) {
      if (frame != kFramed) return;
      const ::Window window = XWindowOf(run.Game());
      ASSERT_TRUE(HoldsWithin(60, [&] { return window_manager_.Framed(window); }));
      placed_again = window_manager_.ClientArea(window);
      run.PlanEvent(frame + 1, WindowEvent(SDL_WINDOWEVENT_CLOSE));
    });
    EXPECT_EQ(run.Run(game_.HostPath()), 0);
  }
  EXPECT_EQ(placed_again.left, placed.left) << "the next start";
  EXPECT_EQ(placed_again.top, placed.top) << "the next start";
}

}  // namespace
