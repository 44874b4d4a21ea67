// The application object as the engine below the application shell reaches it (the built-in
// functions and the novel frame). The application lives in the top folder, so it installs itself
// here for as long as it lives; with none installed the callers do nothing and return 0.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/cursor_motion.h"
#include "base/frame_pacer.h"
#include "base/framework_settings.h"
#include "base/game_switches.h"

class IAppServices {
 public:
  virtual WindowBlock& WindowSettingBytes() = 0;
  virtual GameSwitches& SwitchBytes() = 0;
  virtual CFramePacer& Pacer() = 0;
  // The menu groups whose commands the scripts permit or withdraw; saving and loading are
  // allowed while their groups are permitted.
  static constexpr int kMenuSettings = 0;
  static constexpr int kMenuSave = 1;
  static constexpr int kMenuLoad = 2;
  static constexpr int kMenuBackToTitle = 3;
  static constexpr int kMenuScreenModeToggle = 4;
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
  // The sound-device command sent from the game thread with its words (channels, the rate code
  // and bits per sample; channels 0 asks for the defaults): the status of the set-up, which
  // also replaces words[0] (left as it was when nothing handled the command).
  virtual int32_t RequestSoundDeviceSetUp(std::array<uint32_t, 3>& words) = 0;
  // The message that the sound card cannot be used, the one shown at start-up, from the game
  // thread; its check box writes 1 into `switch_off` when ticked, else 0.
  virtual void ShowSoundCardMessage(uint8_t* switch_off) = 0;
  // The setting that loads every sound file whole instead of streaming it.
  virtual bool LoadSoundsWholeSetting() const = 0;
  // A message for the main window: posted, or sent from the game thread with the drawing held.
  virtual void PostWindowMessage(uint32_t message, uint32_t wparam) = 0;
  virtual void SendWindowMessage(uint32_t message, uint32_t wparam) = 0;
  // A modal message box with the stop icon and the application's title (Shift-JIS text), shown
  // on the window's thread also when the game thread asks.
  virtual void ShowStopMessage(const std::string& text) = 0;
  // The scripts' message box (box type 0 OK, 1 yes/no, 2 OK/cancel; the icon kind as the
  // application numbers it), shown on the window's thread: 1 yes or OK, 0 no, cancel or nothing
  // shown. The scripts' message dialog of a kind, fitted to its text: its answer, 0 without a
  // window or a text. Texts are Shift-JIS; a null title is the application's name.
  virtual uint8_t RequestScriptMessageBox(int box_type, const std::string& text, int icon_kind, const char* title) = 0;
  virtual uint8_t RequestScriptMessageDialog(const std::string& text, uint32_t kind, const char* title) = 0;
  // The state the novel frame reads each turn of its waits.
  virtual bool ReturnToTitlePending() const = 0;
  virtual bool SettingsChangedMark() const = 0;
  virtual void ClearSettingsChangedMark() = 0;
  // The cursor's edge zone as keypad digits (8 top, 2 bottom, 4 left, 6 right; 0 none).
  virtual uint8_t CursorEdgeZone() const = 0;
  virtual void SetCursorVisible(bool show) = 0;

 protected:
  ~IAppServices() = default;
};

extern IAppServices* g_AppServices;
