// The Ctrl key read from the X display itself (run under Xvfb), as the start-up reads it before the
// program has a window: the key is pressed and released on the display through its test extension.
#include <SDL.h>
#include <gtest/gtest.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <cstdlib>
#include <memory>

#include "platform/events/control_key.h"
#include "platform/window/native_window.h"
#include "support/test_window.h"

namespace {

constexpr xcb_keysym_t kControlLeft = 0xFFE3;

using Connection = std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)>;

// The key code the display gives a key symbol; 0 when no key carries it.
xcb_keycode_t KeyCodeOf(xcb_connection_t* connection, xcb_keysym_t symbol) {
  const xcb_setup_t* setup = xcb_get_setup(connection);
  const int count = setup->max_keycode - setup->min_keycode + 1;
  const std::unique_ptr<xcb_get_keyboard_mapping_reply_t, decltype(&std::free)> mapping(
      xcb_get_keyboard_mapping_reply(
          connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, static_cast<uint8_t>(count)), nullptr),
      &std::free);
  if (mapping == nullptr) return 0;
  const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(mapping.get());
  for (int code = 0; code < count; ++code) {
    for (int column = 0; column < mapping->keysyms_per_keycode; ++column) {
      if (symbols[code * mapping->keysyms_per_keycode + column] == symbol) {
        return static_cast<xcb_keycode_t>(setup->min_keycode + code);
      }
    }
  }
  return 0;
}

// Presses or releases the key and waits until the display has done it.
void FakeKey(xcb_connection_t* connection, uint8_t event, xcb_keycode_t code) {
  xcb_test_fake_input(connection, event, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
  std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

class ControlKeyGuiTest : public WindowTestBase {};

TEST_F(ControlKeyGuiTest, TheDisplayTellsAHeldCtrlBeforeAnyWindowHasTheKeyboard) {
  ASSERT_TRUE(plat::InitVideo());
  const Connection connection(xcb_connect(nullptr, nullptr), &xcb_disconnect);
  ASSERT_EQ(xcb_connection_has_error(connection.get()), 0);
  const xcb_keycode_t control = KeyCodeOf(connection.get(), kControlLeft);
  ASSERT_NE(control, 0);
  EXPECT_FALSE(plat::IsControlKeyHeld());

  FakeKey(connection.get(), XCB_KEY_PRESS, control);
  const bool held = plat::IsControlKeyHeld();
  const bool sdl_knew = (SDL_GetModState() & KMOD_CTRL) != 0;
  FakeKey(connection.get(), XCB_KEY_RELEASE, control);
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
