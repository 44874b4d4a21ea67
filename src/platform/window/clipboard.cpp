#include "platform/window/clipboard.h"

#include <SDL.h>

#include "platform/system/diagnostic_log.h"
#include "platform/window/native_window.h"

namespace plat {

bool SetClipboardText(const std::string& text) {
  if (!InitVideo()) return false;
  if (SDL_SetClipboardText(text.c_str()) != 0) {
    LogDiagnostic(std::string("clipboard: cannot set the text: ") + SDL_GetError());
    return false;
  }
  return true;
}

std::string GetClipboardText() {
  if (!InitVideo()) return {};
  char* text = SDL_GetClipboardText();
  if (text == nullptr) return {};
  std::string result(text);
  SDL_free(text);
  return result;
}

}  // namespace plat
