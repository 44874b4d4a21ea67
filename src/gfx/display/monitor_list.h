// The machine's monitors as the application keeps them: rectangles, work areas, depth and
// refresh, the display device's name with a number for monitors named alike, and the placing
// of a window on them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/system/geometry.h"
#include "platform/window/monitors.h"

struct MonitorRecord {
  plat::MonitorHandle monitor = 0;
  uint8_t depth = 0;     // 0 when unknown
  uint16_t refresh = 0;  // values below 2 are stored as 0
  plat::Rect monitor_rect;
  plat::Rect work_rect;
  std::string device_name;    // at most 31 bytes
  std::string device_string;  // at most 127 bytes, Shift-JIS, with "[n]" for monitors named alike
  uint8_t primary = 0;
  uint8_t modes_pruned = 0;
  uint8_t duplicate_number = 0;  // 0 not matched, 255 matched and not numbered, else the number
};

class CMonitorList {
 public:
  static constexpr uint8_t kMatched = 255;

  // Enumerates the monitors at once.
  CMonitorList();
  virtual ~CMonitorList() = default;

  // 0 found; 1 not found, and the rect is then the primary screen's size.
  unsigned GetMonitorRect(plat::Rect* out, plat::MonitorHandle monitor) const;
  // -1 no monitors or a size below 1; 0 the window keeps its place; 1 placed.
  int PlaceWindow(int32_t* x, int32_t* y, int32_t width, int32_t height, bool ignore_current, bool centre) const;
  // The first monitor large enough for the size, or 0.
  plat::MonitorHandle FindMonitorForSize(int32_t width, int32_t height) const;
  size_t GetCount() const { return monitors_.size(); }
  const std::vector<MonitorRecord>& GetMonitors() const { return monitors_; }

 private:
  void MatchDisplayDevices();
  void NumberDuplicates();

  std::vector<MonitorRecord> monitors_;
};
