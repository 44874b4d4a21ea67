#include "app/framework/framework_app.h"

#include <cstdio>
#include <string>

#include "app/framework/private_messages.h"
#include "base/files/async_file_loader.h"
#include "base/files/path.h"
#include "base/system/cpu_info.h"
#include "base/system/not_built.h"
#include "base/threads/lock_guard.h"
#include "gfx/display/surface_canvas.h"
#include "pixel/kernels/pixel_kernel_choice.h"
#include "pixel/kernels/pixel_tables.h"
#include "platform/encoding/text_encoding.h"
#include "platform/files/host_path.h"
#include "platform/sound/audio_backend.h"
#include "platform/system/clock.h"
#include "platform/system/diagnostic_log.h"
#include "platform/system/thread_id.h"
#include "platform/window/message_queue.h"
#include "platform/window/native_window.h"
#include "platform/window/screen_presenter.h"
#include "sound/sound_device_list.h"

namespace {

constexpr char kWindowFailed[] = "ウィンドウの作成に失敗";

}  // namespace

CFrameworkApp* g_FrameworkApp = nullptr;

CFrameworkApp::CFrameworkApp() : CAppBase(true) {
  g_FrameworkApp = this;
  g_DataFiles = &data_files_;
  g_ScriptDataFiles = &data_files_;
  g_GllHost = &image_loaders_;
  g_SoundDecoderManager = &sound_decoders_;
  g_DcpHost = &draw_objects_;
  g_TcpHost = &transitions_;
  g_GuiApplication = &gui_application_;
  g_ImeContext = &ime_context_;
  g_DrawLayerFactory = &draw_layers_;
}

CFrameworkApp::~CFrameworkApp() {
  // The worker calls back into this object: it must end before any member does.
  worker_.Stop();
  // The background loader reads through this object's data-file layer.
  g_AsyncFileLoader.Clear();
  if (g_GuiApplication == &gui_application_) g_GuiApplication = nullptr;
  if (g_ImeContext == &ime_context_) g_ImeContext = nullptr;
  if (g_DrawLayerFactory == &draw_layers_) g_DrawLayerFactory = nullptr;
  if (g_ScreenManager == &screen_) g_ScreenManager = nullptr;
  if (g_SpriteDevice == &screen_) g_SpriteDevice = nullptr;
  if (g_DrawObjectDevice == &screen_) g_DrawObjectDevice = nullptr;
  if (g_Keyboard == input_.GetKeyboard()) g_Keyboard = nullptr;
  if (g_Mouse == input_.GetMouse()) g_Mouse = nullptr;
  if (g_Joystick == input_.GetJoystick(0)) g_Joystick = nullptr;
  if (input_.Owns(g_KeyBindings)) g_KeyBindings = nullptr;
  if (g_TcpHost == &transitions_) g_TcpHost = nullptr;
  if (g_DcpHost == &draw_objects_) g_DcpHost = nullptr;
  if (g_SoundDecoderManager == &sound_decoders_) g_SoundDecoderManager = nullptr;
  if (g_GllHost == &image_loaders_) g_GllHost = nullptr;
  if (g_ScriptDataFiles == &data_files_) g_ScriptDataFiles = nullptr;
  if (g_DataFiles == &data_files_) g_DataFiles = nullptr;
  if (g_FrameworkApp == this) g_FrameworkApp = nullptr;
}

int CFrameworkApp::SetAppInfoDefaults() {
  info_ = AppInfo{};
  return 0;
}

