// The switch between window and full screen, and the list of displays that full screen can use.
// Full screen covers the display over the desktop as it is; a display mode that the game asks
// for is shown letterboxed by the display layer while the monitor keeps its own.
#include <cstdio>

#include "app/framework/framework_app.h"
#include "base/threads/lock_guard.h"
#include "platform/encoding/text_encoding.h"
#include "platform/window/display_backend.h"
#include "platform/window/native_window.h"

namespace {

constexpr uint32_t kFullScreenStyle = plat::WS_POPUP | plat::WS_VISIBLE | plat::WS_SYSMENU | plat::WS_MINIMIZEBOX;

}  // namespace

bool CFrameworkApp::RebuildDisplayList() {
  monitors_ = std::make_unique<CMonitorList>();
  return screen_.BuildDisplayModeList(monitors_.get(), info_.screen_width, info_.screen_height,
                                      info_.display_list_switch != 0) == 0 &&
         !screen_.GetDisplayList().empty();
}

int CFrameworkApp::BuildDisplayList() {
  if (RebuildDisplayList()) return 0;
  if (info_.allowed_screen_modes == kFullScreenOnly) {
    ShowMessageBox(plat::Utf8ToSjis("ディスプレイデバイスの情報を取得できません。"), kBoxStop, plat::kDesktopWindow);
    return kExitDesktopUnsuitable;
  }
  ShowMessageBox(plat::Utf8ToSjis("ディスプレイデバイスの情報取得に失敗しました。\nウィンドウモードのみ利用可能です。"),
                 kBoxExclamation, plat::kDesktopWindow);
  info_.allowed_screen_modes = kWindowModeOnly;
  window_block_[kWinScreenMode] = kScreenModeWindow;
  window_behaviour_ &= static_cast<uint8_t>(~kBehaviourMaximizeBox);
  return 0;
}

uint32_t CFrameworkApp::WindowModeStyle() const {
  uint32_t style = info_.window_style;
  if (info_.allowed_screen_modes != 2 || (window_behaviour_ & kBehaviourMaximizeBox) == 0) {
    style &= ~plat::WS_MAXIMIZEBOX;
  }
  return style;
}

int32_t CFrameworkApp::FullScreenDisplayIndex() const {
  const DisplayEntry* selected = screen_.GetSelectedDisplay();
  // The layer numbers its monitors from 1 in the order of its displays.
  return selected != nullptr && selected->monitor != 0 ? static_cast<int32_t>(selected->monitor - 1) : 0;
}

int CFrameworkApp::ChangeScreenMode(uint8_t mode, uint8_t depth, uint8_t flag) {
  if (flag == 0 && mode == window_block_[kWinScreenMode]) return 0;
  plat::Window* window = main_window_.GetPlatformWindow();
  if (!main_window_.IsWindow() || window == nullptr) return 1;
  // The game thread draws and presents under the same lock: it never sees half a switch.
  CLockGuard display(display_lock_);
  OnScreenModeChanging();
  screen_mode_changing_ = true;
  if (screen_.GetDisplayState() == CScreenManager::kWindowed && !full_screen_) {
    const plat::Point origin = window->PlacedOrigin();
    WriteBlockInt32(window_block_, kWinLeft, origin.x);
    WriteBlockInt32(window_block_, kWinTop, origin.y);
  }
  const uint8_t previous = window_block_[kWinScreenMode];
  window_block_[kWinScreenMode] = mode;
  const bool to_full_screen = mode == kScreenModeFullScreen;
  const uint32_t status = to_full_screen ? EnterFullScreen(*window) : EnterWindowMode(*window, flag);
  int code = 0;
  if (status == 0) {
    window->Raise();
    if (window_block_[kWinCursorMoves] != 0) SetCursorPosClient(info_.screen_width / 2, info_.screen_height / 2);
    window_behaviour_ |= kBehaviourSwitched;
    const bool full = screen_.GetDisplayState() == CScreenManager::kFullScreen;
    window_block_[kWinScreenMode] = full ? kScreenModeFullScreen : kScreenModeWindow;
    window_block_[kWinColourDepth] = full ? depth : 3;
  } else {
    code = static_cast<int>(status) + 1;
    window_block_[kWinScreenMode] = previous;
  }
  screen_mode_changing_ = false;
  cursor_edge_.store(0);
  return code;
}

uint32_t CFrameworkApp::EnterFullScreen(plat::Window& window) {
  window.ApplyStyle(kFullScreenStyle);
  // The window covers the display first: the surfaces of a screen that is not switched to a
  // mode of its own take the window's size.
  plat::DisplayBackend& displays = plat::CurrentDisplayBackend();
  const bool covered = displays.EnterFullScreen(window.Id(), FullScreenDisplayIndex());
  const uint32_t status =
      covered ? screen_.SetDisplayMode(main_window_.GetHandle(), false, environment_[kEnvTripleBuffering] != 0,
                                       environment_[kEnvZBuffer] != 0)
              : 1;
  if (status != 0) {
    if (covered) displays.LeaveFullScreen(window.Id());
    RestoreWindowFrame(window);
    return status;
  }
  full_screen_ = true;
  window.Show();
  window.SetTopmost(info_.fullscreen_topmost != 0);
  OnFullScreenEntered();
  InstallKeyboardHook();
  return 0;
}

uint32_t CFrameworkApp::EnterWindowMode(plat::Window& window, uint8_t flag) {
  const bool was_full_screen = full_screen_;
  const uint32_t status = screen_.SetDisplayMode(main_window_.GetHandle(), true, environment_[kEnvTripleBuffering] != 0,
                                                 environment_[kEnvZBuffer] != 0);
  if (status != 0) return status;
  full_screen_ = false;
  RemoveKeyboardHook();
  if (flag == 2 || !was_full_screen) {
    window.Show();
    return 0;
  }
  CloseMenuWindow();
  plat::CurrentDisplayBackend().LeaveFullScreen(window.Id());
  RestoreWindowFrame(window);
  window.SetTopmost(false);
  OnWindowModeEntered();
  return 0;
}

void CFrameworkApp::RestoreWindowFrame(plat::Window& window) {
  window.ApplyStyle(WindowModeStyle());
  // A maximize box that asked for full screen left the window maximized.
  window.Restore();
  window.SetClientSize(info_.screen_width, info_.screen_height);
  const int32_t left = ReadBlockInt32(window_block_, kWinLeft);
  const int32_t top = ReadBlockInt32(window_block_, kWinTop);
  if (left != -1 && top != -1) window.Move(left, top);
  window.Show();
}
