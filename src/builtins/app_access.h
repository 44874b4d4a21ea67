// The application object as the settings built-ins reach it. The application lives in the
// folder above them, so it installs itself here for as long as it lives; with none installed the
// settings built-ins do nothing and return 0.
#pragma once

#include <cstdint>

#include "base/frame_pacer.h"
#include "base/framework_settings.h"
#include "base/game_switches.h"

class IBuiltinApp {
 public:
  virtual WindowBlock& WindowSettingBytes() = 0;
  virtual GameSwitches& SwitchBytes() = 0;
  virtual CFramePacer& Pacer() = 0;
  // The five menu groups' permissions: set returns 0, or -1 for a group above 4.
  virtual int SetMenuGroup(int group, bool enabled) = 0;
  virtual bool MenuGroupPermitted(int group) const = 0;
  // 0 window only (no switching), 1 full screen only, 2 both.
  virtual uint8_t AllowedScreenModes() const = 0;
  virtual uint8_t InstallInformation() const = 0;
  // The frame procedures' switches.
  virtual void SwitchBackFormatRefresh(bool on) = 0;
  virtual void SwitchZeroSleep(bool on) = 0;

 protected:
  ~IBuiltinApp() = default;
};

extern IBuiltinApp* g_BuiltinApp;
