// The game's layer of the application object: the game switches and settings, the frame pacer
// and the two timer managers, the script engine and the frame procedures that run it pass by
// pass, the frame-rate modes the scripts ask for, the thread-priority hooks, and the sound output
// with its menu command. The set-up, the input devices and the other menu commands join with
// their issues and say so in the program log when the program reaches them.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "app/framework/framework_app.h"
#include "app/framework/private_messages.h"
#include "base/threads/critical_section.h"
#include "base/files/drop_files.h"
#include "base/time/frame_pacer.h"
#include "base/settings/game_settings.h"
#include "base/settings/game_switches.h"
#include "base/settings/settings_files.h"
#include "base/time/timer_manager.h"
#include "base/numbers/trig_tables.h"
#include "base/system/app_services.h"
#include "builtins/voice_ducking.h"
#include "effects/patterns/timed_wipe_host.h"
#include "gfx/images/pixel_library.h"
#include "scene/movies/dshow_library.h"
#include "sound/sound_output.h"
#include "ui/fonts/font_list.h"

class CGameScriptHost;
class CVersionDialogModel;

// Frame wait modes (switch 1).
inline constexpr uint8_t kFrameWaitAutomatic = 0;
inline constexpr uint8_t kFrameWaitTimer = 1;
inline constexpr uint8_t kFrameWaitNone = 2;

// Drawing methods of an enlarged screen (game setting 160).
inline constexpr uint8_t kDrawingByTexture = 1;
inline constexpr uint8_t kDrawingByDirectDraw = 2;

// InitDevices results besides 0.
inline constexpr int kDevicesInputMissing = 1;
inline constexpr int kDevicesBindingsFailed = 2;

// InitScriptEngine results.
inline constexpr int kScriptEngineNoMemory = 1;
inline constexpr int kScriptEngineLibrariesFailed = 2;
inline constexpr int kScriptEngineMainUnreadable = 3;
inline constexpr int kScriptEngineMainRefused = 4;
inline constexpr int kScriptEngineMainForDebugging = 5;

class CGameApp : public CFrameworkApp, public IAppServices {
 public:
  // What the frame procedures return besides the number of script slices due.
  static constexpr int kFrameStop = 0;
  static constexpr int kFrameOneSlice = -1;

  CGameApp();
  ~CGameApp() override;

  int SetUp() override;
  const char* GetSaveFolder() override { return save_folder_.empty() ? nullptr : save_folder_.c_str(); }
  // Adds the game's handlers to the main window's message map and settles the starting screen
  // mode: a window while Ctrl is held, and the display's answer when the maximize box is on.
  int PrepareWindow() override;
  // Selects the display for full screen (the status of the screen manager's SelectDisplay, 0
  // success): the monitor of the window (without one, of the game screen at the stored window
  // position), or the monitor the game settings name.
  uint32_t GetMonitorForWindow(const CWindow* window, uint8_t depth);
  int InitDevices() override;
  void OnExitBegin(int code) override;
  // Shows or hides the system cursor on the window's thread; nothing before the window exists.
  void SetCursorVisible(bool show) override;
  void SaveSettings(int code) override;
  // The end of the session (a log-off, or a request to end the program): the application is
  // ending from then on (it shows no more boxes), the scripts' persistent file and read-text log
  // are written and the settings saved; 1, so that the session may end.
  virtual int OnQueryEndSession(MessageBlock& block);
  void RunOwnLoop() override;
  int OnThreadStart() override;
  int OnThreadStep() override;
  void OnThreadEnd() override;

  // The main window's menu commands (WM_COMMAND, the command in the low word of wParam).
  virtual int OnMenuCommand(MessageBlock& block);
  // The menu's items; those of a group the scripts withdrew are grayed.
  std::vector<plat::MenuOverlayItem> MenuItems() const override;

  // Permits (or withdraws) a group's commands: 0, or -1 for a group above 4.
  int SetMenuState(int group, bool enabled);
  bool IsMenuPermitted(int group) const { return menu_permissions_[static_cast<std::size_t>(group)] != 0; }
  // What the game is asking the player: 0 nothing, 4 whether to end, 7 whether to go back to
  // the title.
  static constexpr uint8_t kAskingToClose = 4;
  static constexpr uint8_t kAskingBackToTitle = 7;
  uint8_t GetModalState() const { return modal_state_.load(); }

