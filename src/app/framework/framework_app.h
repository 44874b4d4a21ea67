// The engine's application class: start-up, the main window's message map and its handlers,
// the window services (message boxes, modal state, centring), the worker-thread body of the
// threaded mode, blocking waits and shutdown.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/framework/app_base.h"
#include "app/framework/app_ime_context.h"
#include "app/framework/cursor_tracking.h"
#include "app/framework/gui_application.h"
#include "app/framework/ime_composition.h"
#include "app/framework/main_window.h"
#include "app/framework/message_handler.h"
#include "app/framework/start_up_log.h"
#include "app/framework/system_report.h"
#include "app/framework/text_input_buffer.h"
#include "platform/sound/audio_output.h"
#include "platform/window/menu_overlay.h"
#include "platform/files/single_instance.h"
#include "base/threads/critical_section.h"
#include "base/input/cursor_motion.h"
#include "base/settings/framework_settings.h"
#include "base/input/input_manager.h"
#include "base/input/tracked_cursor.h"
#include "base/threads/worker_thread.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/screen_manager.h"
#include "resource/archives/file_system.h"
#include "resource/plugins/dcp_plugin_manager.h"
#include "resource/pictures/image_loader_manager.h"
#include "resource/plugins/sound_decoder_manager.h"
#include "resource/plugins/tcp_plugin_manager.h"
#include "scene/drawables/draw_layer_factory.h"

// Message-box kinds.
inline constexpr int kBoxExclamation = 1;
inline constexpr int kBoxInformation = 2;
inline constexpr int kBoxQuestion = 3;
inline constexpr int kBoxStop = 4;

// Fatal-error byte values.
inline constexpr uint8_t kFatalRestoreFailed = 1;
inline constexpr uint8_t kFatalModeSwitchFailed = 2;

// Blocking-wait flag values: set by the main thread, acknowledged by the game thread.
inline constexpr uint8_t kBlockingWaitRequested = 1;
inline constexpr uint8_t kBlockingWaitAcknowledged = 2;

// Exit codes of Initialize.
inline constexpr int kExitSetUpFailed = 1;
// No display to show the game on: the start fails as the set-up's failures do.
inline constexpr int kExitNoDisplay = 1;
inline constexpr int kExitStartedFromDisc = 2;
inline constexpr int kExitAnotherInstance = 3;
inline constexpr int kExitDesktopUnsuitable = 5;
inline constexpr int kExitLogFailed = 6;
inline constexpr int kExitDisplayCanvasFailed = 7;
inline constexpr int kExitPrepareWindowFailed = 8;
// An end code that no step of this start-up returns, kept for the settings it clears.
inline constexpr int kExitCodeNine = 9;
inline constexpr int kExitWindowFailed = 11;
inline constexpr int kExitScreenFailed = 12;
inline constexpr int kExitDevicesFailed = 13;

class CFrameworkApp : public CAppBase, public CursorMotionHost {
 public:
  CFrameworkApp();
  ~CFrameworkApp() override;

  int Initialize() override;
  void Exit(int code) override;
  const char* GetTitle() override { return info_.application_name.c_str(); }

  // The virtual operations that the framework adds, in order.
  virtual int SetUp() { return SetAppInfoDefaults(); }
  virtual const char* GetSaveFolder() { return nullptr; }
  virtual int PrepareWindow() { return 0; }
  virtual int InitDevices() { return 0; }
  virtual void OnExitBegin(int /*code*/) {}
  virtual void SaveSettings(int /*code*/) {}
  virtual int RegisterMenuWindowHandlers() { return 0; }
  virtual void ThreadMain();
  virtual int OnThreadStart() { return 0; }
  virtual int OnThreadStep() { return IdleSleep(); }
  virtual void OnThreadEnd() {}
  // Parks the game thread while the main thread serves something: 0 the game thread idles,
  // 1 called on the worker thread, -1 WM_QUIT arrived (the handle becomes 0), -2 the worker
  // was asked to stop. Every result but 0 also ends the wait (flag cleared, window enabled).
  virtual int BeginBlockingWait(plat::WindowId* window);
  virtual int EndBlockingWait(plat::WindowId* window);
  virtual void OnScreenModeChanging() {}
  virtual void OnFullScreenEntered() {}
  virtual void OnWindowModeEntered() {}
  virtual void OnEnterModal() {}
  virtual void OnLeaveModal() {}
  virtual void OnActivateFullScreen() {}
  virtual void OnDeactivateFullScreen() {}
  virtual void OnActivateWindowed() {}
  virtual void OnDeactivateWindowed() {}

