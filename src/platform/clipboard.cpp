#include "platform/clipboard.h"

#include <SDL.h>

namespace plat {

bool SetClipboardText(const std::string& text) { return SDL_SetClipboardText(text.c_str()) == 0; }

}  // namespace plat
