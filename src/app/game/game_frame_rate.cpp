// The frame-rate modes of the game: the rate and wait mode of the switches, and the no-wait and
// timer-suspension levels that the scripts nest.
#include "app/game/game_app.h"

#include "platform/window/native_window.h"

namespace {

constexpr int32_t kVerticalBlankHz = 60;

}  // namespace

void CGameApp::ApplyFrameRate(int32_t frames_per_second) {
  if (frames_per_second < 0) frames_per_second = pacer_.GetFramesPerSecond();
  CScreenManager& screen = GetScreenManager();
  uint8_t level = 0;
  const uint8_t paced_level = static_cast<uint8_t>(game_switches_[kSwitchVerticalBlankLevel] + 1);
  if (!screen.HasNoHardware()) {
    switch (game_switches_[kSwitchFrameWaitMode]) {
      case kFrameWaitNone:
        level = paced_level;
        break;
      case kFrameWaitAutomatic: {
        const auto desktop = plat::GetDesktopInfo();
        const bool at_60hz = IsFullScreen() ? screen.GetDisplayModeRefresh() == kVerticalBlankHz
                                            : desktop && desktop->refresh_rate == kVerticalBlankHz;
        if (at_60hz) level = paced_level;
        break;
      }
      default:
        break;
    }
  }
  screen.SetWaitForVerticalBlank(level);
  pacer_.SetRate(frames_per_second, game_switches_[kSwitchHighResCounter] != 0 && level == 0);
  pacer_.SetExternallyPaced(level != 0);
}

int CGameApp::BeginNoWait() {
  ++no_wait_nesting_;
  CScreenManager& screen = GetScreenManager();
  if (screen.GetWaitForVerticalBlank() != 0 || game_switches_[kSwitchNoWaitAllowed] == 0) return 0;
  if (screen.GetFrameImage() == nullptr) {
    game_switches_[kSwitchFrameWaitMode] = kFrameWaitNone;
    ApplyFrameRate(-1);
  } else {
    screen.SetWaitForVerticalBlank(1);
  }
  return 1;
}

int CGameApp::EndNoWait() {
  if (no_wait_nesting_ == 0) return 0;
  if (--no_wait_nesting_ != 0 || game_switches_[kSwitchNoWaitAllowed] == 0) return 0;
  CScreenManager& screen = GetScreenManager();
  if (screen.GetFrameImage() == nullptr) {
    game_switches_[kSwitchFrameWaitMode] = saved_frame_wait_mode_;
    ApplyFrameRate(-1);
  } else {
    screen.SetWaitForVerticalBlank(0);
  }
  return 1;
}

int CGameApp::SuspendHighResTimer() {
  ++high_res_suspension_;
  if (!pacer_.UsesCounter() || game_switches_[kSwitchHighResCounter] == 0) return 0;
  game_switches_[kSwitchHighResCounter] = 0;
  ApplyFrameRate(-1);
  return 1;
}

int CGameApp::ResumeHighResTimer() {
  if (high_res_suspension_ == 0) return 0;
  if (--high_res_suspension_ != 0 || saved_high_res_ == 0) return 0;
  game_switches_[kSwitchHighResCounter] = 1;
  ApplyFrameRate(-1);
  return 1;
}
