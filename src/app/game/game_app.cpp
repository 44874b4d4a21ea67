#include "app/game/game_app.h"

#include <algorithm>
#include <exception>
#include <string>

#include "base/files/script_write_rule.h"
#include "base/input/game_key_bindings.h"
#include "base/numbers/little_endian.h"
#include "base/system/app_hooks.h"
#include "base/threads/lock_guard.h"
#include "game/game_script_host.h"
#include "gfx/image_operations/screen_transition.h"
#include "platform/encoding/text_encoding.h"
#include "platform/system/diagnostic_log.h"
#include "platform/system/thread_id.h"
#include "platform/system/thread_priority.h"
#include "scene/movies/movie_players.h"
#include "ui/fonts/glyph_cache.h"

CGameApp* g_App = nullptr;

namespace {

void EndScriptFrameModesOfApp() {
  if (g_App == nullptr) return;
  while (g_App->GetNoWaitNesting() > 0) g_App->EndNoWait();
  while (g_App->GetHighResSuspension() > 0) g_App->ResumeHighResTimer();
}

bool ScriptShouldStopInApp() { return g_App != nullptr && g_App->ShouldStopRunningScript(); }

int RunFrameOfApp() { return g_App != nullptr ? g_App->RunFrame() : CGameApp::kFrameStop; }

// The image-cache setting in megabytes: 0 chooses by the machine's memory (negative), 1 turns
// the cache off, n gives (n - 1) × 4 MB.
int32_t ImageCacheMegabytes(uint8_t setting) { return setting == 0 ? -1 : (setting - 1) * 4; }

}  // namespace

CGameApp::CGameApp() {
  g_App = this;
  g_AppServices = this;
  g_EndScriptFrameModesHook = &EndScriptFrameModesOfApp;
  g_ScriptStopCheckHook = &ScriptShouldStopInApp;
  g_FrameProcedureHook = &RunFrameOfApp;
  g_TrigTable = &trig_tables_;
  g_MotionTrigTable = &trig_tables_;
}

CGameApp::~CGameApp() {
  // The worker runs this object's operations: it ends before this part of the object does. The
  // windows go first, so that a worker sending to them is turned away instead of waiting.
  GetMainWindow().Destroy();
  GetWorkerThread().Stop();
  script_host_.reset();
  EndLoweredPriority();
  // The players run the library's code: they go before the library does.
  DeleteMoviePlayers();
  UnpublishMovieLibraries();
  if (g_UserConfig == &game_settings_) g_UserConfig = nullptr;
  if (g_AppServices == this) g_AppServices = nullptr;
  if (g_TimerManager == &timers_) g_TimerManager = nullptr;
  if (g_PausableTimerManager == &pausable_timers_) g_PausableTimerManager = nullptr;
  if (g_TimedWipeHost == &timed_wipe_host_) g_TimedWipeHost = nullptr;
  if (g_TrigTable == &trig_tables_) g_TrigTable = nullptr;
  if (g_MotionTrigTable == &trig_tables_) g_MotionTrigTable = nullptr;
  if (g_PixelLib == &pixel_library_) SetPixelLib(nullptr);
  if (g_SoundDevice == &sound_output_) g_SoundDevice = nullptr;
  if (g_SoundBufferDevice == &sound_output_) g_SoundBufferDevice = nullptr;
  if (g_App == this) {
    g_App = nullptr;
    ClearScriptWriteFolders();
    g_LowerPriorityHook = nullptr;
    g_RestorePriorityHook = nullptr;
    g_PriorityControlOffHook = nullptr;
    g_EndScriptFrameModesHook = nullptr;
    g_ScriptStopCheckHook = nullptr;
    g_FrameProcedureHook = nullptr;
  }
}

int CGameApp::InitDevices() {
  TakeUpScreenStart();
  g_TimerManager = &timers_;
  g_PausableTimerManager = &pausable_timers_;
  timed_wipe_host_.SetTimerManager(&pausable_timers_);
  g_TimedWipeHost = &timed_wipe_host_;
  sound_decoders_.SetLoadWhole(GetEnvironment()[kEnvLoadSoundsWhole] != 0);
  SetPixelLib(&pixel_library_);
  LoadMovieLibraries();
  if (const int code = PublishInputDevices(); code != 0) return code;
  StartSoundDevice();
  image_loaders_.SetCacheLimit(ImageCacheMegabytes(game_switches_[kSwitchImageCache]));
  g_GlyphCacheLimit = LoadLe16(&game_switches_[kSwitchGlyphCacheLimit]);
  ApplyFrameRate(-1);
  g_StripRepaint = game_switches_[kSwitchStripRepaint];
  return 0;
}

int CGameApp::PublishInputDevices() {
  CInputManager& input = GetInputManager();
  g_Keyboard = input.GetKeyboard();
  g_Mouse = input.GetMouse();
  if (g_Keyboard == nullptr || g_Mouse == nullptr) {
    ShowMessageBox(plat::Utf8ToSjis("入力デバイスの初期化に失敗"), kBoxStop, plat::kDesktopWindow);
    return kDevicesInputMissing;
  }
  g_Joystick = input.GetJoystick(0);
  CInputBindings* bindings = CreateGameBindings(input, game_settings_);
  if (bindings == nullptr) {
    ShowMessageBox(plat::Utf8ToSjis("仮想入力デバイスの作成に失敗"), kBoxStop, plat::kDesktopWindow);
    return kDevicesBindingsFailed;
  }
  g_KeyBindings = bindings;
  g_Mouse->SetCursorShape(0);
  if (game_switches_[kSwitchMouseMoves] == 0) SetCursorVisible(false);
  return 0;
}

