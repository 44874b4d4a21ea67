// The keys the engine knows by name: each DirectInput key code with the virtual key that reports
// it. The polled keyboards read the keys through this table; the keyboard fed by window messages
// turns virtual keys back into key codes with it.
#pragma once

#include <cstdint>
#include <span>

struct KeyPair {
  uint8_t dik;
  uint8_t virtual_key;
};

// The 104 pairs in their order. Escape comes twice: the first pair also puts it into key code
// 0x7B; Enter and keypad Enter, and the left and right Shift, Ctrl and Alt, share their
// virtual keys.
std::span<const KeyPair> KeyTable();
// The 47 pairs of the short keyboard: cursor keys, numeric pad, keypad Enter, Insert, Delete, Home,
// End, Page Up, Page Down, Escape, F1 to F12, Z, X, C, Backspace, Enter, Shifts, Ctrls, Alts, Tab,
// Space.
std::span<const KeyPair> ShortKeyList();
