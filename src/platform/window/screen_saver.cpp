#include "platform/window/screen_saver.h"

#include <SDL.h>

#include "platform/window/native_window.h"

namespace plat {

bool IsScreenSaverAllowed() { return InitVideo() && SDL_IsScreenSaverEnabled() == SDL_TRUE; }

bool AllowScreenSaver(bool allowed) {
  if (!InitVideo()) return false;
  if (allowed) {
    SDL_EnableScreenSaver();
  } else {
    SDL_DisableScreenSaver();
  }
  return true;
}

}  // namespace plat
