// The demo's window under a window manager: openbox (or another) started on the test's display for
// the life of an object, with the test's own connection to the display as the outside client that
// sizes, places and reads the game's window as a player or a pager does, and where the game's
// picture shows in a window the window manager holds at its own size.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/game/game_app.h"
#include "base/settings/framework_settings.h"
#include "demo_game_copy.h"
#include "demo_reader.h"
#include "demo_window.h"
#include "platform/system/geometry.h"
#include "settings_writer.h"
#include "support/fixed_step_game.h"
#include "support/holds_within.h"
#include "support/png_file.h"
#include "support/spawned_process.h"
#include "support/temp_game_folder.h"
// After the engine's headers: the X headers' names would shadow some of theirs.
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace demo_test {

// A window manager (the program named, openbox unless another is) on the test's display for the
// life of the object, with a home folder of its own for what it keeps, and the test's own
// connection to the display, the outside client that talks to the window manager about the
// game's window.
class WindowManager {
 public:
  explicit WindowManager(const std::string& program = "openbox") : display_(XOpenDisplay(nullptr)) {
    if (display_ == nullptr) {
      failure_ = "no display to start the window manager on";
      return;
    }
    const std::string log = program + ".log";
    // Fluxbox would set the desktop's background through a helper that, without a picture setter
    // on the machine, shows a window of its own over the screen: the background is left alone.
    home_.WriteFile(".fluxbox/overlay", "background: unset\n");
    process_.emplace(std::vector<std::string>{program}, log, std::vector<std::string>{"HOME=" + home_.HostPath()});
    if (!process_->Started()) {
      failure_ = program + " cannot start (" + std::strerror(process_->Error()) + "); scripts/install-deps.sh installs it";
    } else if (!ManagesWindows()) {
      failure_ = program + " did not take the display over within a minute (see " + log + ")";
    }
  }
  ~WindowManager() {
    process_.reset();
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
    const bool managed = test_support::HoldsWithin(60, [&] {
      XMapWindow(display_, probe);
      XSync(display_, False);
      return Framed(probe);
    });
    XDestroyWindow(display_, probe);
    XSync(display_, False);
    return managed;
  }

  test_support::TempGameFolder home_;
  Display* display_;
  std::optional<test_support::SpawnedProcess> process_;
  std::string failure_;
};

inline ::Window XWindowOf(CGameApp& game) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  SDL_Window* window = SDL_GetWindowFromID(game.GetMainWindow().GetHandle());
  return window != nullptr && SDL_GetWindowWMInfo(window, &info) == SDL_TRUE ? info.info.x11.window : 0;
}

inline bool SdlHasSize(CGameApp& game, const plat::Rect& area) {
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(SDL_GetWindowFromID(game.GetMainWindow().GetHandle()), &width, &height);
  return width == area.Width() && height == area.Height();
}

// Where the game's 800 x 600 picture shows in a window of width x height: as large as it fits,
// centred.
inline plat::Rect PictureArea(std::int32_t width, std::int32_t height) {
  const std::int32_t shown_width = std::min(width, height * 800 / 600);
  const std::int32_t shown_height = shown_width * 600 / 800;
  const std::int32_t left = (width - shown_width) / 2;
  const std::int32_t top = (height - shown_height) / 2;
  return plat::Rect{left, top, left + shown_width, top + shown_height};
}

// A point of the game's picture where it shows in `area`.
inline plat::Point ShownAt(const plat::Rect& area, std::int32_t x, std::int32_t y) {
  return plat::Point{area.left + x * area.Width() / 800, area.top + y * area.Height() / 600};
}

inline bool Lit(std::uint32_t pixel) { return (pixel & 0xF0F0F0) != 0; }

// The height of the frame that the window manager puts above the window's client area, as it
// tells on the window (_NET_FRAME_EXTENTS, read on a connection of its own); 0 while it tells
// of none.
inline std::int32_t FrameTop(::Window window) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 0;
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long left_over = 0;
  unsigned char* data = nullptr;
  std::int32_t top = 0;
  if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_FRAME_EXTENTS", False), 0, 4, False,
                         XA_CARDINAL, &type, &format, &count, &left_over, &data) == Success &&
      data != nullptr && type == XA_CARDINAL && format == 32 && count == 4) {
    // Listed left, right, top, bottom.
    top = static_cast<std::int32_t>(reinterpret_cast<const long*>(data)[2]);
  }
  if (data != nullptr) XFree(data);
  XCloseDisplay(display);
  return top;
}

