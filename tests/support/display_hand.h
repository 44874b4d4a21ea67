// A player's hand on an X display (run under Xvfb): the pointer moved, its button pressed and keys
// pressed through the display's test extension, each waited for until the display has done it.
// For the test programs that link the extension (X11::xcb_xtest).
#pragma once

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "platform/system/geometry.h"

namespace test_support {

class DisplayHand {
 public:
  // The display DISPLAY names, or `display` (":3").
  explicit DisplayHand(const char* display = nullptr) : connection_(xcb_connect(display, nullptr), &xcb_disconnect) {}

  bool Connected() const { return xcb_connection_has_error(connection_.get()) == 0; }
  void MoveTo(plat::Point at) const { Fake(XCB_MOTION_NOTIFY, 0, at); }
  void Press() const { Fake(XCB_BUTTON_PRESS, XCB_BUTTON_INDEX_1, {}); }
  void Release() const { Fake(XCB_BUTTON_RELEASE, XCB_BUTTON_INDEX_1, {}); }
  void Click(plat::Point at) const {
    MoveTo(at);
    Press();
    Release();
  }
  void PressKey(xcb_keycode_t code) const { Fake(XCB_KEY_PRESS, code, {}); }
  void ReleaseKey(xcb_keycode_t code) const { Fake(XCB_KEY_RELEASE, code, {}); }
  // Presses and lets go the key that carries the key symbol (0xFF0D Return, 0xFF1B Escape);
  // false when no key carries it.
  bool Tap(xcb_keysym_t symbol) const {
    const xcb_keycode_t code = KeyCodeOf(symbol);
    if (code == 0) return false;
    PressKey(code);
    ReleaseKey(code);
    return true;
  }
  // Gives the window the keyboard, as a window manager does with the window it activates.
  void Focus(xcb_window_t window) const {
    xcb_set_input_focus(connection_.get(), XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
    Sync();
  }

  // The key code the display gives a key symbol; 0 when no key carries it.
  xcb_keycode_t KeyCodeOf(xcb_keysym_t symbol) const {
    const xcb_setup_t* setup = xcb_get_setup(connection_.get());
    const int count = setup->max_keycode - setup->min_keycode + 1;
    const std::unique_ptr<xcb_get_keyboard_mapping_reply_t, decltype(&std::free)> mapping(
        xcb_get_keyboard_mapping_reply(
            connection_.get(),
            xcb_get_keyboard_mapping(connection_.get(), setup->min_keycode, static_cast<uint8_t>(count)), nullptr),
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

 private:
  // Waits until the display has done what was asked.
  void Sync() const {
    std::free(xcb_get_input_focus_reply(connection_.get(), xcb_get_input_focus(connection_.get()), nullptr));
  }
  void Fake(uint8_t event, uint8_t detail, plat::Point at) const {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection_.get())).data->root;
    xcb_test_fake_input(connection_.get(), event, detail, XCB_CURRENT_TIME, root, static_cast<int16_t>(at.x),
                        static_cast<int16_t>(at.y), 0);
    Sync();
  }

  std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> connection_;
};

}  // namespace test_support
