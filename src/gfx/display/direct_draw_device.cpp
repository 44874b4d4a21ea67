#include "gfx/display/direct_draw_device.h"

#include "base/threads/thread_com.h"

std::vector<DirectDrawDeviceInfo> g_DirectDrawDevices;

namespace {

uint8_t DepthBit(uint8_t depth) { return static_cast<uint8_t>(1u << (4 - depth / 8)); }

}  // namespace

CDirectDrawDevice::CDirectDrawDevice() : com_ready_(CoInitializeForThread() == 0) {}

CDirectDrawDevice::~CDirectDrawDevice() {
  Release();
  if (com_ready_) CoUninitializeForThread();
  FreeDevices();
}

unsigned CDirectDrawDevice::Create(const plat::Guid* driver) {
  if (!com_ready_) return 1;
  Release();
  has_driver_guid_ = driver != nullptr;
  if (driver != nullptr) driver_guid_ = *driver;
  std::unique_ptr<plat::DisplayDevice> device = plat::DisplayDevice::Create();
  if (device == nullptr) return 3;
  if (plat::Failed(device->Initialize(GetDriverGuid()))) return 4;
  plat::DeviceCaps caps;
  if (plat::Succeeded(device->GetCaps(caps))) {
    caps_ = caps.caps;
    video_memory_total_ = caps.video_memory_total;
    video_memory_free_ = caps.video_memory_free;
  }
  plat::DeviceIdentifier identifier;
  if (plat::Succeeded(device->GetDeviceIdentifier(identifier))) {
    driver_description_ = identifier.description;
    driver_name_ = identifier.driver;
    driver_version_ = identifier.driver_version;
  }
  direct_draw_ = std::move(device);
  return 0;
}

void CDirectDrawDevice::Release() {
  RestoreDisplayMode();
  direct_draw_.reset();
  cooperative_level_ = kCooperativeNone;
}

unsigned CDirectDrawDevice::SetDisplayMode(plat::WindowId window, int32_t width, int32_t height, uint8_t depth,
                                           bool want_60hz) {
  if (direct_draw_ == nullptr) return 1;
  if (display_mode_state_ == kDisplayModeSet && display_mode_depth_ == depth) return 1;
  if (depth == 0 || depth > 32 || depth % 8 != 0 || (available_depths_ & DepthBit(depth)) == 0) return 2;
  if (cooperative_level_ != kCooperativeExclusive) {
    if (plat::Failed(direct_draw_->SetCooperativeLevel(window, plat::DDSCL_EXCLUSIVE | plat::DDSCL_FULLSCREEN))) {
      return 3;
    }
    cooperative_level_ = kCooperativeExclusive;
  }
  if (want_60hz && has_60hz_ != 0 && plat::Succeeded(direct_draw_->SetDisplayMode(width, height, depth, 60))) {
    display_mode_state_ = kDisplayModeSet;
    display_mode_depth_ = depth;
    display_mode_refresh_ = 60;
    return 0;
  }
  if (plat::Succeeded(direct_draw_->SetDisplayMode(width, height, depth, 0))) {
    display_mode_state_ = kDisplayModeSet;
    display_mode_depth_ = depth;
    display_mode_refresh_ = 0;
    return 0;
  }
  return 4;
}

unsigned CDirectDrawDevice::RestoreDisplayMode() {
  if (direct_draw_ == nullptr) return 1;
  if (cooperative_level_ != kCooperativeNormal) {
    direct_draw_->SetCooperativeLevel(0, plat::DDSCL_NORMAL);
    cooperative_level_ = kCooperativeNormal;
  }
  if (display_mode_state_ == kDisplayModeSet) direct_draw_->RestoreDisplayMode();
  display_mode_state_ = kDisplayModeRestored;
  display_mode_refresh_ = 0;
  return 0;
}

uint32_t CDirectDrawDevice::GetFreeVideoMemory(bool refresh) {
  if (direct_draw_ == nullptr) return 0;
  plat::DeviceCaps caps;
  if (refresh && plat::Succeeded(direct_draw_->GetCaps(caps))) {
    video_memory_total_ = caps.video_memory_total;
    video_memory_free_ = caps.video_memory_free;
  }
  return video_memory_free_;
}

int CDirectDrawDevice::EnumerateDevices(bool with_modes) {
  FreeDevices();
  for (plat::DriverRecord& driver : plat::EnumerateDisplayDrivers(with_modes)) {
    DirectDrawDeviceInfo info;
    info.guid = driver.guid;
    info.description = std::move(driver.description);
    info.driver_name = std::move(driver.driver_name);
    info.monitor = driver.monitor;
    for (const plat::DisplayModeDesc& mode : driver.modes) {
      info.modes.push_back(DisplayModeInfo{static_cast<uint32_t>(mode.width), static_cast<uint32_t>(mode.height),
                                           static_cast<uint32_t>(mode.bits_per_pixel),
                                           static_cast<uint32_t>(mode.refresh_rate)});
    }
    info.mode_count = static_cast<uint32_t>(info.modes.size());
    g_DirectDrawDevices.push_back(std::move(info));
  }
  return g_DirectDrawDevices.empty() ? -1 : 0;
}

void CDirectDrawDevice::FreeDevices() { g_DirectDrawDevices.clear(); }

unsigned CDirectDrawClipper::Create(plat::DisplayDevice* direct_draw, plat::Surface* surface, plat::WindowId window) {
  Release();
  if (direct_draw == nullptr || surface == nullptr) return 1;
  std::shared_ptr<plat::Clipper> clipper;
  if (plat::Failed(direct_draw->CreateClipper(clipper))) return 2;
  if (plat::Failed(clipper->SetHWnd(window))) return 3;
  // Any result but success is a refusal (a failure is negative, so it cannot be read as one
  // only when positive).
  if (surface->SetClipper(clipper) != plat::DD_OK) return 4;
  clipper_ = std::move(clipper);
  return 0;
}