  // The message handlers, in the order of the message map.
  virtual int OnActivateApp(MessageBlock& block);
  virtual int OnActivate(MessageBlock& block);
  virtual int OnDisplayChange(MessageBlock& block);
  virtual int OnPaint(MessageBlock& block);
  virtual int OnClose(MessageBlock& block);
  virtual int OnKeyDown(MessageBlock& block);
  virtual int OnSysKeyUp(MessageBlock& block);
  virtual int OnMouseWheel(MessageBlock& block);
  virtual int OnSetCursor(MessageBlock& block);
  virtual int OnEnterMenuLoop(MessageBlock& block);
  virtual int OnExitMenuLoop(MessageBlock& block);
  virtual int OnEnterSizeMove(MessageBlock& block);
  virtual int OnExitSizeMove(MessageBlock& block);
  virtual int OnKeyUp(MessageBlock& block);
  virtual int OnSysKeyDown(MessageBlock& block);
  virtual int OnLButtonDown(MessageBlock& block);
  virtual int OnLButtonUp(MessageBlock& block);
  virtual int OnRButtonDown(MessageBlock& block);
  virtual int OnRButtonUp(MessageBlock& block);
  virtual int OnMButtonDown(MessageBlock& block);
  virtual int OnMButtonUp(MessageBlock& block);
  virtual int OnCursorRequest(MessageBlock& block);
  virtual int OnMessageBoxRequest(MessageBlock& block);
  virtual int OnScreenModeRequest(MessageBlock& block);
  virtual int OnShowMenuWindow(MessageBlock& block);
  virtual int OnHideMenuWindow(MessageBlock& block);
  virtual int OnImeRequest(MessageBlock& block);
  virtual int OnCloseRequest(MessageBlock& block);

  int SetAppInfoDefaults();
  // 0 fine, 1 the desktop has 8 bits per pixel or fewer, 2 the game's window does not fit.
  int CheckDesktop();
  // Switches the screen mode (1 full screen, any other value window; flag 0 normal, 1 forced,
  // 2 the start-up's first switch): 0 done, 1 without a main window, else the screen manager's
  // code + 1 with the previous mode setting kept.
  int ChangeScreenMode(uint8_t mode, uint8_t depth, uint8_t flag);
  // The same from any thread, done on the window's thread: 1 without a main window.
  int RequestScreenModeChange(uint8_t mode, uint8_t depth, uint8_t flag);
  // 0, or 2 when the input method cannot be switched.
  int EnableIme(bool on);
  // The full-screen menu window: 0 shown, -1 it was there (raised), 1 a handler hook failed,
  // 2 it cannot be made.
  virtual int ShowMenuWindow();
  // The items of the main window's menu, as the full-screen menu shows them.
  virtual std::vector<plat::MenuOverlayItem> MenuItems() const { return {}; }
  // Takes the full-screen menu off the screen (it reports no choice).
  void CloseMenuWindow();
  // Drops the system keys that must not reach the window: F10's key-up always; with both
  // system-key bits of the behaviour clear every key-up and every key-down but F4, Alt and
  // F10; Esc's key-up in full screen.
  static bool IsDroppedSystemKey(uint32_t message, uint32_t key, uint8_t behaviour, bool full_screen);
  bool PreTranslateMessage(const plat::Message& message) override;
  // The full-screen keyboard hook: the window takes every key and the keys that would leave
  // the game are swallowed. 0 installed or not wanted (already there, not in full screen, or
  // the system keys are left to the desktop), 1 when the window cannot take the keyboard.
  int InstallKeyboardHook();
  void RemoveKeyboardHook();
  bool HasKeyboardHook() const { return keyboard_hook_; }
  // What a minimizing deactivation in full screen left to restore: 0 none, 1 the screen's size,
  // 2 the scaled size.
  uint8_t GetPendingModeRestore() const { return pending_mode_restore_; }
  // The keys the hook swallows: Ctrl+Esc, Alt+Tab, Alt+Esc and both Windows keys, down and up.
  static bool IsSwallowedByKeyboardHook(uint32_t message, uint32_t key, int32_t lparam, bool control_held);
  // Binds the window whose typing goes to the focused text widget (null unbinds it): the input
  // method is switched on for it, and the pending key and text are forgotten. 0.
  int SetImeWindow(CWindow* window);
  // The text widget's typing area in game-screen pixels (left, top, right, bottom); the input
  // method's candidate list goes beside it whenever it opens.
  void SetTextInputArea(const plat::Rect& area) { text_input_area_ = area; }
  // Asks the bound window to open (1) or close (0) its input method; false when none is bound.
  bool SendImeMessage(uint32_t flag);
  // Once per frame, for the focused text widget.
  bool DeliverTextInput(CGuiElement& element) { return text_input_.Deliver(element); }
  // The composition when it changed since the last call, else null.
  const char* UpdateComposition() { return ime_composition_.Update(); }
  // The composition as UpdateComposition read it last.
  const plat::TextComposition& CurrentComposition() const { return ime_composition_.Current(); }
  int OnTextCharacter(MessageBlock& block);
  int OnTextInputNotify(MessageBlock& block);
  bool IsMenuWindowOpen() const { return menu_window_open_ != 0; }
  void SetWindowBehaviour(uint8_t bits) { window_behaviour_ = bits; }
  uint8_t GetWindowBehaviour() const { return window_behaviour_; }

