#include "platform/events/control_key.h"

#include <SDL.h>
#include <xcb/xcb.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace plat {
namespace {

// 0 ask the keyboard, 1 not held, 2 held.
std::atomic<int> g_Override{0};

// SDL knows the keys only once one of its windows has the focus; the X server knows the modifiers
// always. SDL's own connection cannot be reached before a window exists, so the question goes over
// a short connection of the protocol library's, which opens in a fraction of the time the client
// library takes (no locale, no extensions): one round trip for the set-up, one for the pointer
// and its modifiers.
bool HeldOnX11Display() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr || std::string_view(driver) != "x11") return false;
  int screen_number = 0;
  const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> connection(xcb_connect(nullptr, &screen_number),
                                                                                &xcb_disconnect);
  if (xcb_connection_has_error(connection.get()) != 0) return false;
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection.get()));
  for (; screens.rem > 0 && screen_number > 0; --screen_number) xcb_screen_next(&screens);
  if (screens.rem <= 0) return false;
  const std::unique_ptr<xcb_query_pointer_reply_t, decltype(&std::free)> pointer(
      xcb_query_pointer_reply(connection.get(), xcb_query_pointer(connection.get(), screens.data->root), nullptr),
      &std::free);
  return pointer != nullptr && (pointer->mask & XCB_MOD_MASK_CONTROL) != 0;
}

}  // namespace

bool IsControlKeyHeld() {
  if (const int forced = g_Override.load(); forced != 0) return forced == 2;
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return false;
  return (SDL_GetModState() & KMOD_CTRL) != 0 || HeldOnX11Display();
}

ScopedControlKeyState::ScopedControlKeyState(bool held) : previous_(g_Override.exchange(held ? 2 : 1)) {}

ScopedControlKeyState::~ScopedControlKeyState() { g_Override.store(previous_); }

}  // namespace plat
