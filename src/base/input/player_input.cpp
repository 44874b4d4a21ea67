#include "base/input/player_input.h"

#include "base/input/input_manager.h"
#include "base/settings/game_settings.h"

namespace {

constexpr uint32_t kKeyLeftCtrl = 0x1D;
constexpr uint32_t kKeyRightCtrl = 0x9D;
constexpr uint32_t kKeyLeftShift = 0x2A;
constexpr uint32_t kKeyRightShift = 0x36;

}  // namespace

uint8_t g_KeepReadTextUnskipped = 0;

namespace {

// Either skip key passes `test` of the keyboard: both Ctrl keys, or both Shift keys when the
// user's settings choose Shift.
template <class Test>
bool EitherSkipKey(Test test) {
  if (g_Keyboard == nullptr) return false;
  if (CurrentGameSettings()[kSettingSkipKeyModifier] == 0) {
    return test(*g_Keyboard, kKeyLeftShift) || test(*g_Keyboard, kKeyRightShift);
  }
  return test(*g_Keyboard, kKeyLeftCtrl) || test(*g_Keyboard, kKeyRightCtrl);
}

}  // namespace

bool IsSkipKeyDown() {
  return EitherSkipKey([](const CKeyboard& keyboard, uint32_t code) { return keyboard.IsDown(code); });
}

bool IsSkipKeyDownAtPress(uint32_t pressed) {
  return EitherSkipKey(
      [pressed](const CKeyboard& keyboard, uint32_t code) { return keyboard.WasDownAtPress(code, pressed); });
}

bool IsSkipKeyPressed() {
  return EitherSkipKey([](const CKeyboard& keyboard, uint32_t code) { return keyboard.IsPressed(code); });
}

bool IsMouseLeftPressed() { return g_Mouse != nullptr && g_Mouse->IsPressed(kMouseLeft); }
