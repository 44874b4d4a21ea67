// The display device the engine draws with: made for the default display or for one display
// by its driver GUID, with its capabilities and identity, cooperative levels, full-screen
// display modes, surfaces and clippers, and the vertical blank. Every display's drivers are
// enumerated as the engine expects: one display gives one record with a null GUID and no
// monitor; several give that default record and one record per display.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/window/display_backend.h"
#include "platform/window/display_results.h"
#include "platform/window/monitors.h"
#include "platform/window/surface.h"

namespace plat {

struct Guid {
  std::array<uint8_t, 16> bytes{};
  bool IsNull() const;
  bool operator==(const Guid&) const = default;
};

// The GUID of the driver of display `index`.
Guid DisplayDriverGuid(size_t index);

struct DriverRecord {
  Guid guid;  // null for the default display's driver
  std::string description;
  std::string driver_name;
  MonitorHandle monitor = 0;  // 0 for the default driver
  std::vector<DisplayModeDesc> modes;
};

// Never fails for lack of a library: an empty list means no display.
std::vector<DriverRecord> EnumerateDisplayDrivers(bool with_modes);

// Capability bits.
inline constexpr uint32_t DDCAPS_BLT = 0x00000040;
inline constexpr uint32_t DDCAPS_BLTSTRETCH = 0x00000200;
inline constexpr uint32_t DDCAPS_COLORKEY = 0x00400000;
inline constexpr uint32_t DDCAPS_NOHARDWARE = 0x02000000;
inline constexpr uint32_t DDCAPS_BLTCOLORFILL = 0x04000000;

// Cooperative levels.
inline constexpr uint32_t DDSCL_FULLSCREEN = 0x00000001;
inline constexpr uint32_t DDSCL_NORMAL = 0x00000008;
inline constexpr uint32_t DDSCL_EXCLUSIVE = 0x00000010;

inline constexpr uint32_t DDWAITVB_BLOCKBEGIN = 0x00000001;

// The vertical blanks are the present slots of a display: one every 1 / refresh seconds on the
// counter (60 per second when the rate is unknown, as on a virtual display). Blocks the calling
// thread, whichever it is, until the next one.
void WaitForNextPresentSlot(int32_t refresh_rate);

struct DeviceCaps {
  uint32_t caps = 0;
  uint32_t video_memory_total = 0;
  uint32_t video_memory_free = 0;
};

struct DeviceIdentifier {
  std::string description;
  std::string driver;
  uint64_t driver_version = 0;
};

inline constexpr const char* kSoftwareDriverDescription = "software surfaces on SDL";

class DisplayDevice {
 public:
  // Null when there is no display to draw on.
  static std::unique_ptr<DisplayDevice> Create();
  // Whether devices report that they have no hardware (the engine then presents through GDI).
  static void SetNoHardware(bool no_hardware);

  // Chooses the display: null for the default one. DDERR_INVALIDPARAMS for an unknown GUID.
  HResult Initialize(const Guid* driver);
  HResult GetCaps(DeviceCaps& out) const;
  HResult GetDeviceIdentifier(DeviceIdentifier& out) const;
  HResult SetCooperativeLevel(WindowId window, uint32_t flags);
  // Needs the exclusive level. A size the display offers is set for real; any other size
  // covers the desktop and the screen is letterboxed into it. Depths 16 and 32 are offered.
  HResult SetDisplayMode(int32_t width, int32_t height, int32_t bits_per_pixel, int32_t refresh_rate);
  HResult RestoreDisplayMode();
  HResult EnumDisplayModes(std::vector<DisplayModeDesc>& out) const;
  HResult CreateSurface(const SurfaceDesc& desc, std::shared_ptr<Surface>& out);
  HResult CreateClipper(std::shared_ptr<Clipper>& out);
  HResult GetVerticalBlankStatus(bool& in_blank) const;
  // Blocks until the display's next vertical blank (60 per second when it reports no rate).
  HResult WaitForVerticalBlank(uint32_t flags);
  HResult FlipToGDISurface();

 private:
  DisplayDevice() = default;
  PixelFormat DisplayFormat() const;
  std::optional<DisplayOutput> CurrentDisplay() const;
  ScreenPresenter* PrimaryPresenter() const;

  bool initialized_ = false;
  size_t display_ = 0;
  Point origin_;
  WindowId window_ = 0;
  uint32_t cooperative_flags_ = 0;
  std::optional<DisplayModeDesc> mode_;
  WindowId mode_window_ = 0;
  std::weak_ptr<Surface> primary_;
  // Read by the thread that presents, whichever it is.
  std::atomic<int32_t> refresh_rate_{0};
};

}  // namespace plat
