#include "base/player_input.h"

#include "base/game_settings.h"
#include "base/input_manager.h"

namespace {

constexpr uint32_t kKeyLeftCtrl = 0x1D;
constexpr uint32_t kKeyRightCtrl = 0x9D;
constexpr uint32_t kKeyLeftShift = 0x2A;
constexpr uint32_t kKeyRightShift = 0x36;

}  // namespace

uint8_t g_KeepReadTextUnskipped = 0;

bool IsSkipKeyDown() {
  if (g_Keyboard == nullptr) return false;
  if (CurrentGameSettings()[kSettingSkipKeyModifier] == 0) {
    return g_Keyboard->IsDown(kKeyLeftShift) || g_Keyboard->IsDown(kKeyRightShift);
  }
  return g_Keyboard->IsDown(kKeyLeftCtrl) || g_Keyboard->IsDown(kKeyRightCtrl);
}

bool IsMouseLeftPressed() { return g_Mouse != nullptr && g_Mouse->IsPressed(kMouseLeft); }