int CFrameworkApp::Initialize() {
  if (SetUp() != 0) return kExitSetUpFailed;
  if (info_.allowed_screen_modes == kFullScreenOnly && window_block_[kWinScreenMode] == kScreenModeWindow) {
    window_block_[kWinScreenMode] = kScreenModeNotChosen;
  }
  if (info_.allow_cd_start == 0 && IsOnCdromDrive(g_ModuleFolder)) {
    ShowMessageBox(plat::Utf8ToSjis("ハードディスクから起動してください"), kBoxExclamation, plat::kDesktopWindow);
    return kExitStartedFromDisc;
  }
  if (info_.single_instance != 0 && !ClaimSingleInstance()) return kExitAnotherInstance;
  RegisterMessageMap();
  // Without a display the game would run unseen: the start fails as a window that cannot be made.
  if (!plat::InitVideo()) {
    ShowMessageBox(plat::Utf8ToSjis(kWindowFailed), kBoxStop, plat::kDesktopWindow);
    return kExitNoDisplay;
  }
  switch (CheckDesktop()) {
    case 1:
      ShowMessageBox(plat::Utf8ToSjis("画面モードをHighColor(16bit)以上にして起動して下さい"), kBoxInformation,
                     plat::kDesktopWindow);
      return kExitDesktopUnsuitable;
    case 2:
      ShowMessageBox(plat::Utf8ToSjis("画面解像度を現在の設定より大きくして起動して下さい"), kBoxInformation,
                     plat::kDesktopWindow);
      return kExitDesktopUnsuitable;
    default:
      break;
  }
  IdentifyProcessor();
  if (environment_[kEnvStartUpLog] != 0 && OpenStartUpLog() != 0) return kExitLogFailed;
  ChoosePixelKernels(plat::ReadCpuFeatures(),
                     CpuFeatureSwitches{environment_[kEnvAllowCmov], environment_[kEnvAllowMmx],
                                        environment_[kEnvAllowSse], environment_[kEnvAllowSse2]});
  if (const int code = BuildDisplayList(); code != 0) return code;
  if (CreateDisplayCanvas() != 0) {
    ShowMessageBox(plat::Utf8ToSjis("ディスプレイキャンバスの作成に失敗"), kBoxStop);
    return kExitDisplayCanvasFailed;
  }
  if (PrepareWindow() != 0) return kExitPrepareWindowFailed;
  SetThreaded(threaded_setting());
  if (CreateMainWindow() != CWindow::kCreated) {
    ShowMessageBox(plat::Utf8ToSjis(kWindowFailed), kBoxStop, plat::kDesktopWindow);
    return kExitWindowFailed;
  }
  // No thread starts before the window (a process forked while a thread allocates can inherit a
  // held allocator lock), and the video start-up reads the input method's tables a character at
  // a time, each read far cheaper while the process has never had a second thread.
  single_instance_.StartAnswering();
  if (info_.accelerator_id != 0) LoadAccelerators(info_.accelerator_id, main_window_.GetHandle());
  EnableIme(false);
  StartInput();
  if (start_up_log_.IsOpen()) {
    EnumSoundDevices();
    LogInputAndSound();
  }
  if (window_block_[kWinScreenMode] == kScreenModeNotChosen) {
    window_block_[kWinScreenMode] = info_.allowed_screen_modes;
    const auto desktop = plat::GetDesktopInfo();
    window_block_[kWinColourDepth] = static_cast<uint8_t>(desktop ? desktop->bits_per_pixel : 0);
  }
  // Opening the sound output waits on nothing drawn and is slow, most of all where there is no
  // sound: it overlaps the making of the renderer.
  sound_head_start_ = plat::CurrentAudioBackend().StartOpeningDefaultOutput();
  if (const int code = StartScreenMode(); code != 0) {
    char text[64];
    std::snprintf(text, sizeof text, "%s%d", plat::Utf8ToSjis("画面の初期化に失敗 : ").c_str(), code);
    ShowMessageBox(text, kBoxStop, plat::kDesktopWindow);
    return kExitScreenFailed;
  }
  // The window's renderer, which the first frame would make, is made now, while the sound
  // output opens.
  plat::ScreenPresenter::ForWindow(main_window_.GetHandle());
  g_ScreenManager = &screen_;
  g_SpriteDevice = &screen_;
  g_DrawObjectDevice = &screen_;
  g_CanvasUseDibSection = environment_[kEnvCanvasDibSection] != 0 ? 1 : 0;
  BuildPixelTables();
  if (start_up_log_.IsOpen()) LogDisplay();
  const int devices = InitDevices();
  sound_head_start_.reset();
  if (devices != 0) return kExitDevicesFailed;
  if (IsThreaded() && worker_.StartWith(MakeThreadDelegate([this] { ThreadMain(); })) != 0) {
    plat::LogDiagnostic("start-up: the game thread cannot be started");
  }
  if (start_up_log_.IsOpen()) LogClosingSections();
  HoldOffScreenSaver();
  return 0;
}

