// An application for the built-in helpers, installed as g_BuiltinApp while it lives: settings
// blocks to set, a cursor that records where it is put, and the window messages it was handed.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "base/framework_settings.h"
#include "builtins/app_access.h"
#include "builtins/voice_ducking.h"

namespace test_support {

class FakeBuiltinApp : public IBuiltinApp, public CursorMotionHost {
 public:
  struct WindowMessage {
    uint32_t message;
    uint32_t wparam;
    bool sent;  // sent from the game thread rather than posted
    bool operator==(const WindowMessage&) const = default;
  };

  FakeBuiltinApp() { g_BuiltinApp = this; }
  ~FakeBuiltinApp() override { g_BuiltinApp = nullptr; }

  WindowBlock& WindowSettingBytes() override { return window; }
  GameSwitches& SwitchBytes() override { return switches; }
  CFramePacer& Pacer() override { return pacer; }
  int SetMenuGroup(int group, bool enabled) override {
    if (group < 0 || group >= static_cast<int>(menu_groups.size())) return -1;
    menu_groups[static_cast<std::size_t>(group)] = enabled;
    return 0;
  }
  bool MenuGroupPermitted(int group) const override { return menu_groups[static_cast<std::size_t>(group)]; }
  uint8_t AllowedScreenModes() const override { return 2; }
  uint8_t InstallInformation() const override { return 0; }
  void SwitchBackFormatRefresh(bool) override {}
  void SwitchZeroSleep(bool) override {}
  CursorMotionHost& CursorHost() override { return *this; }
  plat::Point CursorInGame() const override { return in_game; }
  plat::Point GameScreenSize() const override { return {640, 480}; }
  uint8_t WindowBehaviourBits() const override { return behaviour; }
  uint8_t VoiceDuckingSetting() const override { return ducking; }
  void PostWindowMessage(uint32_t message, uint32_t wparam) override { messages.push_back({message, wparam, false}); }
  void SendWindowMessage(uint32_t message, uint32_t wparam) override { messages.push_back({message, wparam, true}); }

  bool IsActive() const override { return true; }
  plat::Point GameToScreen(plat::Point point) const override { return point; }
  plat::Point GetCursorPos() const override { return cursor; }
  void SetCursorPos(plat::Point point) override { cursor = point; }

  WindowBlock window = DefaultWindowBlock();
  GameSwitches switches = DefaultGameSwitches();
  CFramePacer pacer{60, false};
  std::array<bool, 5> menu_groups{};
  plat::Point in_game{10, 10};
  plat::Point cursor{0, 0};
  uint8_t behaviour = 0;
  uint8_t ducking = kDuckingSettingDefault;
  std::vector<WindowMessage> messages;
};

}  // namespace test_support
