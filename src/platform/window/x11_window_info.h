// The X display and window behind an SDL window, for the files that ask the display itself.
#pragma once

#include <SDL.h>
#include <SDL_syswm.h>

namespace plat {

// False where the window is not on X.
inline bool X11InfoOf(SDL_Window* window, SDL_SysWMinfo& info) {
  SDL_VERSION(&info.version);
  return window != nullptr && SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11;
}

}  // namespace plat
