// Entering window and full-screen modes: the steps, their fall-backs and the codes they report.
#include "base/threads/lock_guard.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/screen_manager.h"
#include "platform/window/display_settings.h"
#include "platform/window/native_window.h"

struct CScreenManager::SavedMode {
  uint8_t display_state;
  plat::WindowId window;
  uint8_t full_screen_scaling;
};

namespace {

// Surface-creation codes are reported after the two codes of the steps before them.
constexpr uint32_t kSurfaceCodeOffset = 2;
constexpr uint32_t kUnreadableBackFormat = 7;

}  // namespace

uint32_t CScreenManager::SetDisplayMode(plat::WindowId window, bool windowed, bool triple_buffering, bool) {
  if (ScreenWidth() < 1 || ScreenHeight() < 1) return 1;
  // Threads that place pictures on the output read the scaling under the same lock.
  CLockGuard guard(lock_);
  const SavedMode saved{display_state_, window_, full_screen_scaling_};
  ReleaseSurfaces();
  // Every set-up starts from the display's own settings, as it starts from its own mode.
  RestoreDisplaySettings();
  window_ = window;
  full_screen_scaling_ = 0;
  const uint32_t status = windowed ? SetWindowMode() : SetFullScreenMode(triple_buffering);
  if (status != 0) RestoreMode(saved);
  return status;
}

// A failed set-up leaves no half-made mode behind: no surfaces, the display mode or settings this
// call set are undone, and the display state is the one from before the call.
void CScreenManager::RestoreMode(const SavedMode& saved) {
  ReleaseSurfaces();
  if (GetDisplayModeState() == kDisplayModeSet) RestoreDisplayMode();
  RestoreDisplaySettings();
  display_state_ = saved.display_state;
  window_ = saved.window;
  full_screen_scaling_ = saved.full_screen_scaling;
  primary_caps_ = 0;
  back_caps_ = 0;
  back_format_ = 0;
}

bool CScreenManager::UsesTexturePath() {
  if (frame_image_ == nullptr) return false;
  return (scaling_method_ == kScaleByStretchTest && !TestStretchBlending()) || scaling_method_ == kScaleByTexture;
}

uint32_t CScreenManager::SetWindowMode() {
  display_state_ = kWindowed;
  Release();
  if (frame_image_ != nullptr && !(scaling_method_ != 0 && direct_draw_in_window_ != 0)) return FinishGdi();
  if (Create(nullptr) != 0) return 1;
  if (RestoreDisplayMode() != 0) return 2;
  const bool texture_path = UsesTexturePath();
  if (const uint32_t status = CreateWindowSurfaces(texture_path); status != 0) {
    if (!texture_path) return status + kSurfaceCodeOffset;
    Release();
    scaling_method_ = 0;
    return FinishGdi();
  }
  return FinishSurfaces(texture_path, false);
}

uint32_t CScreenManager::SetFullScreenMode(bool triple_buffering) {
  display_state_ = kFullScreenSettingUp;
  const bool own_driver = selected_ != nullptr && !selected_->guid.IsNull();
  if (Create(own_driver ? &selected_->guid : nullptr) != 0) return 1;
  if (const uint32_t status = EnterFullScreenDisplayMode(); status != 0) return status;
  monitor_origin_ = plat::Point{};
  plat::MonitorInfo info;
  if (monitor_ != 0 && plat::GetMonitorInfo(monitor_, info)) monitor_origin_ = {info.monitor.left, info.monitor.top};
  display_state_ = kFullScreen;
  if (frame_image_ != nullptr && scaling_ == 0) {
    primary_caps_ = back_caps_ = back_format_ = 0;
    return 0;
  }
  for (;;) {
    const bool texture_path = UsesTexturePath();
    const uint32_t status = CreateFullScreenSurfaces(texture_path, triple_buffering);
    if (status == 0) return FinishSurfaces(texture_path, triple_buffering);
    if (!texture_path) return status + kSurfaceCodeOffset;
    scaling_method_ = 0;
  }
}

uint32_t CScreenManager::EnterFullScreenDisplayMode() {
  int32_t width = ScreenWidth();
  int32_t height = ScreenHeight();
  if (scaling_ != 0) {
    width = scaled_width_;
    height = scaled_height_;
    full_screen_scaling_ = 1;
  }
  if (change_display_mode_ != 0 && direct_draw_sets_mode_ != 0) {
    return CDirectDrawDevice::SetDisplayMode(window_, width, height, full_screen_depth_, use_60hz_ != 0) != 0 ? 2 : 0;
  }
  if (change_display_mode_ != 0) {
    const std::string device_name = selected_ != nullptr ? selected_->device_name : std::string();
    if (ChangeDisplaySettings(width, height, device_name) != 0) return 2;
  }
  return RestoreDisplayMode() != 0 ? 2 : 0;
}

uint32_t CScreenManager::ChangeDisplaySettings(int32_t width, int32_t height, const std::string& device_name) {
  RestoreDisplaySettings();
  const plat::DisplayModeDesc mode{width, height, 0, 0};
  if (plat::ChangeDisplaySettings(device_name, &mode) != plat::DISP_CHANGE_SUCCESSFUL) return 1;
  display_device_name_ = device_name;
  display_settings_changed_ = 1;
  return 0;
}

uint32_t CScreenManager::RestoreDisplaySettings() {
  if (display_settings_changed_ == 0) return 1;
  plat::ChangeDisplaySettings(display_device_name_, nullptr);
  display_settings_changed_ = 0;
  display_device_name_.clear();
  return 0;
}

uint32_t CScreenManager::FinishGdi() {
  display_depth_ = DesktopDepth();
  const auto desktop = plat::GetDesktopInfo();
  gdi_refresh_rate_ = desktop ? desktop->refresh_rate : 0;
  primary_caps_ = back_caps_ = back_format_ = 0;
  return 0;
}

uint32_t CScreenManager::RefreshBackFormat() {
  if (back_ == nullptr) return 0;
  back_format_ = GetSurfacePixelFormat(back_.get(), &back_format_info_, nullptr);
  // A frame image is copied opaque: its alpha is never wanted on the surface.
  if (frame_image_ != nullptr) {
    if (back_format_ == kPixelFormatArgb1555) back_format_ = kPixelFormatRgb555;
    if (back_format_ == kPixelFormatArgb8888) back_format_ = kPixelFormatXrgb8888;
  }
  return back_format_;
}

uint32_t CScreenManager::FinishSurfaces(bool texture_path, bool triple_buffering) {
  if (RefreshBackFormat() == 0) return kUnreadableBackFormat;
  display_depth_ = back_format_info_.bits_per_pixel;
  SetDisplayModeDepth(display_depth_);
  if (primary_ != nullptr) {
    const plat::BltFx black{0};
    primary_->Blt(nullptr, nullptr, nullptr, plat::DDBLT_COLORFILL | plat::DDBLT_WAIT, &black);
  }
  ClearBackSurface();
  if (texture_path && CreatePresentTexture() != 0) {
    ReleaseSurfaces();
    scaling_method_ = 0;
    if (display_state_ == kWindowed) return FinishGdi();
    if (const uint32_t status = CreateFullScreenSurfaces(false, triple_buffering); status != 0) {
      return status + kSurfaceCodeOffset;
    }
    return FinishSurfaces(false, triple_buffering);
  }
  // Without a frame image the surface objects are drawn straight onto the display: they make
  // their surfaces anew on the display just set up.
  if (frame_image_ == nullptr) RestoreSurfaceObjects(false);
  return 0;
}