// The whole screen, frames and all, written as a PNG; false when it cannot be read or written.
inline bool WriteScreenPng(const std::string& path) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return false;
  const int screen = DefaultScreen(display);
  const int width = DisplayWidth(display, screen);
  const int height = DisplayHeight(display, screen);
  XImage* image = XGetImage(display, DefaultRootWindow(display), 0, 0, static_cast<unsigned int>(width),
                            static_cast<unsigned int>(height), AllPlanes, ZPixmap);
  std::vector<std::uint32_t> pixels;
  if (image != nullptr) {
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y)));
    }
    XDestroyImage(image);
  }
  XCloseDisplay(display);
  return !pixels.empty() && WritePng(path, pixels, width, height);
}

// The states in which the window manager holds the window at a size of its own: one direction
// maximized (the game's 800 x 600 window held taller), and its own full screen.
struct HeldState {
  const char* name;
  const char* state;
  bool covers_the_screen;
};
inline constexpr HeldState kHeldStates[] = {{"maximized_vertically", "_NET_WM_STATE_MAXIMIZED_VERT", false},
                                            {"full_screen", "_NET_WM_STATE_FULLSCREEN", true}};

// A demo game copy with openbox, or the window manager named, managing the display.
class DemoWindowManagerGuiTest : public DemoGameCopyTest {
 protected:
  explicit DemoWindowManagerGuiTest(const std::string& program = "openbox") : window_manager_(program) {}
  void SetUp() override {
    DemoGameCopyTest::SetUp();
    ASSERT_TRUE(window_manager_.Failure().empty()) << window_manager_.Failure();
  }
  // Asks the window manager to hold the game's window in `held`, and waits until the display and
  // SDL both have the size it holds the window at, which `sized` then is.
  bool Hold(CGameApp& game, ::Window window, const HeldState& held, plat::Rect& sized) {
    window_manager_.AskStates(window, true, held.state);
    const plat::Point screen = window_manager_.ScreenSize();
    return test_support::HoldsWithin(60, [&] {
      sized = window_manager_.ClientArea(window);
      SDL_PumpEvents();
      const bool held_size = held.covers_the_screen ? sized.Width() == screen.x && sized.Height() == screen.y
                                                    : sized.Width() == 800 && sized.Height() > 600;
      return held_size && SdlHasSize(game, sized);
    });
  }
  // The player drags the game's window elsewhere, to `placed`; true once the display and SDL both
  // have it there.
  bool MoveAsThePlayer(CGameApp& game, ::Window window, plat::Rect& placed) {
    const plat::Rect first = window_manager_.ClientArea(window);
    placed = plat::Rect{first.left - 37, first.top + 23, first.right - 37, first.bottom + 23};
    window_manager_.Move(window, plat::Point{placed.left, placed.top});
    SDL_Window* sdl_window = SDL_GetWindowFromID(game.GetMainWindow().GetHandle());
    return test_support::HoldsWithin(60, [&] {
      plat::Point origin;
      SDL_PumpEvents();
      SDL_GetWindowPosition(sdl_window, &origin.x, &origin.y);
      return window_manager_.ClientArea(window) == placed && origin.x == placed.left && origin.y == placed.top;
    });
  }

  // A start of the game, ended once its window shows in the window manager's frame.
  struct FramedStart {
    int result = -1;
    plat::Rect client;           // where the client area then stands
    std::int32_t title_bar = 0;  // the height of the frame above it
  };
  FramedStart StartUntilFramed(const std::string& screen_png = {}) {
    constexpr int kFramed = 30;
    FramedStart start;
    test_support::FixedStepGame run;
    run.SetLastFrame(kFramed + kStep);
    run.SetFrameObserver([&](int frame) {
      if (frame != kFramed) return;
      const ::Window window = XWindowOf(run.Game());
      ASSERT_TRUE(
          test_support::HoldsWithin(60, [&] { return window_manager_.Framed(window) && FrameTop(window) > 0; }));
      start.client = window_manager_.ClientArea(window);
      start.title_bar = FrameTop(window);
      if (!screen_png.empty()) WriteScreenPng(screen_png);
      run.PlanEvent(frame + 1, WindowEvent(SDL_WINDOWEVENT_CLOSE));
    });
    start.result = run.Run(game_.HostPath());
    return start;
  }

  WindowManager window_manager_;
};

// A USER.CFG in `folder` that starts the game in a window whose client area stands at `place`, or
// in the screen mode given with that place kept for the window.
inline void KeepWindowPlace(const std::string& folder, plat::Point place, std::uint8_t screen_mode = kScreenModeWindow) {
  WindowBlock window = DefaultWindowBlock();
  window[kWinScreenMode] = screen_mode;
  WriteBlockInt32(window, kWinLeft, place.x);
  WriteBlockInt32(window, kWinTop, place.y);
  const std::vector<std::uint8_t> bytes = kvxtools::WriteUserConfigFile({{}, {window.begin(), window.end()}, {}, {}});
  std::ofstream(folder + "USER.CFG", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace demo_test
