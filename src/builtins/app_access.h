// The application object as the settings built-ins reach it. The application lives in the
// folder above them, so it installs itself here for as long as it lives; with none installed the
// settings built-ins do nothing and return 0.
#pragma once

#include <cstdint>

#include "base/cursor_motion.h"
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
  // What the cursor-move task needs: the cursor's mover, the tracked cursor in game-screen
  // pixels and the game screen's size.
  virtual CursorMotionHost& CursorHost() = 0;
  virtual plat::Point CursorInGame() const = 0;
  virtual plat::Point GameScreenSize() const = 0;
  // The window-behaviour bits; bit 2 lets the screen mode change.
  virtual uint8_t WindowBehaviourBits() const = 0;
  // How far voices lower the music, in percent; 50 asks for the ducking's own halving.
  virtual uint8_t VoiceDuckingSetting() const = 0;
  // A message for the main window: posted, or sent from the game thread with the drawing held.
  virtual void PostWindowMessage(uint32_t message, uint32_t wparam) = 0;
  virtual void SendWindowMessage(uint32_t message, uint32_t wparam) = 0;

 protected:
  ~IBuiltinApp() = default;
};

extern IBuiltinApp* g_BuiltinApp;
