// The display that full screen would take, and the screen mode the game starts in.
#include "app/game/game_app.h"
#include "platform/window/monitors.h"

uint32_t CGameApp::GetMonitorForWindow(const CWindow* window, uint8_t depth) {
  plat::MonitorHandle monitor = 0;
  int32_t index = 0;
  if (const uint8_t chosen = game_settings_[kSettingMonitorNumber]; chosen != 0) {
    index = chosen - 1;
  } else {
    plat::Rect rect;
    if (window != nullptr && window->GetPlatformWindow() != nullptr) {
      rect = window->GetClientRectOnScreen();
    } else {
      const AppInfo& info = GetAppInfo();
      const plat::Point place{ReadBlockInt32(GetWindowSettings(), kWinLeft), ReadBlockInt32(GetWindowSettings(), kWinTop)};
      rect = plat::RectAt(place, info.screen_width, info.screen_height);
    }
    monitor = plat::MonitorFromRect(rect, plat::MONITOR_DEFAULTTONEAREST);
  }
  return GetScreenManager().SelectDisplay(game_settings_[kSettingChangeResolution] != 0, monitor, index, depth,
                                          GetMonitorList());
}

void CGameApp::CheckDisplayForWindow() {
  AppInfo& info = GetAppInfo();
  uint8_t& screen_mode = GetWindowSettings()[kWinScreenMode];
  if (GetMonitorForWindow(nullptr, 0) != 0) {
    info.allowed_screen_modes = kWindowModeOnly;
    screen_mode = kScreenModeWindow;
    window_behaviour_ &= static_cast<uint8_t>(~kBehaviourMaximizeBox);
    return;
  }
  // A stored choice of 3 keeps the window even when it does not fit.
  constexpr uint8_t kKeepWindowChoice = 3;
  if (screen_mode != kScreenModeFullScreen && info.window_fits == 0 && set_up_screen_mode_ != kKeepWindowChoice) {
    screen_mode = kScreenModeFullScreen;
  }
}
