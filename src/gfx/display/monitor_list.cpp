#include "gfx/display/monitor_list.h"

#include <algorithm>

using plat::Rect;

namespace {

constexpr size_t kDeviceNameBytes = 31;
constexpr size_t kDeviceStringBytes = 127;
constexpr uint32_t kMostNumbers = 254;

bool Holds(const Rect& outer, int32_t width, int32_t height) {
  return outer.Width() >= width && outer.Height() >= height;
}

bool Inside(const Rect& outer, const Rect& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

void AppendSuffix(std::string& text, uint32_t number) {
  const std::string suffix = "[" + std::to_string(number) + "]";
  text = text.substr(0, kDeviceStringBytes - std::min(kDeviceStringBytes, suffix.size())) + suffix;
}

}  // namespace

CMonitorList::CMonitorList() {
  for (const plat::MonitorHandle handle : plat::EnumDisplayMonitors()) {
    plat::MonitorInfo info;
    if (!plat::GetMonitorInfo(handle, info)) continue;
    MonitorRecord record;
    record.monitor = handle;
    record.monitor_rect = info.monitor;
    record.work_rect = info.work;
    record.device_name = info.device_name.substr(0, kDeviceNameBytes);
    record.depth = static_cast<uint8_t>(std::clamp(info.bits_per_pixel, 0, 255));
    record.refresh = info.refresh_rate < 2 ? 0 : static_cast<uint16_t>(std::min(info.refresh_rate, 0xFFFF));
    monitors_.push_back(record);
  }
  MatchDisplayDevices();
  NumberDuplicates();
}

void CMonitorList::MatchDisplayDevices() {
  plat::DisplayDeviceEntry device;
  for (uint32_t index = 0; plat::EnumDisplayDevices(index, device); ++index) {
    if ((device.state_flags & plat::DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) == 0) continue;
    for (MonitorRecord& record : monitors_) {
      if (record.device_name != device.device_name) continue;
      record.device_string = device.device_string.substr(0, kDeviceStringBytes);
      record.primary = (device.state_flags & plat::DISPLAY_DEVICE_PRIMARY_DEVICE) != 0 ? 1 : 0;
      record.modes_pruned = (device.state_flags & plat::DISPLAY_DEVICE_MODESPRUNED) != 0 ? 1 : 0;
      record.duplicate_number = kMatched;
    }
  }
}

void CMonitorList::NumberDuplicates() {
  for (size_t first = 0; first < monitors_.size(); ++first) {
    if (monitors_[first].duplicate_number != kMatched) continue;
    const std::string name = monitors_[first].device_string;
    uint32_t number = 1;
    for (size_t later = first + 1; later < monitors_.size() && number < kMostNumbers; ++later) {
      MonitorRecord& other = monitors_[later];
      if (other.duplicate_number != kMatched || other.device_string != name) continue;
      ++number;
      other.duplicate_number = static_cast<uint8_t>(number);
      AppendSuffix(other.device_string, number);
    }
    if (number > 1) {
      monitors_[first].duplicate_number = 1;
      AppendSuffix(monitors_[first].device_string, 1);
    }
  }
}

unsigned CMonitorList::GetMonitorRect(Rect* out, plat::MonitorHandle monitor) const {
  for (const MonitorRecord& record : monitors_) {
    if (record.monitor == monitor) {
      *out = record.monitor_rect;
      return 0;
    }
  }
  *out = Rect{0, 0, plat::GetSystemMetrics(plat::SM_CXSCREEN), plat::GetSystemMetrics(plat::SM_CYSCREEN)};
  return 1;
}

int CMonitorList::PlaceWindow(int32_t* x, int32_t* y, int32_t width, int32_t height, bool ignore_current,
                              bool centre) const {
  if (monitors_.empty() || width < 1 || height < 1) return -1;
  const Rect window{*x, *y, *x + width, *y + height};
  if (!ignore_current) {
    for (const MonitorRecord& record : monitors_) {
      if (Inside(record.work_rect, window)) return 0;
    }
  }
  const plat::MonitorHandle nearest = plat::MonitorFromRect(window, plat::MONITOR_DEFAULTTONEAREST);
  const auto found = std::find_if(monitors_.begin(), monitors_.end(),
                                  [nearest](const MonitorRecord& record) { return record.monitor == nearest; });
  Rect work = found != monitors_.end() ? found->work_rect : monitors_.front().work_rect;
  bool may_centre = centre;
  if (!Holds(work, width, height)) {
    const auto large = std::find_if(monitors_.begin(), monitors_.end(), [&](const MonitorRecord& record) {
      return Holds(record.monitor_rect, width, height);
    });
    if (large != monitors_.end()) {
      work = large->work_rect;
    } else {
      may_centre = false;
    }
  }
  *x = work.left;
  *y = work.top;
  if (may_centre && Holds(work, width, height)) {
    *x += work.Width() / 2 - width / 2;
    *y += work.Height() / 2 - height / 2;
  }
  return 1;
}

plat::MonitorHandle CMonitorList::FindMonitorForSize(int32_t width, int32_t height) const {
  for (const MonitorRecord& record : monitors_) {
    if (Holds(record.monitor_rect, width, height)) return record.monitor;
  }
  return 0;
}