  // Makes the script host, loads the libraries and "MAIN" and chooses the frame procedure: 0,
  // or a kScriptEngine* code (a load failure of MAIN beyond those: its code plus 2), each after
  // its message.
  int InitScriptEngine();
  // RunScript's result when a restart at "MAIN" failed.
  static constexpr int kRunRestartFailed = -1;
  // OnThreadStep's result when a restart at "MAIN" failed.
  static constexpr int kStepRestartFailed = 6;

  // The game in single-thread mode: frames and script slices until the scripts end or the window
  // closes (0), or a failure ends the run after its message: the script engine's code, a
  // run-loop result from 2 on, or kRunRestartFailed.
  int RunScript();
  // One pass of the single-thread run: a frame, then the script slices due. False when the run
  // ends, with RunScript's result in `result`.
  bool RunScriptPass(int& result);
  // The stop check of a script that runs long without yielding: true when the game must end (the
  // application quits, or the game thread was asked to stop). On the window's thread it first
  // reads the window's messages, which nothing else does while the script runs.
  bool ShouldStopRunningScript();

  // The current frame procedure (none before the script engine starts: kFrameStop). Every pass
  // comes here, the run loop's and those of the waits nested in built-in calls, so that a
  // whole-program test can count and drive the frames.
  virtual int RunFrame();
  int FrameSingle();
  int FrameSingleCanvas();
  int FrameThreaded();
  int FrameThreadedCanvas();

  // Frames per second (negative: the pacer's current rate) with the wait mode of the switches.
  void ApplyFrameRate(int32_t frames_per_second) override;
  // Menu command 40001: window <-> full screen, when full screen is allowed and the scripts permit it.
  void ToggleScreenMode();
  // Nested by counters: 1 when the mode changed, else 0. An end without a begin changes nothing.
  int BeginNoWait() override;
  int EndNoWait() override;
  int SuspendHighResTimer() override;
  int ResumeHighResTimer() override;
  int GetNoWaitNesting() const { return no_wait_nesting_; }
  int GetHighResSuspension() const { return high_res_suspension_; }

  // The nested priority hooks of heavy work: lower returns 0 lowered, 1 already lowered, 2 no
  // thread to lower (still counted), -1 the hooks are switched off; restore returns the nesting
  // count before the call.
  int LowerGameThreadPriority() override;
  int RestoreGameThreadPriority() override;
  int GetPriorityNesting() const { return priority_nesting_; }

  // The game's message handlers.
  // WM_SYSCOMMAND: maximizing (and restoring a window that is not minimized) asks for the
  // screen-mode toggle.
  virtual int OnSysCommand(MessageBlock& block);
  // WM_DESTROY: stops the movies that draw into the window, hides it, keeps its position in
  // window mode and ends the program: quit is set and the message loop ends.
  virtual int OnDestroy(MessageBlock& block);
  // WM_DROPFILES: brings the window to the front and queues the drop's files; 0.
  virtual int OnDropFiles(MessageBlock& block);
  // kMsgDialogRequest: the message dialog of the request block.
  virtual int OnDialogRequest(MessageBlock& block);
  virtual int OnMovieNotify(MessageBlock& block);
  // WM_CLOSE: asks the player first, in full screen as in a window: no full screen here holds
  // the display so that the question could not be shown over it. A close the game has confirmed
  // (kCloseConfirmed) asks nothing.
  int OnClose(MessageBlock& block) override;
  // As the framework's, but a movie painting itself (movie-playing byte 2) repaints its frame.
  int OnPaint(MessageBlock& block) override;
  // The window movie is told of the new display mode first, then the framework's handler runs.
  int OnDisplayChange(MessageBlock& block) override;
  // Deletes the window movie, which would draw over the deactivated full screen.
  void OnDeactivateFullScreen() override;

  // The game's message dialog (a kDialog* kind) owned by `owner` (0: the main window, else the
  // desktop): 1 OK or yes, 0 no, closed, or not shown (which the program log tells); kinds
  // above 3 show nothing (0). A null title is the application name.
  int ShowMessageDialog(const std::string& text, uint32_t kind, uint8_t* switch_off, const char* title,
                        bool fit_to_text, plat::WindowId owner = 0);
  // The same for a request block, whose result takes the answer of kinds 2 and 3: 1 for a
  // missing block or text, else the dialog's answer.
  int ShowRequestedDialog(MessageDialogRequestBlock* request);
  // The message dialog for the game thread, shown on the window thread: its answer, 0 without a
  // main window or a text.
  uint8_t RequestMessageDialog(const std::string& text, uint32_t kind, uint8_t* switch_off, const char* title,
                               bool fit_to_text);

