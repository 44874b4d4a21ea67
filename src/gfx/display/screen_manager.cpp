#include "gfx/display/screen_manager.h"

#include "base/threads/lock_guard.h"
#include "gfx/display/image_canvas.h"

plat::Guid g_PrimaryDisplayGuid;

namespace {

// Bit of a depth in the depth bits of a display entry (before the shift by 8): 32 bits is
// bit 0, 8 bits bit 3.
uint32_t DepthBit(uint32_t bits_per_pixel) { return 1u << (4 - bits_per_pixel / 8); }

bool IsCountedDepth(uint32_t bits_per_pixel) {
  return bits_per_pixel == 8 || bits_per_pixel == 16 || bits_per_pixel == 24 || bits_per_pixel == 32;
}

const DirectDrawDeviceInfo* FindDriverFor(plat::MonitorHandle monitor) {
  for (const DirectDrawDeviceInfo& driver : g_DirectDrawDevices) {
    if (driver.monitor == monitor) return &driver;
  }
  // One display: its only driver is the default one, which names no monitor.
  if (g_DirectDrawDevices.size() == 1 && g_DirectDrawDevices[0].monitor == 0) return &g_DirectDrawDevices[0];
  return nullptr;
}

// The height of the mode of this width: the one matching the monitor's aspect, else the game's
// height, else the last other one; 0 when the width is not offered.
int32_t ChooseModeHeight(const DirectDrawDeviceInfo& driver, int32_t width, int32_t height, int32_t aspect_height) {
  int32_t chosen = 0;
  bool game_height_seen = false;
  for (const DisplayModeInfo& mode : driver.modes) {
    if (static_cast<int32_t>(mode.width) != width) continue;
    const auto mode_height = static_cast<int32_t>(mode.height);
    if (mode_height == aspect_height) return mode_height;
    if (mode_height == height) {
      game_height_seen = true;
    } else if (!game_height_seen) {
      chosen = mode_height;
    }
  }
  return game_height_seen ? height : chosen;
}

void ChooseMode(DisplayEntry& entry, const DirectDrawDeviceInfo& driver, int32_t width, int32_t height,
                int32_t aspect_height) {
  const int32_t mode_height = ChooseModeHeight(driver, width, height, aspect_height);
  if (mode_height == 0) return;
  uint32_t depth_bits = 0;
  for (const DisplayModeInfo& mode : driver.modes) {
    if (static_cast<int32_t>(mode.width) != width || static_cast<int32_t>(mode.height) != mode_height) continue;
    if (IsCountedDepth(mode.bits_per_pixel)) depth_bits |= DepthBit(mode.bits_per_pixel);
    if (mode.refresh_rate == 60) entry.has_60hz = 1;
  }
  if (depth_bits == 0) return;
  entry.mode_width = width;
  entry.mode_height = mode_height;
  entry.exact_height = mode_height == height ? 1 : 0;
  entry.depth_mask = depth_bits << 8;
}

}  // namespace

uint8_t DesktopDepth() {
  for (plat::MonitorHandle monitor : plat::EnumDisplayMonitors()) {
    plat::MonitorInfo info;
    if (plat::GetMonitorInfo(monitor, info) && info.primary) return static_cast<uint8_t>(info.bits_per_pixel);
  }
  return 0;
}

CScreenManager* g_ScreenManager = nullptr;
CScreenManager* g_SpriteDevice = nullptr;
CScreenManager* g_DrawObjectDevice = nullptr;

CScreenManager::CScreenManager() {
  // The left and top corners sit half a pixel out so that texels meet pixel centres.
  for (size_t corner : {0u, 2u}) quad_[corner].x = -0.5f;
  for (size_t corner : {0u, 1u}) quad_[corner].y = -0.5f;
}

CScreenManager::~CScreenManager() {
  DestroyObjects();
  // Fonts last: the text sprites and text objects point at them until they are gone.
  if (font_list_ != nullptr) font_list_->DestroyAll();
  ReleaseSurfaces();
  RestoreDisplaySettings();
  ClearDisplayList();
}

void CScreenManager::AddSurfaceObject(std::unique_ptr<CImageInterface> object) {
  if (object != nullptr) surface_objects_.Append(std::move(object));
}

uint32_t CScreenManager::RestoreSurfaceObjects(bool only_if_lost) {
  for (const std::unique_ptr<CImageInterface>& object : surface_objects_) {
    if (const uint32_t status = object->Restore(only_if_lost); status != 0) return status;
  }
  if (const uint32_t status = ReapplyRenderStates(); status != 0) return status;
  return RestoreAll();
}

uint32_t CScreenManager::SetScreenSize(int32_t width, int32_t height) {
  if (width < 1 || height < 1) return 1;
  screen_rect_ = plat::Rect{0, 0, width, height};
  return 0;
}

uint32_t CScreenManager::SetFrameImage(CImageCanvasBase* image) {
  CLockGuard guard(lock_);
  frame_image_ = image;
  if (image != nullptr) {
    image->MarkDirty(nullptr);
    screen_rect_ = plat::Rect{0, 0, image->GetWidth(), image->GetHeight()};
  }
  return 0;
}

void CScreenManager::InvalidateFrameImage() {
  if (frame_image_ != nullptr) frame_image_->MarkDirty(nullptr);
}

uint32_t CScreenManager::GetRenderMode() const {
  if (texture_ != nullptr) return kRenderTexture;
  if (back_ != nullptr) return kRenderDirectDraw;
  return kRenderGdi;
}

void CScreenManager::ClearDisplayList() {
  displays_.clear();
  selected_ = nullptr;
}

