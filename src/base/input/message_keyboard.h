// The keyboard fed by the main window's key messages: a key pressed and released between two
// frames still reads as pressed for one frame, and auto-repeat is reported as its own event.
#pragma once

#include <array>
#include <cstdint>

#include "base/input/keyboard.h"
#include "base/threads/event_nibbles.h"

class CMessageKeyboard : public CKeyboard {
 public:
  CMessageKeyboard();

  bool IsDown(uint32_t code) const override { return events_.IsHeld(code); }
  bool IsPressed(uint32_t code) const override;
  bool IsRepeated(uint32_t code) const override;
  // For Shift, Ctrl and Alt (either side) as the press of `pressed` found them.
  bool WasDownAtPress(uint32_t held, uint32_t pressed) const override;
  int32_t GetFirstDown() const override;
  int32_t GetFirstPressed() const override;
  void ResetState() override { events_.Clear(); }
  uint32_t GetType() const override { return kInputMessages; }
  uint32_t Update() override;

  // A key message: the virtual key, and for a key going down the message's lParam (bit 30: the
  // key was already down, an auto-repeat). Keys outside the key table are not recorded.
  void OnKeyDown(uint32_t virtual_key, uint32_t lparam);
  void OnKeyUp(uint32_t virtual_key);
  // Lets go of the keys held here that `held` (DirectInput codes, 0x80 while held) no longer
  // holds: their key-up went to a dialog or to another window. Either side of Shift, Ctrl or Alt
  // keeps the key that the messages name for both.
  void KeepInStepWith(const plat::KeyStates& held);

  // The key code that a virtual key stands for; 0 for none.
  uint8_t KeyCodeOf(uint32_t virtual_key) const { return virtual_key < key_codes_.size() ? key_codes_[virtual_key] : 0; }

 private:
  std::array<uint8_t, 256> key_codes_{};
  EventNibbles<256> events_;
};
