// The game's action table: its fixed bindings, the user's assignments laid over them, and the
// answers of the actions to the devices.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/input/game_key_bindings.h"
#include "base/input/input_manager.h"
#include "support/input_events.h"

namespace {

using test_support::KeyEvent;

using Bindings = std::vector<std::pair<int, int>>;  // {selector, code}

class InputBindingsTest : public testing::Test {
 protected:
  void SetUp() override {
    manager_.Create(kInputMethodMessages, kInputMethodMessages);
    manager_.Activate();
  }

  CInputBindings& Build() {
    CInputBindings* bindings = CreateGameBindings(manager_, settings_);
    EXPECT_NE(bindings, nullptr);
    return *bindings;
  }

  // Every binding of an action, in order, with its device as a selector.
  Bindings Of(const CInputBindings& bindings, uint32_t action) const {
    Bindings found;
    uint8_t code = 0;
    CInputDevice* device = nullptr;
    for (uint32_t index = 0; bindings.GetBinding(action, -1, index, &code, &device) == 0; ++index) {
      found.emplace_back(device == manager_.GetKeyboard() ? kSelectKeyboard : kSelectMouse, code);
    }
    return found;
  }

  test_support::InputFeed feed_;
  CInputManager manager_;
  GameSettingsBlock settings_ = DefaultGameSettings();
};

TEST_F(InputBindingsTest, TheDefaultTableBindsTheFixedKeysThenTheUsersChoices) {
  const CInputBindings& bindings = Build();
  EXPECT_EQ(bindings.GetActionCount(), 20u);
  const std::vector<std::pair<uint32_t, Bindings>> expected = {
      {kActionUp, {{0, 0xC8}}},
      {kActionRight, {{0, 0xCD}}},
      {kActionDecide, {{0, 0x1C}, {0, 0x9C}, {0, 0x2C}}},
      {kActionCancel, {{0, 0x01}, {0, 0x2D}}},
      {kActionAutoPlay, {{0, 0x1E}}},
      {kActionSystemMenu, {{0, 0x32}, {1, 1}}},
      {kActionTextHistory, {{0, 0xD2}, {1, 3}}},
      {kActionPageBack, {{0, 0xC9}}},
      {kActionNextPage, {{0, 0xD1}, {1, 4}}},
  };
  for (const auto& [action, wanted] : expected) EXPECT_EQ(Of(bindings, action), wanted) << "action " << action;
  // The joystick bindings find no joystick and are left out.
  EXPECT_EQ(bindings.CountBindings(kActionUp, kSelectFirstJoystick), 0u);
}

TEST_F(InputBindingsTest, TheUsersKeysAreAddedChangedAndRemovedBehindTheFixedOnes) {
  CInputBindings& bindings = Build();
  struct Step {
    uint8_t decide;
    uint8_t cancel;
    uint8_t auto_play;
    Bindings decide_bindings;
    Bindings auto_play_bindings;
  };
  const Step steps[] = {
      {0x39, 0x2D, 0x1F, {{0, 0x1C}, {0, 0x9C}, {0, 0x39}}, {{0, 0x1F}}},
      {0, 0x2D, 0, {{0, 0x1C}, {0, 0x9C}}, {}},
      {0x2C, 0x2D, 0x1E, {{0, 0x1C}, {0, 0x9C}, {0, 0x2C}}, {{0, 0x1E}}},
  };
  for (const Step& step : steps) {
    settings_[kSettingDecideKey] = step.decide;
    settings_[kSettingDecideKey + 2] = step.auto_play;
    ApplyKeyboardSettings(bindings, settings_);
    EXPECT_EQ(Of(bindings, kActionDecide), step.decide_bindings);
    EXPECT_EQ(Of(bindings, kActionAutoPlay), step.auto_play_bindings);
  }
  // Without the user's key Enter still decides.
  settings_[kSettingDecideKey] = 0;
  ApplyKeyboardSettings(bindings, settings_);
  feed_.Feed(manager_, KeyEvent(SDL_SCANCODE_RETURN, SDLK_RETURN, true));
  manager_.Update();
  EXPECT_TRUE(bindings.IsActionPressed(kActionDecide));
}

TEST_F(InputBindingsTest, EscapeAsTheCancelKeyIsBoundTwiceAndAnswersOnce) {
  settings_[kSettingDecideKey + 1] = 0x01;
  const CInputBindings& bindings = Build();
  EXPECT_EQ(Of(bindings, kActionCancel), (Bindings{{0, 0x01}, {0, 0x01}}));
  feed_.Feed(manager_, KeyEvent(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, true));
  manager_.Update();
  EXPECT_TRUE(bindings.IsActionPressed(kActionCancel));
  EXPECT_EQ(bindings.FindActionPressed(0, 0), static_cast<int32_t>(kActionCancel));
  EXPECT_EQ(bindings.FindActionPressed(kActionAutoPlay, 0), -1);
  EXPECT_EQ(bindings.FindActionDown(kActionCancel, 1), static_cast<int32_t>(kActionCancel));
  EXPECT_FALSE(bindings.IsActionPressed(kGameActionCount));
  EXPECT_FALSE(bindings.IsActionDown(kGameActionCount));
}

// Alt+Enter is the system's chord: neither Enter key decides while Alt is held, nor when the
// chord came and went within one frame; Enter alone decides again, and Alt stays out of the
// other keys' actions.
TEST_F(InputBindingsTest, EnterWithAltHeldIsNotDecide) {
  struct Key {
    SDL_Scancode scancode;
    SDL_Keycode key;
  };
  const Key alts[] = {{SDL_SCANCODE_LALT, SDLK_LALT}, {SDL_SCANCODE_RALT, SDLK_RALT}};
  const Key enters[] = {{SDL_SCANCODE_RETURN, SDLK_RETURN}, {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER}};
  const CInputBindings& bindings = Build();
  const auto feed = [this](const Key& key, bool down) { feed_.Feed(manager_, KeyEvent(key.scancode, key.key, down)); };
  for (const Key& alt : alts) {
    for (const Key& enter : enters) {
      SCOPED_TRACE(std::string(SDL_GetScancodeName(alt.scancode)) + "+" + SDL_GetScancodeName(enter.scancode));
      feed(alt, true);
      feed(enter, true);
      manager_.Update();
      EXPECT_FALSE(bindings.IsActionPressed(kActionDecide));
      EXPECT_FALSE(bindings.IsActionDown(kActionDecide));
      EXPECT_EQ(bindings.FindActionPressed(0, 0), -1);
      feed(enter, false);
      feed(alt, false);
      manager_.Update();
      feed(alt, true);
      feed(enter, true);
      feed(enter, false);
      feed(alt, false);
      manager_.Update();
      EXPECT_FALSE(bindings.IsActionPressed(kActionDecide)) << "within one frame";
      feed(enter, true);
      manager_.Update();
      EXPECT_TRUE(bindings.IsActionPressed(kActionDecide)) << "Enter alone";
      feed(enter, false);
      manager_.Update();
    }
  }
  feed(alts[0], true);
  feed(Key{SDL_SCANCODE_Z, SDLK_z}, true);
  manager_.Update();
  EXPECT_TRUE(bindings.IsActionPressed(kActionDecide)) << "Z decides with Alt held";
}

TEST_F(InputBindingsTest, TheMouseButtonsMoveBetweenTheActionsTheyChoose) {
  CInputBindings& bindings = Build();
  struct Step {
    uint8_t right;
    uint8_t middle;
    Bindings system_menu;  // mouse bindings of action 12
    Bindings hide_window;  // of action 11
  };
  const Step steps[] = {
      {2, 0, {}, {{1, 1}}},
      {2, 2, {}, {{1, 1}, {1, 2}}},
      {7, 2, {}, {{1, 2}}},
      {1, 0, {{1, 1}}, {}},
  };
  const auto mouse_only = [](Bindings all) {
    std::erase_if(all, [](const auto& binding) { return binding.first != kSelectMouse; });
    return all;
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(std::to_string(step.right) + "/" + std::to_string(step.middle));
    settings_[kSettingRightButtonChoice] = step.right;
    settings_[kSettingMiddleButtonChoice] = step.middle;
    ApplyJoystickAndMouseSettings(manager_, bindings, settings_);
    EXPECT_EQ(mouse_only(Of(bindings, kActionSystemMenu)), step.system_menu);
    EXPECT_EQ(mouse_only(Of(bindings, kActionHideWindow)), step.hide_window);
  }
  settings_[kSettingWheelAwayPagesBack] = 1;
  settings_[kSettingWheelTowardsNextPage] = 0;
  ApplyJoystickAndMouseSettings(manager_, bindings, settings_);
  EXPECT_EQ(bindings.CountBindings(kActionTextHistory, kSelectMouse), 0u);
  EXPECT_EQ(bindings.CountBindings(kActionPageBack, kSelectMouse), 1u);
  EXPECT_EQ(bindings.CountBindings(kActionNextPage, kSelectMouse), 0u);
}

TEST_F(InputBindingsTest, TheTableOperationsAnswerTheirStatuses) {
  CInputBindings* bindings = manager_.CreateBindings(2);
  ASSERT_NE(bindings, nullptr);
  EXPECT_EQ(manager_.CreateBindings(0), nullptr);
  EXPECT_EQ(bindings->AddBinding(2, kSelectKeyboard, 1), 1u);
  EXPECT_EQ(bindings->AddBinding(0, kSelectFirstJoystick, 1), 2u);
  EXPECT_EQ(bindings->AddBinding(0, kSelectKeyboard, 0x10), 0u);
  EXPECT_EQ(bindings->AddBinding(0, kSelectMouse, 0), 0u);
  EXPECT_EQ(bindings->AddBinding(0, kSelectKeyboard, 0x11), 0u);
  EXPECT_EQ(bindings->ChangeBinding(0, kSelectKeyboard, 0x12, 0x11), 0u);
  EXPECT_EQ(bindings->ChangeBinding(0, kSelectKeyboard, 0x13, 0x55), 3u);
  EXPECT_EQ(bindings->ChangeBinding(0, kSelectKeyboard, 0x14, -1), 0u);
  EXPECT_EQ(Of(*bindings, 0), (Bindings{{0, 0x14}, {1, 0}, {0, 0x12}}));
  uint8_t code = 0;
  EXPECT_EQ(bindings->GetBinding(0, kSelectKeyboard, 1, &code), 0u);
  EXPECT_EQ(code, 0x12);
  EXPECT_EQ(bindings->GetBinding(0, kSelectKeyboard, 2), 4u);
  EXPECT_EQ(bindings->GetBinding(0, -1, 3), 2u);
  EXPECT_EQ(bindings->GetBinding(0, 5, 0), 3u);
  EXPECT_EQ(bindings->RemoveBinding(0, kSelectKeyboard, 0x55), 3u);
  EXPECT_EQ(bindings->RemoveBinding(0, kSelectKeyboard, 0x14), 0u);
  EXPECT_EQ(Of(*bindings, 0), (Bindings{{1, 0}, {0, 0x12}}));
  EXPECT_EQ(bindings->RemoveBinding(0, -1, 0), 0u);
  EXPECT_EQ(bindings->CountBindings(0, kSelectMouse), 0u);
}

}  // namespace