  // Window services. `owner` 0 is the main window, plat::kDesktopWindow the desktop; a null
  // title is the application name. Texts are Shift-JIS.
  void ShowMessageBox(const std::string& text, int kind, plat::WindowId owner = 0, const char* title = nullptr);
  bool AskYesNo(const std::string& text, int kind, plat::WindowId owner = 0, const char* title = nullptr);
  bool AskOkCancel(const std::string& text, int kind, plat::WindowId owner = 0, const char* title = nullptr);
  // The same with UTF-8 texts, for boxes that name paths of this machine.
  void ShowUtf8MessageBox(const std::string& utf8_text, int kind, plat::WindowId owner = 0);
  bool AskUtf8YesNo(const std::string& utf8_text, int kind, plat::WindowId owner = 0);
  // For callers on other threads: the box is shown on the main thread; 0 without a main window.
  uint8_t RequestMessageBox(int box_type, const std::string& text, int kind, const char* title = nullptr);
  // Sends a message to the main window from the game thread: drawing stops and the modal hooks
  // run around it, so that the main thread's loop may serve it.
  int32_t SendFromGameThread(uint32_t message, uint32_t wparam, int32_t lparam,
                             plat::RequestPayload* payload = nullptr);
  void EnterModal();
  void LeaveModal();
  void CentreWindow(CWindow& window);
  // The main window's input-method notifications: 0 swallowed, 1 default processing.
  int FilterImeNotify(MessageBlock& block);

  // Whether the paint handler repaints the window from the screen.
  bool NeedsRepaintFromScreen() const;
  // The paint handler's work on the screen: the repaint from it when needed, and black over the
  // bars of a scaled full screen, each within the paint rectangle.
  void PaintFromScreen(plat::DeviceContext& dc, const plat::Rect& paint);

  // Each due frame, before the input update: the cursor's position in the game screen and its
  // edge zone. True when the cursor lies over the game screen.
  bool TrackCursor();
  // The edge zone of the cursor as keypad digits (8 top, 2 bottom, 4 left, 6 right; 0 none).
  uint8_t GetCursorEdge() const { return cursor_edge_.load(); }
  const TrackedCursor& GetTrackedCursor() const { return cursor_; }
  // A point of the game screen on the desktop.
  plat::Point GameToScreen(plat::Point point) const override;
  plat::Point GetCursorPos() const override;
  void SetCursorPos(plat::Point point) override;
  // Puts the cursor at a point of the game screen, which becomes the tracked position (outside
  // the screen: (-1, -1)).
  void SetCursorPosClient(int32_t x, int32_t y);
  CInputManager& GetInputManager() { return input_; }

