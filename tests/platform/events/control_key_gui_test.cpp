// The Ctrl key read from the X display itself (run under Xvfb), as the start-up reads it before the
// program has a window: the key is pressed and released on the display through its test extension.
#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/events/control_key.h"
#include "platform/window/native_window.h"
#include "support/display_hand.h"
#include "support/test_window.h"

namespace {

constexpr xcb_keysym_t kControlLeft = 0xFFE3;

class ControlKeyGuiTest : public WindowTestBase {};

TEST_F(ControlKeyGuiTest, TheDisplayTellsAHeldCtrlBeforeAnyWindowHasTheKeyboard) {
  ASSERT_TRUE(plat::InitVideo());
  const test_support::DisplayHand hand;
  ASSERT_TRUE(hand.Connected());
  const xcb_keycode_t control = hand.KeyCodeOf(kControlLeft);
  ASSERT_NE(control, 0);
  EXPECT_FALSE(plat::IsControlKeyHeld());

  hand.PressKey(control);
  const bool held = plat::IsControlKeyHeld();
  const bool sdl_knew = (SDL_GetModState() & KMOD_CTRL) != 0;
  hand.ReleaseKey(control);
  EXPECT_TRUE(held);
  EXPECT_FALSE(sdl_knew) << "the answer should come from the display, as no window has the keyboard";
  EXPECT_FALSE(plat::IsControlKeyHeld()) << "after the release";

  {
    const plat::ScopedControlKeyState forced(true);
    EXPECT_TRUE(plat::IsControlKeyHeld()) << "a forced state wins over the display";
  }
  EXPECT_FALSE(plat::IsControlKeyHeld());
}

}  // namespace
