// What the player types for the focused text widget between two frames: the last key pressed
// and up to 32 bytes of Shift-JIS text, whole characters only. The window thread fills it, the
// game thread hands it to the widget once per frame.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "base/threads/critical_section.h"

class CGuiElement;

class CTextInputBuffer {
 public:
  static constexpr std::size_t kCapacity = 32;

  void SetPendingKey(uint32_t virtual_key);
  // One character: a byte (below 0x100) or a two-byte code (lead byte << 8 | trail byte). Text
  // already handed over is dropped first; a character that does not fit whole is not stored.
  void AppendCharacter(uint32_t code);
  // The pending key to the element's key operation (and forgotten), else the text not yet
  // handed over to its text operation; the element's answer, false with nothing to hand over.
  bool Deliver(CGuiElement& element);
  // Forgets the pending key and all text.
  void Clear();

 private:
  CCriticalSection lock_;
  uint32_t pending_key_ = 0;
  std::array<char, kCapacity> bytes_{};
  std::size_t count_ = 0;
  std::size_t delivered_ = 0;
};