int CScreenManager::BuildDisplayModeList(const CMonitorList* monitors, int32_t width, int32_t height,
                                         bool use_direct_draw_modes) {
  ClearDisplayList();
  // The display layer lists every display's modes itself, so both ways of asking for the
  // modes read the same list.
  CDirectDrawDevice::EnumerateDevices(true);
  if (monitors == nullptr) return 1;
  if (monitors->GetCount() == 0) return -1;
  for (const MonitorRecord& record : monitors->GetMonitors()) {
    const DirectDrawDeviceInfo* driver = FindDriverFor(record.monitor);
    if (driver == nullptr || record.monitor_rect.Width() < 1) return -1;
    auto entry = std::make_unique<DisplayEntry>();
    entry->monitor = record.monitor;
    entry->desktop_depth = record.depth;
    entry->device_name = record.device_name;
    entry->description = record.device_string;
    if (record.primary != 0) {
      if (monitors->GetCount() >= 2) entry->description += " (Primary)";
      g_PrimaryDisplayGuid = driver->guid;
    }
    entry->guid = driver->guid;
    const auto aspect_height = static_cast<int32_t>(static_cast<int64_t>(record.monitor_rect.Height()) * width /
                                                    record.monitor_rect.Width());
    ChooseMode(*entry, *driver, width, height, aspect_height);
    displays_.push_back(std::move(entry));
  }
  direct_draw_sets_mode_ = use_direct_draw_modes ? 1 : 0;
  return 0;
}

uint32_t CScreenManager::SelectDisplay(bool change_mode, plat::MonitorHandle monitor, int32_t index, uint8_t depth,
                                       const CMonitorList* monitors) {
  if (displays_.empty()) return 1;
  DisplayEntry* entry = nullptr;
  if (monitor != 0) {
    for (const auto& candidate : displays_) {
      if (candidate->monitor == monitor) entry = candidate.get();
    }
  } else {
    const bool in_range = index >= 0 && static_cast<size_t>(index) < displays_.size();
    entry = displays_[in_range ? static_cast<size_t>(index) : 0].get();
  }
  if (entry == nullptr) return 1;
  if (entry != selected_) {
    selected_ = entry;
    SetAvailableDepths(static_cast<uint8_t>(entry->depth_mask >> 8), entry->has_60hz != 0);
  }
  const bool has_mode = entry->mode_width != 0;
  change_display_mode_ = change_mode && has_mode ? 1 : 0;

  const uint32_t offered = entry->depth_mask >> 8;
  if (depth != 0) {
    if ((offered & DepthBit(depth)) != 0 && IsCountedDepth(depth)) {
      full_screen_depth_ = depth;
    } else if ((offered & DepthBit(32)) != 0) {
      full_screen_depth_ = 32;
    } else if ((offered & DepthBit(24)) != 0) {
      full_screen_depth_ = 24;
    } else if ((offered & DepthBit(16)) != 0) {
      full_screen_depth_ = 16;
    } else {
      return 3;
    }
  } else {
    full_screen_depth_ = entry->desktop_depth != 0 ? entry->desktop_depth : DesktopDepth();
  }
  if (monitors != nullptr) monitor_ = entry->monitor;

  int32_t width = 0;
  int32_t height = 0;
  if (change_display_mode_ != 0) {
    if (entry->exact_height != 0) {
      ResetScaling();
      return 0;
    }
    width = entry->mode_width;
    height = entry->mode_height;
  } else if (monitors != nullptr) {
    plat::Rect rect;
    monitors->GetMonitorRect(&rect, entry->monitor);
    width = rect.Width();
    height = rect.Height();
  } else {
    width = plat::GetSystemMetrics(plat::SM_CXSCREEN);
    height = plat::GetSystemMetrics(plat::SM_CYSCREEN);
  }
  return ComputeScaling(width, height, false) < 1 ? 0 : 4;
}

int CScreenManager::ComputeScaling(int32_t width, int32_t height, bool force_off) {
  CLockGuard guard(lock_);
  const int32_t screen_width = ScreenWidth();
  const int32_t screen_height = ScreenHeight();
  if (width < 1 || height < 1 || screen_width < 1 || screen_height < 1) return 1;
  const double output_aspect = static_cast<double>(width) / height;
  const double screen_aspect = static_cast<double>(screen_width) / screen_height;
  const bool same_aspect = output_aspect == screen_aspect;
  if (same_aspect) {
    if (width == screen_width) {
      ResetScaling();
      return -1;
    }
    if (force_off) {
      ResetScaling();
      return 0;
    }
  }
  if (output_aspect <= screen_aspect) {
    const auto scaled = static_cast<int32_t>(static_cast<int64_t>(screen_height) * width / screen_width);
    const int32_t top = (height - scaled) >> 1;
    destination_ = plat::Rect{0, top, width, scaled};
    bar1_ = plat::Rect{0, 0, width, top};
    bar2_ = plat::Rect{0, top + scaled, width, height};
  } else {
    const auto scaled = static_cast<int32_t>(static_cast<int64_t>(screen_width) * height / screen_height);
    const int32_t left = (width - scaled) / 2;
    destination_ = plat::Rect{left, 0, scaled, height};
    bar1_ = plat::Rect{0, 0, left, height};
    bar2_ = plat::Rect{left + scaled, 0, width, height};
  }
  output_width_ = scaled_width_ = width;
  output_height_ = scaled_height_ = height;
  bars_ = same_aspect ? 0 : 1;
  scaling_ = 1;
  return 0;
}

void CScreenManager::ResetScaling() {
  scaling_ = 0;
  output_width_ = ScreenWidth();
  output_height_ = ScreenHeight();
}
