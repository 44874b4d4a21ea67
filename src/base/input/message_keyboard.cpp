#include "base/input/message_keyboard.h"

#include <array>

namespace {

constexpr uint32_t kPreviousStateBit = 1u << 30;
using KeyEvents = EventNibbles<256>;

// The modifier keys whose state each press keeps, one bit each in this order.
constexpr std::array<uint8_t, 6> kModifierCodes = {0x2A, 0x36, 0x1D, 0x9D, 0x38, 0xB8};

// The bit of a modifier key; 0 for any other key.
uint8_t ModifierBit(uint32_t code) {
  for (std::size_t i = 0; i < kModifierCodes.size(); ++i) {
    if (kModifierCodes[i] == code) return static_cast<uint8_t>(1u << i);
  }
  return 0;
}

// The other side's key of Shift, Ctrl and Alt; -1 for any other key.
int32_t ModifierTwin(uint32_t code) {
  for (std::size_t i = 0; i < kModifierCodes.size(); ++i) {
    if (kModifierCodes[i] == code) return kModifierCodes[i ^ 1];
  }
  return -1;
}

}  // namespace

CMessageKeyboard::CMessageKeyboard() {
  // In table order, so that a later pair wins: Escape is 0x01, Shift, Ctrl and Alt the left keys.
  for (const KeyPair& pair : KeyTable()) key_codes_[pair.virtual_key] = pair.dik;
}

bool CMessageKeyboard::IsPressed(uint32_t code) const {
  return (events_.Completed(code) & KeyEvents::kPressedBit) != 0;
}

bool CMessageKeyboard::WasDownAtPress(uint32_t held, uint32_t pressed) const {
  const uint8_t bit = ModifierBit(held);
  if (bit == 0 || !IsPressed(pressed)) return IsDown(held);
  return (events_.CompletedDetail(pressed) & bit) != 0;
}

bool CMessageKeyboard::IsRepeated(uint32_t code) const {
  return (events_.Completed(code) & KeyEvents::kRepeatedBit) != 0;
}

int32_t CMessageKeyboard::GetFirstDown() const {
  return FirstCode(kKeyCodeCount, [this](uint32_t code) { return IsDown(code); });
}

int32_t CMessageKeyboard::GetFirstPressed() const {
  return FirstCode(kKeyCodeCount, [this](uint32_t code) { return IsPressed(code); });
}

uint32_t CMessageKeyboard::Update() {
  events_.Flip();
  return 0;
}

void CMessageKeyboard::OnKeyDown(uint32_t virtual_key, uint32_t lparam) {
  const uint8_t code = KeyCodeOf(virtual_key);
  if (code == 0) return;
  const bool repeat = (lparam & kPreviousStateBit) != 0;
  uint8_t bits = KeyEvents::kPressedBit;
  if (repeat) bits = GetReportRepeats() ? KeyEvents::kPressedBit | KeyEvents::kRepeatedBit : 0;
  uint8_t modifiers = 0;
  for (const uint8_t modifier : kModifierCodes) {
    if (events_.IsHeld(modifier)) modifiers |= ModifierBit(modifier);
  }
  events_.Press(code, bits, modifiers);
}

void CMessageKeyboard::OnKeyUp(uint32_t virtual_key) {
  if (const uint8_t code = KeyCodeOf(virtual_key); code != 0) events_.Release(code);
}

void CMessageKeyboard::KeepInStepWith(const plat::KeyStates& held) {
  for (uint32_t code = 0; code < kKeyCodeCount; ++code) {
    if (!events_.IsHeld(code) || held[code] != 0) continue;
    const int32_t twin = ModifierTwin(code);
    if (twin >= 0 && held[static_cast<std::size_t>(twin)] != 0) continue;
    events_.Release(code);
  }
}