  CMainWindow& GetMainWindow() { return main_window_; }
  CWorkerThread& GetWorkerThread() { return worker_; }
  const CWorkerThread& GetWorkerThread() const { return worker_; }
  CScreenManager& GetScreenManager() { return screen_; }
  // The machine's monitors as the start-up found them; null before.
  const CMonitorList* GetMonitorList() const { return monitors_.get(); }
  const CScreenManager& GetScreenManager() const { return screen_; }
  CCriticalSection& GetDisplayLock() { return display_lock_; }
  AppInfo& GetAppInfo() { return info_; }
  const AppInfo& GetAppInfo() const { return info_; }
  EnvironmentBlock& GetEnvironment() { return environment_; }
  WindowBlock& GetWindowSettings() { return window_block_; }
  uint8_t GetFatalError() const { return fatal_error_.load(); }
  void SetFatalError(uint8_t value) { fatal_error_.store(value); }
  bool IsActive() const override { return active_.load() != 0; }
  std::atomic<uint8_t>& GetBlockingWaitFlag() { return blocking_wait_; }
  bool IsDrawingAllowed() const { return drawing_allowed_.load() != 0; }
  bool IsModal() const { return modal_.load() != 0; }
  bool IsMenuOpen() const { return menu_open_.load() != 0; }
  bool IsImeOn() const { return ime_on_; }
  bool IsFullScreen() const { return full_screen_; }
  bool IsMoviePlaying() const { return movie_playing_ != 0; }

 protected:
  int IdleSleep();
  void EndGameThread();
  void RegisterMessageMap();
  // The frame image of the display canvas, or only the screen size without one: 0 or 1.
  int CreateDisplayCanvas();
  bool HasDisplayCanvas() const { return display_canvas_ != nullptr; }
  // The input devices of the environment's input method, and the joysticks when allowed.
  void StartInput();
  int StartScreenMode();
  // While the game runs the screen saver is held off when its setting, the no-power-saving or the
  // keep-awake setting asks; the exit allows it again only when the start held it off.
  void HoldOffScreenSaver();
  void RestoreScreenSaver();
  // The start-up's display-device list: 0, or the start-up's exit code when full screen is the
  // only mode and no display can be listed (a failure otherwise leaves only window mode).
  int BuildDisplayList();
  // Lists the monitors and their full-screen modes anew: false when no display can be listed.
  bool RebuildDisplayList();
  // The window-mode style of the settings, without the maximize box unless both modes may be used.
  uint32_t WindowModeStyle() const;
  // The layer's display of the display-device list's selected entry.
  int32_t FullScreenDisplayIndex() const;
  // The two halves of ChangeScreenMode: the screen manager's status.
  uint32_t EnterFullScreen(plat::Window& window);
  uint32_t EnterWindowMode(plat::Window& window, uint8_t flag);
  // The window-mode style, the game screen's client size and the stored position, shown.
  void RestoreWindowFrame(plat::Window& window);
  // The full-screen menu that the top row of the screen brings up, for a cursor on the monitor:
  // true while the cursor lies on the shown menu (or off the monitor) instead of the game.
  bool FollowTopRowMenu(plat::Point on_monitor);
  // Where the game screen shows on the monitor in full screen; `displayed` is the scaled screen's
  // place on the output, taken when the screen is scaled.
  FullScreenLayout FullScreenLayoutOf(const plat::Rect& displayed) const;
  // The activation handler's full-screen halves.
  void DeactivateFullScreen();
  // Places the candidate list over the text-input area, in the main window's client pixels.
  void PlaceCandidateWindow();
  void ActivateFullScreen();
  // Under the display lock: the screen's lost surfaces given back, or the fatal-error byte set
  // when the screen's restore gives a result above `most_allowed` (1: a screen without surfaces
  // has nothing to lose; 0: any failure counts).
  void RestoreLostSurfaces(uint32_t most_allowed);
  unsigned CreateMainWindow();
  // The log's file name beside the saved data (or in the program folder); 0, or 1 when the file
  // cannot be created (a message box has said so).
  int OpenStartUpLog();
  // Step 4 of the start: false when another instance of the game runs (it was asked to come to
  // the front).
  bool ClaimSingleInstance();
  int OnFrontRequest(MessageBlock& block);
  void LogInputAndSound();
  void LogDisplay();
  // The drive, application and process sections and the closing line.
  void LogClosingSections();
  // The drives that hold the program and the saved data.
  std::vector<CStartUpLog::Drive> ListDrives();
  // What the system report prints, but the frame pacer's flags; the clock is read only for the
  // detailed report.
  SystemReportFacts GatherSystemReportFacts(bool detailed);
  // Ends a blocking wait: clears the flag and enables the window again.
  void FinishBlockingWait(plat::WindowId* window);
  // The button chosen, or plat::kMessageBoxNotShown. Once the application is ending a box is only
  // logged, unless it is `shown_while_ending`.
  int ShowBox(const std::string& text, int kind, plat::WindowId owner, const char* title, uint32_t buttons,
              bool text_is_utf8 = false, bool shown_while_ending = false);
  bool threaded_setting() const { return environment_[kEnvThreadedMode] != 0; }