void CGameApp::SetCursorVisible(bool show) {
  if (g_Mouse != nullptr && GetMainWindow().IsWindow()) {
    g_Mouse->ShowCursorVia(show, GetMainWindow().GetHandle(), kMsgCursorRequest);
  }
}

// The drawing-method settings follow what the screen start could do; a start that fell back to
// window mode is no longer an error once the game runs in the window.
void CGameApp::TakeUpScreenStart() {
  const bool window_mode = GetWindowSettings()[kWinScreenMode] == kScreenModeWindow;
  if (GetScreenManager().GetScalingMethod() != requested_drawing_method_) {
    game_settings_[kSettingEnlargedDrawing] = kDrawingByDirectDraw;
    if (window_mode) game_settings_[kSettingDrawingUnenlarged] = 0;
  }
  if (GetFatalError() == kFatalModeSwitchFailed) {
    SetFatalError(0);
    game_settings_[kSettingDrawingUnenlarged] = 0;
    // The choice for the systems that compose the desktop themselves, as every system here does.
    game_settings_[kSettingEnlargedDrawing] = kDrawingByTexture;
  }
}

void CGameApp::OnExitBegin(int code) {
  // These ends forget the words of the stored display-device records.
  if (code == kExitCodeNine || code == kExitScreenFailed) {
    for (const std::size_t word : {kEnvFirstRecordWord, kEnvSecondRecordWord}) {
      std::fill_n(GetEnvironment().begin() + static_cast<std::ptrdiff_t>(word), 4, uint8_t{0});
    }
  }
  switch (GetFatalError()) {
    case 0:
      break;
    case kFatalRestoreFailed:
      ShowMessageBox(plat::Utf8ToSjis("描画オブジェクトのリストアに失敗"), kBoxStop, plat::kDesktopWindow);
      break;
    case kFatalModeSwitchFailed:
      ShowMessageBox(plat::Utf8ToSjis("画面モード切替に失敗"), kBoxStop, plat::kDesktopWindow);
      break;
    default:
      return;
  }
  const CLockGuard lock(app_lock_);
  DeleteMoviePlayers();
}

int CGameApp::InitScriptEngine() {
  script_host_.reset();
  try {
    script_host_ = std::make_unique<CGameScriptHost>();
  } catch (const std::exception& failure) {
    plat::LogDiagnostic(std::string("script engine: ") + failure.what());
    ShowScriptFailure("スクリプトを実行するためのメモリを確保出来ません");
    return kScriptEngineNoMemory;
  }
  script_host_->SetSaveFolder(GetSaveFolder());
  script_host_->SetSettingsChangedMark(&settings_changed_);
  // Where this machine cannot run translated code, the host says so once and interprets.
  if (game_switches_[kSwitchTranslateScripts] != 0) script_host_->EnableTranslation(true);
  if (script_host_->LoadLibraries("SCRIPT\\SOB_INIT.DAT", "SCRIPT\\USER_VAR.SOB", "SCRIPT\\FUNC_LIB.SOB", true, true) !=
      0) {
    ShowScriptFailure("スクリプト初期化ファイルのロードに失敗");
    return kScriptEngineLibrariesFailed;
  }
  script_host_->LoadVoiceInfo("SCRIPT\\VOICEINF.DAT");
  // The host's fields for the built-in functions are published here with their family issues.
  g_UserConfig = &game_settings_;
  script_host_->ApplySoundSettings(game_settings_);
  switch (const uint32_t status = script_host_->LoadScript(CGameScriptHost::kMainScript, nullptr)) {
    case 0:
      break;
    case CScriptVm::kScriptUnreadable:
      ShowScriptFailure("メインスクリプトを開けません");
      return kScriptEngineMainUnreadable;
    case CScriptVm::kScriptRefused:
      ShowScriptFailure("メインスクリプトが不正です");
      return kScriptEngineMainRefused;
    case CScriptVm::kScriptLinkFailed:
      ShowScriptFailure("デバッグモード用のスクリプトです");
      return kScriptEngineMainForDebugging;
    default:
      return static_cast<int>(status) + 2;
  }
  const bool canvas = GetScreenManager().GetFrameImage() != nullptr;
  if (IsThreaded()) {
    frame_procedure_ = canvas ? &CGameApp::FrameThreadedCanvas : &CGameApp::FrameThreaded;
  } else {
    frame_procedure_ = canvas ? &CGameApp::FrameSingleCanvas : &CGameApp::FrameSingle;
  }
  return 0;
}

uint32_t CGameApp::PriorityTarget() {
  if (!IsThreaded()) return plat::CurrentThreadId();
  return GetWorkerThread().IsRunning() ? GetWorkerThread().GetThreadId() : 0;
}

int CGameApp::LowerGameThreadPriority() {
  if (game_switches_[kSwitchPriorityHooksOff] != 0) return -1;
  if (priority_nesting_ > 0) {
    ++priority_nesting_;
    return 1;
  }
  const uint32_t target = PriorityTarget();
  ++priority_nesting_;
  if (target == 0) return 2;
  return plat::SetThreadPriority(target, plat::ThreadPriority::kLowest) ? 0 : 2;
}

int CGameApp::RestoreGameThreadPriority() {
  if (game_switches_[kSwitchPriorityHooksOff] != 0) return priority_nesting_;
  if (priority_nesting_ == 0) return 0;
  const int before = priority_nesting_--;
  if (before == 1) SetNormalPriority();
  return before;
}

void CGameApp::SetNormalPriority() {
  if (const uint32_t target = PriorityTarget(); target != 0) {
    plat::SetThreadPriority(target, plat::ThreadPriority::kNormal);
  }
}

void CGameApp::EndLoweredPriority() {
  if (priority_nesting_ == 0) return;
  priority_nesting_ = 0;
  SetNormalPriority();
}
