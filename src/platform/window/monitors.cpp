#include "platform/window/monitors.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "platform/encoding/text_encoding.h"
#include "platform/window/display_backend.h"

namespace plat {
namespace {

int64_t DistanceSquared(const Rect& a, const Rect& b) {
  const int64_t dx = std::max<int64_t>({0, int64_t{b.left} - a.right, int64_t{a.left} - b.right});
  const int64_t dy = std::max<int64_t>({0, int64_t{b.top} - a.bottom, int64_t{a.top} - b.bottom});
  return dx * dx + dy * dy;
}

constexpr std::string_view kDisplayNamePrefix = "\\\\.\\DISPLAY";

}  // namespace

std::string DisplayDeviceName(size_t display) { return std::string(kDisplayNamePrefix) + std::to_string(display + 1); }

std::optional<size_t> DisplayIndexOf(std::string_view device_name) {
  if (device_name.substr(0, kDisplayNamePrefix.size()) != kDisplayNamePrefix) return std::nullopt;
  const std::string_view digits = device_name.substr(kDisplayNamePrefix.size());
  const char* const end = digits.data() + digits.size();
  size_t number = 0;
  const auto [stop, error] = std::from_chars(digits.data(), end, number);
  if (error != std::errc{} || stop != end || number == 0) return std::nullopt;
  return number - 1;
}

std::vector<MonitorHandle> EnumDisplayMonitors() {
  std::vector<MonitorHandle> monitors;
  const size_t count = CurrentDisplayBackend().Displays().size();
  for (size_t index = 0; index < count; ++index) monitors.push_back(index + 1);
  return monitors;
}

bool GetMonitorInfo(MonitorHandle monitor, MonitorInfo& out) {
  const std::vector<DisplayOutput> displays = CurrentDisplayBackend().Displays();
  if (monitor == 0 || monitor > displays.size()) return false;
  const DisplayOutput& display = displays[monitor - 1];
  out.monitor = display.bounds;
  out.work = display.usable;
  out.device_name = DisplayDeviceName(monitor - 1);
  out.primary = monitor == 1;
  out.bits_per_pixel = display.bits_per_pixel;
  out.refresh_rate = display.refresh_rate;
  return true;
}

std::optional<Rect> DesktopBounds() {
  const std::vector<DisplayOutput> displays = CurrentDisplayBackend().Displays();
  if (displays.empty()) return std::nullopt;
  Rect bounds = displays.front().bounds;
  for (const DisplayOutput& display : displays) {
    bounds = Rect{std::min(bounds.left, display.bounds.left), std::min(bounds.top, display.bounds.top),
                  std::max(bounds.right, display.bounds.right), std::max(bounds.bottom, display.bounds.bottom)};
  }
  return bounds;
}

MonitorHandle MonitorFromRect(const Rect& rect, uint32_t flags) {
  const std::vector<DisplayOutput> displays = CurrentDisplayBackend().Displays();
  if (displays.empty()) return 0;
  MonitorHandle best = 0;
  int64_t best_area = 0;
  for (size_t index = 0; index < displays.size(); ++index) {
    const int64_t area = OverlapArea(rect, displays[index].bounds);
    if (area > best_area) {
      best_area = area;
      best = index + 1;
    }
  }
  if (best != 0) return best;
  if (flags == MONITOR_DEFAULTTOPRIMARY) return 1;
  if (flags != MONITOR_DEFAULTTONEAREST) return 0;
  int64_t best_distance = std::numeric_limits<int64_t>::max();
  for (size_t index = 0; index < displays.size(); ++index) {
    const int64_t distance = DistanceSquared(rect, displays[index].bounds);
    if (distance < best_distance) {
      best_distance = distance;
      best = index + 1;
    }
  }
  return best;
}

bool EnumDisplayDevices(uint32_t index, DisplayDeviceEntry& out) {
  const std::vector<DisplayOutput> displays = CurrentDisplayBackend().Displays();
  if (index >= displays.size()) return false;
  out.device_name = DisplayDeviceName(index);
  out.device_string = Utf8ToSjis(displays[index].name);
  out.state_flags = DISPLAY_DEVICE_ATTACHED_TO_DESKTOP | (index == 0 ? DISPLAY_DEVICE_PRIMARY_DEVICE : 0);
  return true;
}

int32_t GetSystemMetrics(int index) {
  const std::vector<DisplayOutput> displays = CurrentDisplayBackend().Displays();
  if (displays.empty()) return 0;
  if (index == SM_CXSCREEN) return displays.front().bounds.Width();
  if (index == SM_CYSCREEN) return displays.front().bounds.Height();
  return 0;
}

}  // namespace plat