void CFrameworkApp::StartInput() {
  uint8_t& method = environment_[kEnvInputMethod];
  if (method == kInputMethodDirect && input_.InitDirectInput(true) != 0) method = kInputMethodPolled;
  input_.Create(method, method);
  if (environment_[kEnvJoysticks] != 0) input_.AddJoystick(-1);
  if (CMouse* mouse = input_.GetMouse()) mouse->SetPosition(&cursor_);
}

int CFrameworkApp::CreateDisplayCanvas() {
  const uint8_t setting = environment_[kEnvDisplayCanvas];
  if (setting == 0) return screen_.SetScreenSize(info_.screen_width, info_.screen_height) == 0 ? 0 : 1;
  auto canvas = std::make_unique<CImageCanvasEx>();
  const uint8_t layer_mode = setting == 2 ? CImagePart::kLayerAndDrawList : CImagePart::kNoLayer;
  if (canvas->Create(info_.screen_width, info_.screen_height, 32, layer_mode) != 0) return 1;
  display_canvas_ = std::move(canvas);
  screen_.SetFrameImage(display_canvas_.get());
  return 0;
}

// The first switch; when it fails and window mode is allowed, a display canvas gets one more
// attempt in window mode, with the plain display settings.
int CFrameworkApp::StartScreenMode() {
  const int code = ChangeScreenMode(window_block_[kWinScreenMode], window_block_[kWinColourDepth], 2);
  if (code == 0 || info_.allowed_screen_modes == kFullScreenOnly || display_canvas_ == nullptr) return code;
  fatal_error_.store(kFatalModeSwitchFailed);
  screen_.SetScalingMethod(0);
  screen_.SetDirectDrawInWindowMode(false);
  window_block_[kWinScreenMode] = kScreenModeNotChosen;
  window_block_[kWinColourDepth] = DesktopDepth();
  return ChangeScreenMode(kScreenModeNotChosen, window_block_[kWinColourDepth], 1);
}

int CFrameworkApp::CheckDesktop() {
  const auto desktop = plat::GetDesktopInfo();
  if (!desktop) {
    // Without a display the window cannot be created either; that step reports it.
    info_.window_fits = 0;
    return 0;
  }
  const plat::Rect outer = main_window_.ComputeWindowRect(info_.screen_width, info_.screen_height, info_.window_style,
                                                          info_.ex_window_style, info_.menu_id != 0, false, 0, 0);
  const bool colour_ok = desktop->bits_per_pixel > 8;
  const bool fits = outer.Width() <= desktop->work_area.Width() && outer.Height() <= desktop->work_area.Height();
  info_.window_fits = fits ? 1 : 0;
  if (info_.allowed_screen_modes == kWindowModeOnly) {
    if (!colour_ok) return 1;
    if (!fits) return 2;
    window_block_[kWinScreenMode] = kScreenModeWindow;
    return 0;
  }
  if (window_block_[kWinScreenMode] == kScreenModeWindow && (!colour_ok || !fits)) {
    window_block_[kWinScreenMode] = kScreenModeNotChosen;
  }
  return 0;
}

unsigned CFrameworkApp::CreateMainWindow() {
  WindowCreateParams params;
  params.x = ReadBlockInt32(window_block_, kWinLeft);
  params.y = ReadBlockInt32(window_block_, kWinTop);
  params.client_width = info_.screen_width;
  params.client_height = info_.screen_height;
  params.style = WindowModeStyle();
  params.ex_style = info_.ex_window_style;
  params.icon_id = info_.icon_id;
  params.menu_id = info_.menu_id;
  params.placement_mode = kPlaceInsideWorkArea;
  params.background = environment_[kEnvDisplayCanvas] == 0 ? WindowBackground::kBlackBrush : WindowBackground::kNullBrush;
  params.title = info_.application_name;
  params.class_name = info_.application_name;
  // A menu bar would shift the full-screen menu window; there is no menu bar on this system.
  return main_window_.Create(params, nullptr, true, true);
}

