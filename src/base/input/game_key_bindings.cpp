#include "base/input/game_key_bindings.h"

#include <array>

#include "base/input/input_bindings.h"
#include "base/input/input_manager.h"
#include "base/input/mouse.h"

namespace {

constexpr uint8_t kDikUp = 0xC8;
constexpr uint8_t kDikDown = 0xD0;
constexpr uint8_t kDikLeft = 0xCB;
constexpr uint8_t kDikRight = 0xCD;
constexpr uint8_t kDikReturn = 0x1C;
constexpr uint8_t kDikNumpadEnter = 0x9C;
constexpr uint8_t kDikEscape = 0x01;
constexpr int32_t kFirstJoystick = kSelectFirstJoystick;

// What the right and middle buttons choose: 0 none, then these actions; a choice past the list
// names action 20, which does not exist.
constexpr std::array<uint32_t, 7> kMouseChoiceActions = {kGameActionCount, kActionSystemMenu, kActionHideWindow,
                                                         kActionAutoPlay,  kActionSkipToChoice, kActionSave,
                                                         kActionLoad};

// The actions the mouse codes were last given, as the game set them: the next application
// takes each code away from there.
struct MouseAssignments {
  uint32_t right = kGameActionCount;
  uint32_t middle = kGameActionCount;
  uint32_t wheel_away = kGameActionCount;
};
MouseAssignments g_mouse_assignments;

uint32_t MouseChoiceAction(uint8_t choice) {
  return choice < kMouseChoiceActions.size() ? kMouseChoiceActions[choice] : kGameActionCount;
}

// The user's binding of an action on a device, kept at place `user_place` among the device's
// bindings of it: added when the action has only its fixed ones, else changed, or removed for 0.
void AssignUserCode(CInputBindings& bindings, uint32_t action, int32_t selector, uint32_t user_place, uint8_t code) {
  if (bindings.CountBindings(action, selector) == user_place) {
    if (code != 0) bindings.AddBinding(action, selector, code);
    return;
  }
  uint8_t current = 0;
  if (bindings.GetBinding(action, selector, user_place, &current) != 0) return;
  if (code != 0) {
    bindings.ChangeBinding(action, selector, code, current);
  } else {
    bindings.RemoveBinding(action, selector, current);
  }
}

// Moves a mouse code from the action it was on to another one (kGameActionCount: none).
void MoveMouseCode(CInputBindings& bindings, uint8_t code, uint32_t& current, uint32_t wanted) {
  if (current == wanted) return;
  bindings.RemoveBinding(current, kSelectMouse, code);
  bindings.AddBinding(wanted, kSelectMouse, code);
  current = wanted;
}

}  // namespace

CInputBindings* CreateGameBindings(CInputManager& manager, const GameSettingsBlock& settings) {
  CInputBindings* bindings = manager.CreateBindings(kGameActionCount);
  if (bindings == nullptr) return nullptr;
  constexpr std::array<uint8_t, 4> kArrows = {kDikUp, kDikDown, kDikLeft, kDikRight};
  for (uint32_t action = kActionUp; action <= kActionRight; ++action) {
    bindings->AddBinding(action, kSelectKeyboard, kArrows[action]);
    bindings->AddBinding(action, kFirstJoystick, static_cast<uint8_t>(kJoystickUp + action));
  }
  bindings->AddBinding(kActionDecide, kSelectKeyboard, kDikReturn);
  bindings->AddBinding(kActionDecide, kSelectKeyboard, kDikNumpadEnter);
  bindings->AddBinding(kActionCancel, kSelectKeyboard, kDikEscape);
  g_mouse_assignments = MouseAssignments{};
  ApplyKeyboardSettings(*bindings, settings);
  ApplyJoystickAndMouseSettings(manager, *bindings, settings);
  return bindings;
}

void ApplyKeyboardSettings(CInputBindings& bindings, const GameSettingsBlock& settings) {
  for (uint32_t action = kActionDecide; action < kGameActionCount; ++action) {
    // Decide keeps Enter and keypad Enter before the user's key, cancel keeps Escape.
    const uint32_t fixed = action == kActionDecide ? 2 : action == kActionCancel ? 1 : 0;
    AssignUserCode(bindings, action, kSelectKeyboard, fixed, settings[kSettingDecideKey + action - kActionDecide]);
  }
}

void ApplyJoystickAndMouseSettings(CInputManager& manager, CInputBindings& bindings,
                                   const GameSettingsBlock& settings) {
  manager.SetJoysticksEnabled(settings[kSettingJoysticksOn] != 0);
  for (uint32_t action = kActionDecide; action < kGameActionCount; ++action) {
    AssignUserCode(bindings, action, kFirstJoystick, 0, settings[kSettingDecideButton + action - kActionDecide]);
  }
  MoveMouseCode(bindings, kMouseRight, g_mouse_assignments.right, MouseChoiceAction(settings[kSettingRightButtonChoice]));
  MoveMouseCode(bindings, kMouseMiddle, g_mouse_assignments.middle,
                MouseChoiceAction(settings[kSettingMiddleButtonChoice]));
  MoveMouseCode(bindings, kMouseWheelAway, g_mouse_assignments.wheel_away,
                settings[kSettingWheelAwayPagesBack] != 0 ? kActionPageBack : kActionTextHistory);
  bindings.RemoveBinding(kActionNextPage, kSelectMouse, kMouseWheelTowards);
  if (settings[kSettingWheelTowardsNextPage] != 0) bindings.AddBinding(kActionNextPage, kSelectMouse, kMouseWheelTowards);
}
