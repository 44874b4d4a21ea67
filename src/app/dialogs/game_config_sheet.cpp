// The configuration sheet ("入力・その他設定") over the main window, and what its confirmed
// pages change: the bindings, the screen manager's drawing settings, the settings-changed mark and
// the root window's tooltips.
#include <algorithm>

#include "app/dialogs/config_sheet_view.h"
#include "app/dialogs/dialog_modal_scope.h"
#include "app/framework/modal_state_scope.h"
#include "app/game/game_app.h"
#include "base/input/game_key_bindings.h"
#include "base/input/input_manager.h"
#include "base/input/joystick.h"
#include "base/threads/lock_guard.h"
#include "game/game_script_host.h"
#include "platform/encoding/text_encoding.h"
#include "platform/system/diagnostic_log.h"
#include "platform/system/thread_id.h"
#include "scene/movies/movie_players.h"

namespace {

constexpr uint8_t kChangingSettings = 1;
constexpr uint8_t kBindingPageKeyboard = 1;
constexpr uint8_t kBindingPageJoystick = 2;
constexpr std::size_t kSettingTopmostInFullScreen = 155;

}  // namespace

int CGameApp::ShowConfigSheet() {
  if (modal_state_ != 0 || !IsMenuPermitted(kMenuSettings)) return 0;
  ModalStateScope changing(modal_state_, kChangingSettings);
  settings_changed_ = 0;
  const DialogModalScope modal(*this);
  const bool joystick = GetInputManager().GetJoystickCount() > 0;
  // The preview reaches the player from the window thread: the lock keeps it from going away.
  CConfigSheetModel model(game_settings_, joystick, [this](uint32_t volume) {
    const CLockGuard lock(app_lock_);
    SetMoviePlayerVolume(static_cast<int32_t>(volume));
  });
  std::vector<std::string> monitors;
  for (const auto& display : GetScreenManager().GetDisplayList()) monitors.push_back(plat::SjisToUtf8(display->description));
  CConfigSheetView view(model, monitors, [this]() -> int32_t {
    const CLockGuard display(GetDisplayLock());
    CJoystick* device = GetInputManager().GetJoystick(0);
    if (device == nullptr) return -1;
    device->Update();
    return device->GetFirstPressed();
  });
  plat::DialogFrame frame{"入力・その他設定", CConfigSheetView::kWidth, 0, -1, -1,
                          CConfigSheetView::Texts()};
  frame.texts.insert(frame.texts.end(), monitors.begin(), monitors.end());
  if (!plat::RunModalDialog(DialogOwner(), frame, view)) {
    plat::LogDiagnostic("the configuration sheet cannot be shown");
    return 0;
  }
  if (!view.Confirmed()) return 0;
  ApplyConfirmedPages(model.Confirm(), model.HintSettingsChanged());
  return 1;
}

void CGameApp::TakeUpConfirmedBindings() {
  if (confirmed_binding_pages_.load() == 0) return;
  GameSettingsBlock settings;
  uint8_t pages = 0;
  {
    const CLockGuard lock(confirmed_bindings_lock_);
    pages = confirmed_binding_pages_.exchange(0);
    settings = confirmed_binding_settings_;
  }
  ApplyBindingPages(pages, settings);
}

void CGameApp::ApplyBindingPages(uint8_t pages, const GameSettingsBlock& settings) {
  if (g_KeyBindings == nullptr) return;
  if ((pages & kBindingPageKeyboard) != 0) ApplyKeyboardSettings(*g_KeyBindings, settings);
  if ((pages & kBindingPageJoystick) != 0) {
    const CLockGuard lock(app_lock_);
    ApplyJoystickAndMouseSettings(GetInputManager(), *g_KeyBindings, settings);
  }
}

void CGameApp::ApplyConfirmedPages(const std::array<bool, 4>& pages, bool hint_settings_changed) {
  if (std::find(pages.begin(), pages.end(), true) != pages.end()) settings_changed_ = 1;
  const uint8_t binding_pages = (pages[kConfigKeyboardPage] ? kBindingPageKeyboard : 0) |
                                (pages[kConfigJoystickPage] ? kBindingPageJoystick : 0);
  const bool game_thread_elsewhere = IsThreaded() && GetWorkerThread().IsRunning() &&
                                     GetWorkerThread().GetThreadId() != plat::CurrentThreadId();
  if (game_thread_elsewhere) {
    const CLockGuard lock(confirmed_bindings_lock_);
    confirmed_binding_settings_ = game_settings_;
    confirmed_binding_pages_.fetch_or(binding_pages);
  } else {
    ApplyBindingPages(binding_pages, game_settings_);
  }
  if (pages[kConfigWindowPage]) {
    ApplyScreenDrawingSettings();
    GetAppInfo().fullscreen_topmost = game_settings_[kSettingTopmostInFullScreen];
  }
  if (hint_settings_changed && script_host_ != nullptr) {
    script_host_->ApplyMessageLayerRedrawSetting();
  }
}
