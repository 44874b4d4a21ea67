// The lowest layer of the display: the display device on a chosen driver, its capabilities and
// identity, full-screen display modes with the cooperative level they need, and the
// program-wide list of display drivers with their modes. The screen manager derives from it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/window/display_device.h"

struct DisplayModeInfo {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t bits_per_pixel = 0;
  uint32_t refresh_rate = 0;
};

struct DirectDrawDeviceInfo {
  plat::Guid guid;  // zeros for the primary display driver
  std::string description;
  std::string driver_name;
  plat::MonitorHandle monitor = 0;  // 0 for the single-display default
  std::vector<DisplayModeInfo> modes;
  uint32_t mode_count = 0;
};

// The display drivers of the machine, in enumeration order.
extern std::vector<DirectDrawDeviceInfo> g_DirectDrawDevices;

inline constexpr uint8_t kDisplayModeNeverSet = 0;
inline constexpr uint8_t kDisplayModeSet = 1;
inline constexpr uint8_t kDisplayModeRestored = 2;

inline constexpr uint8_t kCooperativeNone = 0;
inline constexpr uint8_t kCooperativeExclusive = 1;
inline constexpr uint8_t kCooperativeNormal = 2;

class CDirectDrawDevice {
 public:
  CDirectDrawDevice();
  virtual ~CDirectDrawDevice();
  CDirectDrawDevice(const CDirectDrawDevice&) = delete;
  CDirectDrawDevice& operator=(const CDirectDrawDevice&) = delete;

  // 0 done, 1 the per-thread runtime is not ready, 3 no display device, 4 unknown driver.
  unsigned Create(const plat::Guid* driver);
  void Release();
  // 0, 1 no device or this depth already set, 2 depth not available, 3 cooperative level
  // refused, 4 display mode refused.
  unsigned SetDisplayMode(plat::WindowId window, int32_t width, int32_t height, uint8_t depth, bool want_60hz);
  // 0, 1 no device.
  unsigned RestoreDisplayMode();
  // Bytes; 0 without a device.
  uint32_t GetFreeVideoMemory(bool refresh);

  // 0 at least one driver listed, -1 none. The layer needs no library, so the failures of a
  // missing one cannot occur.
  static int EnumerateDevices(bool with_modes);
  static void FreeDevices();

  plat::DisplayDevice* GetDirectDraw() const { return direct_draw_.get(); }
  const plat::Guid* GetDriverGuid() const { return has_driver_guid_ ? &driver_guid_ : nullptr; }
  uint8_t GetDirect3DDeviceKind() const { return direct3d_device_kind_; }
  uint8_t GetAvailableDepths() const { return available_depths_; }
  void SetAvailableDepths(uint8_t depths, bool has_60hz) {
    available_depths_ = depths;
    has_60hz_ = has_60hz ? 1 : 0;
  }
  bool Has60Hz() const { return has_60hz_ != 0; }
  const std::string& GetDriverDescription() const { return driver_description_; }
  const std::string& GetDriverName() const { return driver_name_; }
  uint64_t GetDriverVersion() const { return driver_version_; }
  uint32_t GetCapsWord() const { return caps_; }
  bool HasNoHardware() const { return (caps_ & plat::DDCAPS_NOHARDWARE) != 0; }
  uint32_t GetTotalVideoMemory() const { return video_memory_total_; }
  uint8_t GetDisplayModeState() const { return display_mode_state_; }
  uint8_t GetDisplayModeDepth() const { return display_mode_depth_; }
  void SetDisplayModeDepth(uint8_t depth) { display_mode_depth_ = depth; }
  uint8_t GetDisplayModeRefresh() const { return display_mode_refresh_; }
  uint8_t GetCooperativeLevel() const { return cooperative_level_; }

 private:
  bool com_ready_ = false;
  std::unique_ptr<plat::DisplayDevice> direct_draw_;
  plat::Guid driver_guid_;
  bool has_driver_guid_ = false;
  uint8_t direct3d_device_kind_ = 0;
  uint8_t available_depths_ = 0;  // bit 0 32, bit 1 24, bit 2 16, bit 3 8 bits per pixel
  uint8_t has_60hz_ = 0;
  std::string driver_description_;
  std::string driver_name_;
  uint64_t driver_version_ = 0;
  uint32_t caps_ = 0;
  uint32_t video_memory_total_ = 0;
  uint32_t video_memory_free_ = 0;
  uint8_t display_mode_state_ = kDisplayModeNeverSet;
  uint8_t display_mode_depth_ = 0;
  uint8_t display_mode_refresh_ = 0;
  uint8_t cooperative_level_ = kCooperativeNone;
};

// Attaches a clipper bound to a window to a surface.
class CDirectDrawClipper {
 public:
  virtual ~CDirectDrawClipper() { Release(); }

  // 0, 1 missing device or surface, 2 the clipper cannot be made, 3 the window cannot be set,
  // 4 the surface refused it.
  unsigned Create(plat::DisplayDevice* direct_draw, plat::Surface* surface, plat::WindowId window);
  void Release() { clipper_.reset(); }
  plat::Clipper* Get() const { return clipper_.get(); }

 private:
  std::shared_ptr<plat::Clipper> clipper_;
};
