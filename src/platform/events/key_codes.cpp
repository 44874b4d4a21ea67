#include "platform/events/key_codes.h"

#include "platform/events/window_messages.h"

namespace plat {
namespace {

struct KeyEntry {
  SDL_Scancode scancode;
  uint32_t virtual_key;
  uint8_t scan_code;
  bool extended;
};

// Keys whose virtual-key code follows their place on the keyboard.
constexpr KeyEntry kKeys[] = {
    {SDL_SCANCODE_ESCAPE, VK_ESCAPE, 0x01, false},
    {SDL_SCANCODE_MINUS, VK_OEM_MINUS, 0x0C, false},
    {SDL_SCANCODE_EQUALS, VK_OEM_PLUS, 0x0D, false},
    {SDL_SCANCODE_BACKSPACE, VK_BACK, 0x0E, false},
    {SDL_SCANCODE_TAB, VK_TAB, 0x0F, false},
    {SDL_SCANCODE_LEFTBRACKET, VK_OEM_4, 0x1A, false},
    {SDL_SCANCODE_RIGHTBRACKET, VK_OEM_6, 0x1B, false},
    {SDL_SCANCODE_RETURN, VK_RETURN, 0x1C, false},
    {SDL_SCANCODE_LCTRL, VK_CONTROL, 0x1D, false},
    {SDL_SCANCODE_SEMICOLON, VK_OEM_1, 0x27, false},
    {SDL_SCANCODE_APOSTROPHE, VK_OEM_7, 0x28, false},
    {SDL_SCANCODE_GRAVE, VK_OEM_3, 0x29, false},
    {SDL_SCANCODE_LSHIFT, VK_SHIFT, 0x2A, false},
    {SDL_SCANCODE_BACKSLASH, VK_OEM_5, 0x2B, false},
    {SDL_SCANCODE_COMMA, VK_OEM_COMMA, 0x33, false},
    {SDL_SCANCODE_PERIOD, VK_OEM_PERIOD, 0x34, false},
    {SDL_SCANCODE_SLASH, VK_OEM_2, 0x35, false},
    {SDL_SCANCODE_RSHIFT, VK_SHIFT, 0x36, false},
    {SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY, 0x37, false},
    {SDL_SCANCODE_LALT, VK_MENU, 0x38, false},
    {SDL_SCANCODE_SPACE, VK_SPACE, 0x39, false},
    {SDL_SCANCODE_CAPSLOCK, VK_CAPITAL, 0x3A, false},
    {SDL_SCANCODE_NUMLOCKCLEAR, VK_NUMLOCK, 0x45, false},
    {SDL_SCANCODE_SCROLLLOCK, VK_SCROLL, 0x46, false},
    {SDL_SCANCODE_KP_7, VK_NUMPAD0 + 7, 0x47, false},
    {SDL_SCANCODE_KP_8, VK_NUMPAD0 + 8, 0x48, false},
    {SDL_SCANCODE_KP_9, VK_NUMPAD0 + 9, 0x49, false},
    {SDL_SCANCODE_KP_MINUS, VK_SUBTRACT, 0x4A, false},
    {SDL_SCANCODE_KP_4, VK_NUMPAD0 + 4, 0x4B, false},
    {SDL_SCANCODE_KP_5, VK_NUMPAD0 + 5, 0x4C, false},
    {SDL_SCANCODE_KP_6, VK_NUMPAD0 + 6, 0x4D, false},
    {SDL_SCANCODE_KP_PLUS, VK_ADD, 0x4E, false},
    {SDL_SCANCODE_KP_1, VK_NUMPAD0 + 1, 0x4F, false},
    {SDL_SCANCODE_KP_2, VK_NUMPAD0 + 2, 0x50, false},
    {SDL_SCANCODE_KP_3, VK_NUMPAD0 + 3, 0x51, false},
    {SDL_SCANCODE_KP_0, VK_NUMPAD0, 0x52, false},
    {SDL_SCANCODE_KP_PERIOD, VK_DECIMAL, 0x53, false},
    {SDL_SCANCODE_INTERNATIONAL4, VK_CONVERT, 0x79, false},
    {SDL_SCANCODE_INTERNATIONAL5, VK_NONCONVERT, 0x7B, false},
    {SDL_SCANCODE_KP_ENTER, VK_RETURN, 0x1C, true},
    {SDL_SCANCODE_RCTRL, VK_CONTROL, 0x1D, true},
    {SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE, 0x35, true},
    {SDL_SCANCODE_PRINTSCREEN, VK_SNAPSHOT, 0x37, true},
    {SDL_SCANCODE_RALT, VK_MENU, 0x38, true},
    {SDL_SCANCODE_PAUSE, VK_PAUSE, 0x45, false},
    {SDL_SCANCODE_HOME, VK_HOME, 0x47, true},
    {SDL_SCANCODE_UP, VK_UP, 0x48, true},
    {SDL_SCANCODE_PAGEUP, VK_PRIOR, 0x49, true},
    {SDL_SCANCODE_LEFT, VK_LEFT, 0x4B, true},
    {SDL_SCANCODE_RIGHT, VK_RIGHT, 0x4D, true},
    {SDL_SCANCODE_END, VK_END, 0x4F, true},
    {SDL_SCANCODE_DOWN, VK_DOWN, 0x50, true},
    {SDL_SCANCODE_PAGEDOWN, VK_NEXT, 0x51, true},
    {SDL_SCANCODE_INSERT, VK_INSERT, 0x52, true},
    {SDL_SCANCODE_DELETE, VK_DELETE, 0x53, true},
    {SDL_SCANCODE_LGUI, VK_LWIN, 0x5B, true},
    {SDL_SCANCODE_RGUI, VK_RWIN, 0x5C, true},
    {SDL_SCANCODE_APPLICATION, VK_APPS, 0x5D, true},
};

// Set-1 codes of the letter keys in the order of SDL's scancodes A to Z, and of the digits 1 to 0.
constexpr uint8_t kLetterScanCodes[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                          0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                          0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
// Function keys F1-F10 are 0x3B-0x44, F11 and F12 0x57 and 0x58.
constexpr uint8_t kFunctionScanCodes[12] = {0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x57, 0x58};

const KeyEntry* FindKey(SDL_Scancode scancode) {
  for (const KeyEntry& entry : kKeys) {
    if (entry.scancode == scancode) return &entry;
  }
  return nullptr;
}

}  // namespace

uint32_t VirtualKeyFromSdl(SDL_Keycode key, SDL_Scancode scancode) {
  if (key >= SDLK_a && key <= SDLK_z) return static_cast<uint32_t>('A' + (key - SDLK_a));
  if (key >= SDLK_0 && key <= SDLK_9) return static_cast<uint32_t>('0' + (key - SDLK_0));
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) {
    return VK_F1 + static_cast<uint32_t>(scancode - SDL_SCANCODE_F1);
  }
  const KeyEntry* entry = FindKey(scancode);
  return entry != nullptr ? entry->virtual_key : 0;
}

ScanCode ScanCodeFromSdl(SDL_Scancode scancode) {
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
    return {kLetterScanCodes[scancode - SDL_SCANCODE_A], false};
  }
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_0) {
    return {static_cast<uint8_t>(0x02 + (scancode - SDL_SCANCODE_1)), false};
  }
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) {
    return {kFunctionScanCodes[scancode - SDL_SCANCODE_F1], false};
  }
  const KeyEntry* entry = FindKey(scancode);
  return entry != nullptr ? ScanCode{entry->scan_code, entry->extended} : ScanCode{};
}

uint8_t DikFromSdl(SDL_Scancode scancode) {
  constexpr uint8_t kDikPause = 0xC5;
  if (scancode == SDL_SCANCODE_PAUSE) return kDikPause;
  const ScanCode scan = ScanCodeFromSdl(scancode);
  return static_cast<uint8_t>(scan.code | (scan.extended ? 0x80 : 0));
}

}  // namespace plat
