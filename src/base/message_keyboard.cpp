#include "base/message_keyboard.h"

namespace {

constexpr uint32_t kPreviousStateBit = 1u << 30;
using KeyEvents = EventNibbles<256>;

}  // namespace

CMessageKeyboard::CMessageKeyboard() {
  // In table order, so that a later pair wins: Escape is 0x01, Shift, Ctrl and Alt the left keys.
  for (const KeyPair& pair : KeyTable()) key_codes_[pair.virtual_key] = pair.dik;
}

bool CMessageKeyboard::IsPressed(uint32_t code) const {
  return (events_.Completed(code) & KeyEvents::kPressedBit) != 0;
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
  events_.Press(code, bits);
}

void CMessageKeyboard::OnKeyUp(uint32_t virtual_key) {
  if (const uint8_t code = KeyCodeOf(virtual_key); code != 0) events_.Release(code);
}
