// A click on the demo's window while another window is active, made on the display as a player's
// hand makes it (through the display's test extension) under a window manager (openbox): the press
// that makes the window manager give the game the focus reaches the game too, once, and a click on
// "はじめから" starts the story with that one click. The pictures are written as
// demo_activating_click_*.png into the build folder.
#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <thread>
#include <utility>

#include "demo_reader.h"
#include "demo_window.h"
#include "demo_window_manager.h"
#include "support/fixed_step_game.h"
#include "support/holds_within.h"
// After the engine's headers, as the X headers in demo_window_manager.h.
#include <X11/Xatom.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

namespace {

using namespace demo_test;

using test_support::HoldsWithin;

// How long the player holds the button down.
constexpr auto kHeld = std::chrono::milliseconds(150);

// A window of another client's, in the screen's corner away from the game's, which the window
// manager makes the active one as a pager asks it to.
class OtherWindow {
 public:
  OtherWindow() : display_(XOpenDisplay(nullptr), &XCloseDisplay) {
    if (display_ == nullptr) return;
    window_ = XCreateSimpleWindow(display_.get(), DefaultRootWindow(display_.get()), 0, 0, 48, 48, 0, 0, 0);
    XMapWindow(display_.get(), window_);
    XSync(display_.get(), False);
  }
  OtherWindow(const OtherWindow&) = delete;
  OtherWindow& operator=(const OtherWindow&) = delete;

  ::Window Id() const { return window_; }
  void Activate() const {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window_;
    event.xclient.message_type = XInternAtom(display_.get(), "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2;  // asked by a pager
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_.get(), DefaultRootWindow(display_.get()), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display_.get());
  }
  // The window that the window manager says is active.
  ::Window Active() const {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long left = 0;
    unsigned char* data = nullptr;
    ::Window active = 0;
    if (XGetWindowProperty(display_.get(), DefaultRootWindow(display_.get()),
                           XInternAtom(display_.get(), "_NET_ACTIVE_WINDOW", False), 0, 1, False, XA_WINDOW, &type,
                           &format, &count, &left, &data) == Success &&
        data != nullptr && count == 1 && format == 32) {
      active = *reinterpret_cast<::Window*>(data);
    }
    if (data != nullptr) XFree(data);
    return active;
  }

 private:
  std::unique_ptr<Display, decltype(&XCloseDisplay)> display_;
  ::Window window_ = 0;
};

// The player's hand on the display's pointer.
class Hand {
 public:
  Hand() : connection_(xcb_connect(nullptr, nullptr), &xcb_disconnect) {}

  bool Connected() const { return xcb_connection_has_error(connection_.get()) == 0; }
  void MoveTo(plat::Point at) const { Fake(XCB_MOTION_NOTIFY, 0, at); }
  void Press() const { Fake(XCB_BUTTON_PRESS, XCB_BUTTON_INDEX_1, {}); }
  void Release() const { Fake(XCB_BUTTON_RELEASE, XCB_BUTTON_INDEX_1, {}); }

 private:
  // Waits until the display has done it.
  void Fake(uint8_t event, uint8_t detail, plat::Point at) const {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection_.get())).data->root;
    xcb_test_fake_input(connection_.get(), event, detail, XCB_CURRENT_TIME, root, static_cast<int16_t>(at.x),
                        static_cast<int16_t>(at.y), 0);
    std::free(xcb_get_input_focus_reply(connection_.get(), xcb_get_input_focus(connection_.get()), nullptr));
  }

  std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> connection_;
};

// Counts the left button's presses that SDL hands on for the game's window.
int CountPress(void* counter, SDL_Event* event) {
  auto& presses = *static_cast<std::pair<uint32_t, int>*>(counter);
  if (event->type == SDL_MOUSEBUTTONDOWN && event->button.button == SDL_BUTTON_LEFT &&
      event->button.windowID == presses.first) {
    ++presses.second;
  }
  return 1;
}

using DemoActivatingClickGuiTest = DemoWindowManagerGuiTest;

TEST_F(DemoActivatingClickGuiTest, TheClickThatActivatesTheWindowReachesTheGameOnceAndStartsTheStory) {
  const Hand hand;
  ASSERT_TRUE(hand.Connected());
  test_support::FixedStepGame run;
  constexpr int kLooked = 2 * kStep - 20;  // the title shows
  constexpr int kPressed = kLooked + 5;
  constexpr int kReleased = kPressed + 10;
  constexpr int kStory = kPressed + kStep;
  run.PlanClick(kMovieSkip, kReadX, kReadY);
  run.SetLastFrame(kStory + kStep);
  std::unique_ptr<OtherWindow> other;
  bool other_active = false;
  bool inactive_before = false;
  std::pair<uint32_t, int> presses{0, 0};
  plat::Point start;
  Shown story;
  run.SetFrameObserver([&](int frame) {
    CGameApp& game = run.Game();
    if (frame == kLooked) {
      const ::Window window = XWindowOf(game);
      ASSERT_TRUE(HoldsWithin(60, [&] { return window_manager_.Framed(window); }));
      ReadShown(game, "demo_activating_click_title.png");
      const plat::Rect client = window_manager_.ClientArea(window);
      start = plat::Point{client.left + kChoiceX, client.top + kTitleStartY};
      other = std::make_unique<OtherWindow>();
      ASSERT_TRUE(HoldsWithin(60, [&] { return window_manager_.Framed(other->Id()); }));
      other->Activate();
      SDL_Window* sdl_window = SDL_GetWindowFromID(game.GetMainWindow().GetHandle());
      other_active = HoldsWithin(60, [&] {
        SDL_PumpEvents();
        return other->Active() == other->Id() && (SDL_GetWindowFlags(sdl_window) & SDL_WINDOW_INPUT_FOCUS) == 0;
      });
    }
    if (frame == kPressed) {
      inactive_before = !game.IsActive();
      presses.first = game.GetMainWindow().GetHandle();
      SDL_AddEventWatch(&CountPress, &presses);
      hand.MoveTo(start);
      hand.Press();
      // The window manager's answer to the press, the focus and the press itself, wait together
      // for the game's next look at its events, as they do for a game busy with its frame.
      std::this_thread::sleep_for(kHeld);
    }
    if (frame == kReleased) hand.Release();
    if (frame == kStory) {
      SDL_DelEventWatch(&CountPress, &presses);
      story = ReadShown(game, "demo_activating_click_story.png");
      run.PlanEvent(frame + 1, WindowEvent(SDL_WINDOWEVENT_CLOSE));
    }
  });
  EXPECT_EQ(run.Run(game_.HostPath()), 0) << "the close box, answered yes, ends the game";
  ASSERT_TRUE(other_active) << "the other window is active";
  EXPECT_TRUE(inactive_before) << "the game knew it was inactive before the click";
  EXPECT_EQ(presses.second, 1) << "the activating press reaches the game once";
  ASSERT_EQ(story.width, 800);
  EXPECT_EQ(story.At(kLawnX, kLawnY), kLawnColour & 0xFFFFFF) << "the one click on はじめから started the story";
}

}  // namespace
