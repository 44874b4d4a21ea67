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

#include "base/input/input_manager.h"
#include "demo_reader.h"
#include "demo_window.h"
#include "demo_window_manager.h"
#include "support/display_hand.h"
#include "support/fixed_step_game.h"
#include "support/holds_within.h"
// After the engine's headers, as the X headers in demo_window_manager.h.
#include <X11/Xatom.h>

namespace {

using namespace demo_test;

using test_support::HoldsWithin;

// How long the player holds the button down at the least: the window manager answers the press
// meanwhile.
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

class DemoActivatingClickGuiTest : public DemoWindowManagerGuiTest {
 protected:
  // Makes another client's window the active one, and answers whether the window manager and the
  // game's SDL both tell so.
  bool ActivateOther(CGameApp& game) {
    other_ = std::make_unique<OtherWindow>();
    if (!HoldsWithin(60, [&] { return window_manager_.Framed(other_->Id()); })) return false;
    other_->Activate();
    SDL_Window* window = SDL_GetWindowFromID(game.GetMainWindow().GetHandle());
    return HoldsWithin(60, [&] {
      SDL_PumpEvents();
      return other_->Active() == other_->Id() && (SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS) == 0;
    });
  }
  // Presses the button at the point of the screen and leaves it held a while, so that the window
  // manager's answer to the press, the focus, and the press itself wait together for the game's
  // next look at its events, as they do for a game busy with its frame.
  void PressAt(plat::Point at) const {
    hand_.MoveTo(plat::Point{at.x + 2, at.y + 2});
    hand_.MoveTo(at);
    hand_.Press();
    std::this_thread::sleep_for(kHeld);
  }

  const test_support::DisplayHand hand_;
  std::unique_ptr<OtherWindow> other_;
};

TEST_F(DemoActivatingClickGuiTest, TheClickThatActivatesTheWindowReachesTheGameOnceAndStartsTheStory) {
  ASSERT_TRUE(hand_.Connected());
  test_support::FixedStepGame run;
  constexpr int kLooked = 2 * kStep - 20;  // the title shows
  constexpr int kPressed = kLooked + 5;
  constexpr int kReleased = kPressed + 10;
  constexpr int kStory = kPressed + kStep;
  run.PlanClick(kMovieSkip, kReadX, kReadY);
  run.SetLastFrame(kStory + kStep);
  bool other_active = false;
  bool inactive_before = false;
  int presses = 0;
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
      other_active = ActivateOther(game);
    }
    if (frame == kPressed) {
      inactive_before = !game.IsActive();
      PressAt(start);
    }
    // The frames in which the game's mouse tells a new press of the left button.
    if (frame > kPressed && frame <= kStory && g_Mouse != nullptr && g_Mouse->IsPressed(kMouseLeft)) ++presses;
    if (frame == kReleased) hand_.Release();
    if (frame == kStory) {
      story = ReadShown(game, "demo_activating_click_story.png");
      run.PlanEvent(frame + 1, WindowEvent(SDL_WINDOWEVENT_CLOSE));
    }
  });
  EXPECT_EQ(run.Run(game_.HostPath()), 0) << "the close box, answered yes, ends the game";
  ASSERT_TRUE(other_active) << "the other window is active";
  EXPECT_TRUE(inactive_before) << "the game knew it was inactive before the click";
  EXPECT_EQ(presses, 1) << "the activating press reaches the game once";
  ASSERT_EQ(story.width, 800);
  EXPECT_EQ(story.At(kLawnX, kLawnY), kLawnColour & 0xFFFFFF) << "the one click on はじめから started the story";
}

}  // namespace
