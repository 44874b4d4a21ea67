// The application object as the engine below the application shell reaches it (the built-in
// functions and the novel frame). The application lives in the top folder, so it installs itself
// here for as long as it lives; with none installed the callers do nothing and return 0.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/files/drop_files.h"
#include "base/files/script_dialogs.h"
#include "base/input/cursor_motion.h"
#include "base/settings/framework_settings.h"
#include "base/settings/game_switches.h"
#include "base/threads/critical_section.h"
#include "base/time/frame_pacer.h"

struct CFontList;

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
  // WM_CLOSE with kCloseConfirmed for its wparam ends the application as the close box does,
  // without asking again: the player has confirmed it in the game.
  static constexpr uint32_t kCloseConfirmed = 1;
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
  // The scripts' dialogs, each sent from the game thread as the main window's menu command.
  // The text-input dialog shows the parameters last set; its text is the entry after OK, empty
  // when it was closed otherwise.
  virtual void SetTextInputParameters(const ScriptTextInputParameters& parameters) = 0;
  virtual std::string InputText() = 0;
  // The open or save chooser: 0 nothing chosen; for the save chooser 1 plus the offset of the
  // extension in the path (0 without one), for the open chooser 1.
  virtual int32_t ChooseFile(ScriptFileChoice& choice, bool save) = 0;
  // The chosen folder with a trailing backslash; empty when none was chosen.
  virtual std::string ChooseFolder(const std::string& title, const std::string& initial_folder) = 0;
  // The files dropped onto the main window, and the window that takes them.
  virtual CDropFiles& DroppedFiles() = 0;
  virtual plat::WindowId MainWindowId() const = 0;

  // What the scripts' application built-ins change. The frame-rate modes nest by counters and
  // answer 1 when the mode changed; the priority hooks answer as the application's hooks do.
  virtual void ApplyFrameRate(int32_t frames_per_second) = 0;
  virtual int BeginNoWait() = 0;
  virtual int EndNoWait() = 0;
  virtual int SuspendHighResTimer() = 0;
  virtual int ResumeHighResTimer() = 0;
  virtual int LowerGameThreadPriority() = 0;
  virtual int RestoreGameThreadPriority() = 0;
  // Lets the player switch the screen mode now (behaviour bit 2, the toggle's menu group and the
  // maximize box of a window that may also go full screen), or stops it.
  virtual void AllowScreenModeChange(bool allowed) = 0;
  // The two keyboard-hook bits of the behaviour, and the full-screen keyboard grab installed or
  // removed.
  virtual void SetKeyboardHook(uint8_t bits, bool install) = 0;
  // Whether a screen-mode switch happened since the last call (the behaviour's bit 3, cleared).
  virtual bool TakeScreenModeSwitched() = 0;
  // Selects the display for full screen at `depth` bits (0 the current depth) for the main
  // window: 0 when the display offers it (the screen manager keeps the depth it settled on).
  virtual uint32_t SelectFullScreenDisplay(uint8_t depth) = 0;
  // Asks the window's thread to switch to `mode` (1 full screen, 2 window) at `depth`: 0 done.
  virtual int32_t RequestScreenMode(uint8_t mode, uint8_t depth) = 0;
  // A switch the scripts asked for failed: the frame procedures report it.
  virtual void MarkModeSwitchFailed() = 0;
  // What the game is asking the player (0 nothing).
  virtual uint8_t ModalState() const = 0;
  // The per-user save folder; empty when none is chosen.
  virtual std::string SaveFolderText() = 0;
  // Puts the cursor at a point of the game screen, which becomes the tracked position.
  virtual void PutCursorInGame(int32_t x, int32_t y) = 0;
  // The application lock, held around every use of the window movie (g_Movie) and of the movie
  // state byte: the window's handlers use both from the window thread.
  virtual CCriticalSection& MovieLock() = 0;
  // The movie state byte: 0 while no window movie plays, else the state its media reports + 1.
  virtual void SetMovieState(uint8_t state) = 0;
  // Whether an embedded movie plays as a sprite of the frame image's draw list (the game
  // composes in a display canvas, and start-up loads the sprite movie library) rather than as an
  // item of the screen's render list.
  virtual bool UsesMovieSprite() const = 0;
  // The installed-font list the scripts fill and read.
  virtual CFontList& InstalledFonts() = 0;

 protected:
  ~IAppServices() = default;
};

extern IAppServices* g_AppServices;