  AppInfo info_;
  // Open only while the program starts.
  CStartUpLog start_up_log_;
  EnvironmentBlock environment_ = DefaultEnvironmentBlock();
  WindowBlock window_block_ = DefaultWindowBlock();
  uint8_t window_behaviour_ = 0x05;
  std::atomic<uint8_t> fatal_error_{0};

  std::atomic<uint8_t> active_{0};
  std::atomic<uint8_t> blocking_wait_{0};
  std::atomic<uint8_t> drawing_allowed_{1};
  std::atomic<uint8_t> modal_{0};
  std::atomic<uint8_t> menu_open_{0};
  uint8_t size_move_ = 0;
  uint8_t candidate_open_ = 0;
  plat::Rect text_input_area_{};
  uint8_t movie_playing_ = 0;
  bool screen_mode_changing_ = false;
  uint8_t menu_window_open_ = 0;
  CWindow* text_window_ = nullptr;
  CTextInputBuffer text_input_;
  CImeComposition ime_composition_;
  // When the full-screen menu window last closed (the coarse millisecond clock).
  uint32_t menu_window_closed_at_ = 0;
  // A menu key released within this many milliseconds of the menu closing does not reopen it.
  static constexpr uint32_t kMenuReopenDelay = 250;
  bool full_screen_ = false;
  bool screen_saver_held_off_ = false;
  bool system_cursor_hidden_ = false;
  // The main window's input method starts on, as a new window's does; the start-up turns it off.
  bool ime_on_ = true;
  int32_t desktop_width_ = 0;
  int32_t desktop_height_ = 0;
  int32_t desktop_bits_ = 0;

  CMainWindow main_window_;
  CFileSystem data_files_;
  // Declared after the data-file layer, which it reads files through, so that it ends first.
  CImageLoaderManager image_loaders_;
  CSoundDecoderManager sound_decoders_;
  CDcpPluginManager draw_objects_;
  CTcpPluginManager transitions_;
  // The canvas is declared before the screen manager that shows it, so that it outlives it.
  // Installed as g_DrawLayerFactory while the application lives.
  CDrawLayerFactory draw_layers_;
  std::unique_ptr<CImageCanvasEx> display_canvas_;
  std::unique_ptr<CMonitorList> monitors_;
  CScreenManager screen_;
  CWorkerThread worker_;
  CCriticalSection display_lock_;
  CInputManager input_;
  TrackedCursor cursor_;
  std::atomic<uint8_t> cursor_edge_{0};
  bool cursor_over_ = false;
  TopRowMenu top_row_menu_;
  bool keyboard_hook_ = false;
  // The size whose full-screen mode a minimizing deactivation left to restore on the next
  // activation: 0 none, 1 the screen size, 2 the scaled size.
  uint8_t pending_mode_restore_ = 0;
  // The full-screen menu is on the screen (read by the frame's cursor tracking).
  std::atomic<bool> menu_shown_{false};
  CGuiApplication gui_application_{*this};
  CAppImeContext ime_context_{*this};
  // Opening the sound output while the screen starts; the sound device takes it over in
  // InitDevices, and it ends there.
  std::unique_ptr<plat::AudioOutputHeadStart> sound_head_start_;
  // Last: its listener posts to the main window, so it ends before the window does.
  plat::SingleInstance single_instance_;
};

extern CFrameworkApp* g_FrameworkApp;