  // Menu commands 40005 and 40006: the configuration sheet, when no question is open and the
  // scripts permit it. 1 when the sheet ended with OK.
  int ShowConfigSheet();
  // Menu command 40004: the version dialog with the system report.
  void ShowVersionDialog();
  // The text-input dialog over the settings: 1 after OK (the settings' text holds the result), 0
  // when it was closed or could not be shown.
  int ShowTextInputDialog(TextInputDialogSettings& settings);

  // Menu commands 40027 and 40028 (open and save) and 40029 (folder), for the game thread.
  void ShowFileDialog(FileDialogRequestBlock& request, bool save);
  void ShowFolderDialog(FolderDialogRequestBlock& request);

  GameSwitches& GetGameSwitches() { return game_switches_; }
  GameSettingsBlock& GetGameSettings() { return game_settings_; }
  // The install information byte of the game's uninstall record; 0 when there is none.
  uint8_t GetInstallInformation() const { return install_information_; }
  // The save folder the user chose, empty when none.
  const std::string& GetChosenSaveFolder() const { return chosen_save_folder_; }
  CFramePacer& GetFramePacer() { return pacer_; }
  CTimerManager& GetTimerManager() { return timers_; }
  CTimerManager& GetPausableTimerManager() { return pausable_timers_; }
  CGameScriptHost* GetScriptHost() { return script_host_.get(); }
  CSoundOutput& GetSoundOutput() { return sound_output_; }
  CDropFiles& GetDropFiles() { return drop_files_; }
  CCriticalSection& GetGameLock() { return game_lock_; }
  // Taken around every use of the current movie object.
  CCriticalSection& GetAppLock() { return app_lock_; }
  // 0 none; n > 0 restarts the scripts at "MAIN" with the boot value kept when n - 1 is non-zero.
  uint8_t GetRestart() const { return restart_.load(); }
  void SetRestart(uint8_t value) { restart_.store(value); }
  void SetBackFormatRefresh(bool on) { back_format_refresh_.store(on); }
  void SetZeroSleep(bool on) { zero_sleep_.store(on); }
  bool GetBackFormatRefresh() const { return back_format_refresh_.load(); }
  bool GetZeroSleep() const { return zero_sleep_.load(); }

