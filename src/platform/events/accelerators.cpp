#include "platform/events/accelerators.h"

#include <SDL.h>

namespace plat {

std::optional<uint16_t> MatchAccelerator(const AcceleratorTable& table, const Message& message, uint8_t modifiers) {
  const bool key_down = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
  const bool character = message.message == WM_CHAR;
  if (!key_down && !character) return std::nullopt;
  constexpr uint8_t kModifierMask = FSHIFT | FCONTROL | FALT;
  for (const Accelerator& accelerator : table) {
    if (accelerator.key != message.wparam) continue;
    if ((accelerator.flags & FVIRTKEY) != 0) {
      if (key_down && (accelerator.flags & kModifierMask) == (modifiers & kModifierMask)) return accelerator.command;
    } else if (character) {
      return accelerator.command;
    }
  }
  return std::nullopt;
}

uint8_t CurrentAcceleratorModifiers() {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return 0;
  const SDL_Keymod mods = SDL_GetModState();
  return static_cast<uint8_t>(((mods & KMOD_SHIFT) != 0 ? FSHIFT : 0) | ((mods & KMOD_CTRL) != 0 ? FCONTROL : 0) |
                              ((mods & KMOD_ALT) != 0 ? FALT : 0));
}

}  // namespace plat
