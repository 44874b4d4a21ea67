// The game's table of 20 actions: the fixed bindings, and the user's keys, joystick buttons and
// mouse choices from the game settings laid over them.
#pragma once

#include <cstdint>

#include "base/settings/game_settings.h"

class CInputBindings;
class CInputManager;

enum EGameAction : uint32_t {
  kActionUp = 0,
  kActionDown = 1,
  kActionLeft = 2,
  kActionRight = 3,
  kActionDecide = 4,
  kActionCancel = 5,
  kActionAutoPlay = 6,
  kActionSave = 7,
  kActionLoad = 8,
  kActionQuickSave = 9,
  kActionQuickLoad = 10,
  kActionHideWindow = 11,
  kActionSystemMenu = 12,
  kActionConfiguration = 13,
  kActionTextHistory = 14,
  kActionSkipToChoice = 15,
  kActionBackToChoice = 16,
  kActionBackToTitle = 17,
  kActionPageBack = 18,
  kActionNextPage = 19,
  kGameActionCount = 20,
};

// The game settings bytes of the assignments.
inline constexpr std::size_t kSettingDecideKey = 114;  // then one byte per action to 19 (129)
inline constexpr std::size_t kSettingJoysticksOn = 132;
inline constexpr std::size_t kSettingDecideButton = 133;  // then one byte per action to 19 (148)
inline constexpr std::size_t kSettingRightButtonChoice = 149;
inline constexpr std::size_t kSettingWheelAwayPagesBack = 150;
inline constexpr std::size_t kSettingMiddleButtonChoice = 152;
inline constexpr std::size_t kSettingWheelTowardsNextPage = 153;

// Makes the table with its fixed bindings and the settings' assignments: null when it cannot be
// made. The mouse assignments start afresh with it.
CInputBindings* CreateGameBindings(CInputManager& manager, const GameSettingsBlock& settings);
// The keyboard assignments (also after the user changes them).
void ApplyKeyboardSettings(CInputBindings& bindings, const GameSettingsBlock& settings);
// The joystick switch, the joystick buttons and the mouse assignments; the caller holds the
// application lock.
void ApplyJoystickAndMouseSettings(CInputManager& manager, CInputBindings& bindings, const GameSettingsBlock& settings);