  // The application as the settings built-ins reach it (g_AppServices while it lives).
  WindowBlock& WindowSettingBytes() override { return GetWindowSettings(); }
  GameSwitches& SwitchBytes() override { return game_switches_; }
  CFramePacer& Pacer() override { return pacer_; }
  int SetMenuGroup(int group, bool enabled) override { return SetMenuState(group, enabled); }
  bool MenuGroupPermitted(int group) const override { return IsMenuPermitted(group); }
  uint8_t AllowedScreenModes() const override { return GetAppInfo().allowed_screen_modes; }
  uint8_t InstallInformation() const override { return install_information_; }
  void SwitchBackFormatRefresh(bool on) override { SetBackFormatRefresh(on); }
  void SwitchZeroSleep(bool on) override { SetZeroSleep(on); }
  CursorMotionHost& CursorHost() override { return *this; }
  plat::Point CursorInGame() const override { return {GetTrackedCursor().x.load(), GetTrackedCursor().y.load()}; }
  plat::Point GameScreenSize() const override { return {GetAppInfo().screen_width, GetAppInfo().screen_height}; }
  uint8_t WindowBehaviourBits() const override { return GetWindowBehaviour(); }
  uint8_t VoiceDuckingSetting() const override { return voice_ducking_; }
  int32_t RequestSoundDeviceSetUp(std::array<uint32_t, 3>& words) override;
  void ShowSoundCardMessage(uint8_t* switch_off) override;
  bool LoadSoundsWholeSetting() const override { return environment_[kEnvLoadSoundsWhole] != 0; }
  void PostWindowMessage(uint32_t message, uint32_t wparam) override { GetMainWindow().PostMessage(message, wparam, 0); }
  void SendWindowMessage(uint32_t message, uint32_t wparam) override { SendFromGameThread(message, wparam, 0); }
  void ShowStopMessage(const std::string& text) override;
  uint8_t RequestScriptMessageBox(int box_type, const std::string& text, int icon_kind, const char* title) override {
    return RequestMessageBox(box_type, text, icon_kind, title);
  }
  uint8_t RequestScriptMessageDialog(const std::string& text, uint32_t kind, const char* title) override {
    return RequestMessageDialog(text, kind, nullptr, title, true);
  }
  bool ReturnToTitlePending() const override { return restart_.load() != 0; }
  bool SettingsChangedMark() const override { return settings_changed_.load() != 0; }
  void ClearSettingsChangedMark() override { settings_changed_.store(0); }
  uint8_t CursorEdgeZone() const override { return GetCursorEdge(); }
  void SetTextInputParameters(const ScriptTextInputParameters& parameters) override;
  std::string InputText() override;
  int32_t ChooseFile(ScriptFileChoice& choice, bool save) override;
  std::string ChooseFolder(const std::string& title, const std::string& initial_folder) override;
  CDropFiles& DroppedFiles() override { return drop_files_; }
  plat::WindowId MainWindowId() const override { return main_window_.GetHandle(); }
  void AllowScreenModeChange(bool allowed) override;
  void SetKeyboardHook(uint8_t bits, bool install) override;
  bool TakeScreenModeSwitched() override;
  uint32_t SelectFullScreenDisplay(uint8_t depth) override { return GetMonitorForWindow(&GetMainWindow(), depth); }
  int32_t RequestScreenMode(uint8_t mode, uint8_t depth) override { return RequestScreenModeChange(mode, depth, 0); }
  void MarkModeSwitchFailed() override { SetFatalError(kFatalModeSwitchFailed); }
  uint8_t ModalState() const override { return GetModalState(); }
  std::string SaveFolderText() override { return save_folder_; }
  void PutCursorInGame(int32_t x, int32_t y) override { SetCursorPosClient(x, y); }
  CCriticalSection& MovieLock() override { return app_lock_; }
  void SetMovieState(uint8_t state) override { SetMoviePlaying(state); }
  bool UsesMovieSprite() const override { return HasDisplayCanvas(); }
  CFontList& InstalledFonts() override { return installed_fonts_; }
  void SetMoviePlaying(uint8_t value) { movie_playing_ = value; }

 protected:
  // What the confirmed pages of the configuration sheet change besides the settings; any
  // confirmed page sets the settings-changed mark.
  void ApplyConfirmedPages(const std::array<bool, 4>& pages, bool hint_settings_changed);
  // On the game thread: the bindings of the pages confirmed since the last call.
  void TakeUpConfirmedBindings();
  // Shows a failure of the scripts (kind 4, main window), through the window thread when called
  // on another.
  void ShowScriptFailure(const char* utf8_text);

 private:
  using FrameProcedure = int (CGameApp::*)();
  // The game thread's sleep while it is parked or the game is inactive.
  static constexpr uint32_t kGameThreadIdleMs = 50;
  // More frames to skip than this are not caught up with script slices.
  static constexpr int kMostSlicesPerFrame = 4;

