// The machine's monitors and display devices in the shape the engine asks for them: monitor
// handles with their rectangles, the display devices that drive them, and the screen size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system/geometry.h"

namespace plat {

// A monitor: the display's index + 1; 0 is no monitor.
using MonitorHandle = uintptr_t;

inline constexpr uint32_t MONITOR_DEFAULTTONULL = 0;
inline constexpr uint32_t MONITOR_DEFAULTTOPRIMARY = 1;
inline constexpr uint32_t MONITOR_DEFAULTTONEAREST = 2;

inline constexpr uint32_t DISPLAY_DEVICE_ATTACHED_TO_DESKTOP = 0x00000001;
inline constexpr uint32_t DISPLAY_DEVICE_PRIMARY_DEVICE = 0x00000004;
inline constexpr uint32_t DISPLAY_DEVICE_MODESPRUNED = 0x08000000;

inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;

struct MonitorInfo {
  Rect monitor;
  Rect work;
  std::string device_name;  // "\\.\DISPLAYn"
  bool primary = false;
  int32_t bits_per_pixel = 0;
  int32_t refresh_rate = 0;
};

struct DisplayDeviceEntry {
  std::string device_name;    // "\\.\DISPLAYn", as the monitor's
  std::string device_string;  // Shift-JIS: the display's name
  uint32_t state_flags = 0;
};

std::vector<MonitorHandle> EnumDisplayMonitors();
bool GetMonitorInfo(MonitorHandle monitor, MonitorInfo& out);
// The rectangle that holds every display of the desktop; none without a display.
std::optional<Rect> DesktopBounds();
// The monitor that the rectangle overlaps most; by the flags when it overlaps none.
MonitorHandle MonitorFromRect(const Rect& rect, uint32_t flags);
// The display device at the index; false past the last.
bool EnumDisplayDevices(uint32_t index, DisplayDeviceEntry& out);
// The primary display's width or height; 0 for other indices or without a display.
int32_t GetSystemMetrics(int index);
// "\\.\DISPLAY1" for display 0.
std::string DisplayDeviceName(size_t display);
// 0 for "\\.\DISPLAY1"; empty for a name of another shape.
std::optional<size_t> DisplayIndexOf(std::string_view device_name);

}  // namespace plat
