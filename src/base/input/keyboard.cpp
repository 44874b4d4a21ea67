#include "base/input/keyboard.h"

namespace {

constexpr uint8_t kDownBit = 0x80;

bool Down(const plat::KeyStates& state, uint32_t code) { return code < state.size() && (state[code] & kDownBit) != 0; }

}  // namespace

CKeyboard::CKeyboard() { RefreshLockKeys(); }

void CKeyboard::RefreshLockKeys() {
  const plat::LockKeys keys = plat::InputState::Instance().ReadLockKeys();
  lock_bits_.store(static_cast<uint8_t>((keys.scroll ? kScrollLockBit : 0) | (keys.caps ? kCapsLockBit : 0) |
                                        (keys.num ? kNumLockBit : 0)));
}

bool CPolledKeyboard::IsDown(uint32_t code) const { return Down(Latest(), code); }

bool CPolledKeyboard::IsPressed(uint32_t code) const { return Down(Latest(), code) && !Down(Previous(), code); }

int32_t CPolledKeyboard::GetFirstDown() const {
  return FirstCode(kKeyCodeCount, [this](uint32_t code) { return IsDown(code); });
}

int32_t CPolledKeyboard::GetFirstPressed() const {
  return FirstCode(kKeyCodeCount, [this](uint32_t code) { return IsPressed(code); });
}

void CPolledKeyboard::ResetState() {
  for (plat::KeyStates& state : states_) state.fill(0);
}

uint32_t CPolledKeyboard::Update() {
  Read(states_[write_index_]);
  write_index_ ^= 1;
  return 0;
}

void CDIKeyboard::Read(plat::KeyStates& state) { plat::InputState::Instance().ReadKeys(state); }

void CAsyncKeyboard::Read(plat::KeyStates& state) {
  plat::KeyStates virtual_keys;
  plat::InputState::Instance().ReadVirtualKeys(virtual_keys);
  for (const KeyPair& pair : keys_) state[pair.dik] = virtual_keys[pair.virtual_key];
}