  // Before the main window goes: every movie player, or only the window movie while the game
  // thread still runs.
  void EndMoviesOfWindow();
  // PrepareWindow's last step: full screen refused when no display can be selected, or chosen
  // when the window does not fit the desktop.
  void CheckDisplayForWindow();
  // InitDevices' first step: the drawing settings after the screen start.
  void TakeUpScreenStart();
  // Publishes the keyboard, the mouse and the first joystick, and builds the game's bindings:
  // 0, or an InitDevices result after its message.
  int PublishInputDevices();
  // The thread whose priority the hooks change; 0 when the worker thread is not running.
  uint32_t PriorityTarget();
  void SetNormalPriority();
  // The game ends: heavy work that is still under way (a motion on a timer manager, deleted
  // after the hooks are gone) must not leave the thread at the lowest priority.
  void EndLoweredPriority();
  bool InactiveWait() const;
  // Sleeps; on the game thread a stop request ends the wait early.
  void Wait(uint32_t milliseconds, bool threaded);
  // The sleep of a frame that is not due: until it is due, or for the wait hint without the counter.
  void SleepUntilDue(bool threaded);
  // On the main thread the window's events are read once a frame, after its sleep: a frame that
  // is not due yet sleeps first, so that what arrives meanwhile reaches the frame it leads to.
  // Nothing sleeps while the priority is lowered (those passes draw).
  void SleepBeforeReadingEvents();
  void SleepWhileVerticalBlankPaced(bool threaded);
  void UpdateInput();
  // Draws the render lists into the back surface: no back surface, or a movie playing, draws
  // nothing. The back format is refreshed first when switched on.
  void DrawRenderLists();
  // Presents the back surface, restoring lost surfaces: false when that failed (fatal error 1).
  bool PresentBack();
  void UpdateCanvas();
  // Draws and presents at once while the priority is lowered: false when the present failed.
  bool DrawWhileLowered(bool canvas);
  // The same on the game thread, under the display lock.
  bool PresentOnGameThread(bool canvas);
  // A pass that is not due while the priority is lowered: drawn and presented at once, then the
  // shortest sleep, so that the loop never spins (the clock moves on towards the due frame).
  bool DrawLoweredPass(bool canvas, bool threaded);
  // The due frame on the game thread: input, then the canvas's changes or the render lists.
  void DrawDueFrameOnGameThread(bool canvas);
  int FrameThreadedLoop(bool canvas);
  // The game thread's pass: the due frame before the script slices, its present after them.
  void DrawStepFrameOnGameThread(bool canvas);
  void PresentStepFrameOnGameThread(bool canvas);
  // The start of a pass on the main thread: the messages, the stop conditions, the first timer
  // manager and the wait while inactive. False when the frame procedure stops.
  bool BeginPassOnMainThread();
  // Acknowledges the main thread's blocking wait and idles: true while it lasts.
  bool ParkWhileBlockingWait();
  // The frames-to-skip answer of a due frame: -1 one slice, or 1 to 4 slices.
  int DueFrameResult(bool threaded);
  // Runs one slice and reports a failure: the run-loop result.
  uint32_t RunSlice();
  // Restarts the scripts at "MAIN" for the restart byte: false after the failure message.
  bool RestartScripts();
  // The shared start of both run modes: the frame-skip switch and the script engine.
  int StartScriptEngine();
  // Publishes the sound output and opens its device for the main window.
  void StartSoundDevice();
  // Sets the output format from the sound-device command's words: the status of the set-up.
  int32_t SetUpSoundOutput(const SoundDeviceRequestBlock& request);
  // Steps of the set-up (game_set_up.cpp, game_save_folder.cpp); each answers 0 or the set-up's
  // failure result.
  void RegisterDecoders();
  void LoadPlayerPlugins();
  int ReadApplicationFiles();
  std::string SettingsUserFolder(uint8_t kind);
  int PrepareUserConfig();
  int ReadUserConfigFile();
  // The save folder of the game's kind, unless that is the root, the home folder or a system folder.
  int ChooseSaveFolder(bool& chosen);
  int FindSaveFolder(bool& chosen);
  std::optional<int> ChooseNewSaveFolder(bool& chosen);
  // The user folder under the application-data folder (where kind 3 keeps the saves) in place of
  // a save folder that may not be used, said in the log with `why`: 0, or the set-up's failure
  // after its message when that folder cannot be had either.
  int UseDataSaveFolder(const std::string& why);
  // The name of the game's user folder as its information file gives it; PlainFolderName makes the
  // folder's name of it, and the set-up logs when that had to change it.
  std::string SaveFolderName();
  void LogSaveFolderName();
  void ReadGameSettings();
  void ReadInstallInformationFile();
  void ApplyDrawingSettings();
  // Loads the movie library the display calls for and the window movie library when switch 7 is
  // on, and publishes them.
  void LoadMovieLibraries();
  void UnpublishMovieLibraries();
  // The drawing settings of the game settings into the screen manager.
  void ApplyScreenDrawingSettings();
  // kBindingPage* bits: the keyboard and the joystick-and-mouse assignments of `settings`.
  void ApplyBindingPages(uint8_t pages, const GameSettingsBlock& settings);
  // Advances the first timer manager at the start of a pass of the game thread.
  void BeginGameThreadPass();
  // The user folder under a special folder: the save-folder name or the application name and
  // " SaveData", made one plain name, ending with a backslash; empty when the special folder
  // cannot be had.
  std::string UserFolder(int special_folder);
  // Before `folder`, the game's folder in the application data folder, is first made: the plain
  // files of the one earlier versions kept in the desktop's data folder, copied once when it
  // holds a settings file as the engine writes it (see the source). When the copy failed, the
  // path that stood in its way: the start then ends, and the next one tries again.
  std::optional<std::string> CarryOverEarlierDataFolder(const std::string& folder);
  // The folder the user's settings file is written into (empty when there is none).
  std::string UserConfigFolder();
  // Tells, by the log with the system's reason and by the box `box_text`, that the settings file
  // `what` at `path` could not be written; once a run: the end of a session saves the settings
  // and the exit that follows saves them again. The box shows also once the window has closed,
  // when the player ended the game: the changed settings are lost unless the player learns it.
  // At the end of the session the log alone tells it.
  void TellUnwrittenSettings(const char* what, const std::string& path, const char* box_text);
  UserConfigBlocks UserConfigView();

