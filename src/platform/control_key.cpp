#include "platform/control_key.h"

#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <atomic>
#include <string_view>

namespace plat {
namespace {

// 0 ask the keyboard, 1 not held, 2 held.
std::atomic<int> g_Override{0};

// SDL knows the keys only once one of its windows has the focus; the X display knows them always.
bool HeldOnX11Display() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr || std::string_view(driver) != "x11") return false;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return false;
  char keys[32] = {};
  XQueryKeymap(display, keys);
  bool held = false;
  for (const KeySym symbol : {XK_Control_L, XK_Control_R}) {
    const KeyCode code = XKeysymToKeycode(display, symbol);
    if (code != 0 && (keys[code / 8] & (1 << (code % 8))) != 0) held = true;
  }
  XCloseDisplay(display);
  return held;
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
