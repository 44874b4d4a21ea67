// Keyboard accelerators: a table of key combinations that the message loop turns into command
// messages before the key messages are dispatched. There is no menu system under SDL that
// would do it, so the table is plain data matched here.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/events/window_messages.h"

namespace plat {

// Accelerator flags; without FVIRTKEY the key is a character code.
inline constexpr uint8_t FVIRTKEY = 0x01;
inline constexpr uint8_t FSHIFT = 0x04;
inline constexpr uint8_t FCONTROL = 0x08;
inline constexpr uint8_t FALT = 0x10;

struct Accelerator {
  uint8_t flags = FVIRTKEY;
  uint16_t key = 0;
  uint16_t command = 0;
};

using AcceleratorTable = std::vector<Accelerator>;

// The command of the first accelerator that the message triggers with the given FSHIFT,
// FCONTROL and FALT modifiers held: virtual keys on WM_KEYDOWN and WM_SYSKEYDOWN with exactly
// those modifiers, characters on WM_CHAR.
std::optional<uint16_t> MatchAccelerator(const AcceleratorTable& table, const Message& message, uint8_t modifiers);

// The FSHIFT, FCONTROL and FALT bits of the keyboard's current modifiers.
uint8_t CurrentAcceleratorModifiers();

}  // namespace plat