  GameSwitches game_switches_ = DefaultGameSwitches();
  GameSettingsBlock game_settings_ = DefaultGameSettings();
  std::string save_folder_;
  std::string user_config_path_;     // absolute, or the relative name found through the data files
  std::string chosen_save_folder_;   // the folder USER.CFG names (save-folder kind 2)
  std::set<std::string> unwritten_settings_told_;
  // The session ends (a log-off, a request to end the program): nothing may hold the end up.
  bool ending_session_ = false;
  uint8_t install_information_ = 0;
  CFramePacer pacer_{60, false};
  CTimerManager timers_;
  CTimerManager pausable_timers_;
  // Runs the timed wipes on the second timer manager once the devices are set up.
  CTimedWipeHost timed_wipe_host_;
  CTrigTables trig_tables_;
  // Bound as g_PixelLib at device initialisation.
  CPixelLibrary pixel_library_;
  // The loaded movie libraries, published for the movie players.
  std::unique_ptr<CDShowLibrary> movie_library_;
  std::unique_ptr<CDShowLibrary> window_movie_library_;
  // After the timer managers, so that the buffers end their fades while the managers live.
  CSoundOutput sound_output_;
  std::unique_ptr<CGameScriptHost> script_host_;
  // Set when the configuration sheet changed the game settings; the scripts clear it once they
  // have brought their message display in line.
  std::atomic<uint8_t> settings_changed_{0};
  // The scripts walk the bindings on the game thread without a lock: a sheet confirmed on the
  // window thread leaves its binding pages and the settings they were confirmed with here for
  // the game thread's next pass.
  CCriticalSection confirmed_bindings_lock_;
  std::atomic<uint8_t> confirmed_binding_pages_{0};
  GameSettingsBlock confirmed_binding_settings_{};
  FrameProcedure frame_procedure_ = nullptr;
  CDropFiles drop_files_;
  // The scripts' text-input dialog: its parameters and the last text entered.
  TextInputDialogSettings script_text_input_;
  std::atomic<bool> back_format_refresh_{false};
  std::atomic<bool> zero_sleep_{false};
  uint8_t saved_frame_wait_mode_ = kFrameWaitTimer;
  uint8_t saved_high_res_ = 1;
  // The drawing method of an enlarged screen and the screen mode as the set-up left them.
  uint8_t requested_drawing_method_ = 0;
  uint8_t set_up_screen_mode_ = 0;
  int no_wait_nesting_ = 0;
  int high_res_suspension_ = 0;
  CCriticalSection game_lock_;
  std::atomic<uint8_t> restart_{0};
  std::atomic<uint8_t> modal_state_{0};
  // Settings dialog, save, load, back to title, screen-mode toggle.
  std::array<std::atomic<uint8_t>, 5> menu_permissions_{1, 0, 0, 0, 1};
  int priority_nesting_ = 0;
  // The music's level while a voice plays, in percent.
  uint8_t voice_ducking_ = kDuckingSettingDefault;
  CCriticalSection app_lock_;
  CFontList installed_fonts_;

  // Menu command 40002: asks, and restarts at "MAIN" on yes.
  void BackToTitle();
  // Menu command 40030: the sound output's format.
  int OnSoundDeviceCommand(MessageBlock& block);

  // The owner of the game's dialogs: the main window, else the desktop.
  plat::WindowId DialogOwner();
  // A button of the version dialog (a CVersionDialogView::Action): true keeps it open.
  bool OnVersionDialogAction(int action, CVersionDialogModel& model);
  // Asks (unless switched off) and opens the game's web page: true keeps the version dialog open.
  bool ShowWebPage();
  void SaveSystemReport(const std::string& report);
};

extern CGameApp* g_App;