int CFrameworkApp::EnableIme(bool on) {
  if (on == ime_on_) return 0;
  plat::SetTextInput(on);
  ime_on_ = on;
  return 0;
}

void CFrameworkApp::Exit(int code) {
  EndGameThread();
  // The folders' watches retire while the exit goes on, so that the process's end does not wait.
  plat::ForgetFolderListings();
  if (!IsThreaded() && main_window_.IsWindow()) {
    main_window_.DestroyWindow();
    plat::Message message;
    while (!HasQuit()) {
      const int got = plat::GetMessage(message);
      if (got == 0 || got == -1) break;
      plat::TranslateMessage(message);
      plat::DispatchMessage(message);
    }
  }
  OnExitBegin(code);
  RestoreScreenSaver();
  screen_.ReleaseSurfaces();
  screen_.Release();
  CloseMenuWindow();
  text_window_ = nullptr;
  text_input_.Clear();
  RemoveKeyboardHook();
  main_window_.Destroy();
  single_instance_.Release();
  SaveSettings(code);
  if (environment_[kEnvStartUpLog] != 0) FreeSoundDeviceList();
  if (const uint8_t fatal = fatal_error_.load(); fatal != 0) {
    char text[128];
    std::snprintf(text, sizeof text, "%s%d",
                  plat::Utf8ToSjis("予期せぬエラーが発生したため、強制終了しました。ErrorCode：").c_str(), fatal);
    ShowMessageBox(text, kBoxStop, plat::kDesktopWindow);
  }
}

// The game thread may outlive the message loop (a quit it did not ask for: the window destroyed
// from outside, the end of the session); it draws into what Exit releases, so it ends first,
// its last requests to the window served meanwhile.
void CFrameworkApp::EndGameThread() {
  if (!IsThreaded()) return;
  worker_.RequestStop();
  plat::Message message;
  while (worker_.IsRunning()) {
    plat::PeekMessage(message, false);
    plat::SleepMilliseconds(1);
  }
  worker_.Stop();
}

void CFrameworkApp::ThreadMain() {
  if (OnThreadStart() == 0) {
    while (worker_.ShouldContinue()) {
      if (OnThreadStep() != 0) break;
    }
    OnThreadEnd();
  }
  main_window_.SendMessage(kMsgThreadEnded, 0, 0);
}

int CFrameworkApp::IdleSleep() {
  plat::SleepMilliseconds(16);
  return 0;
}

int CFrameworkApp::BeginBlockingWait(plat::WindowId* window) {
  if (!threaded_setting()) return 0;
  if (worker_.GetThreadId() == plat::CurrentThreadId()) return 1;
  blocking_wait_.store(kBlockingWaitRequested);
  if (window != nullptr && *window != 0) plat::MessageQueue::Instance().SetWindowEnabled(*window, false);
  plat::SleepMilliseconds(10);
  for (;;) {
    if (HasQuit() || PumpMessages(true) == 1) {
      FinishBlockingWait(window);
      if (window != nullptr) *window = 0;
      return -1;
    }
    if (!worker_.ShouldContinue()) {
      FinishBlockingWait(window);
      return -2;
    }
    if (blocking_wait_.load() != kBlockingWaitRequested) return 0;
    plat::SleepMilliseconds(10);
  }
}

int CFrameworkApp::EndBlockingWait(plat::WindowId* window) {
  FinishBlockingWait(window);
  return 0;
}

void CFrameworkApp::FinishBlockingWait(plat::WindowId* window) {
  if (window != nullptr && *window != 0) plat::MessageQueue::Instance().SetWindowEnabled(*window, true);
  blocking_wait_.store(0);
}
