// The monitor list over fake machines: names, numbers for monitors named alike, placement.
#include "gfx/display/monitor_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fake_display_backend.h"

namespace {

using plat::Rect;

std::vector<plat::DisplayOutput> SideBySide(const std::vector<std::string>& names) {
  std::vector<plat::DisplayOutput> displays;
  int32_t left = 0;
  for (const std::string& name : names) {
    displays.push_back(FakeDisplayBackend::Display(name, left, 0, 1280, 1024));
    left += 1280;
  }
  return displays;
}

TEST(MonitorListTest, MonitorsNamedAlikeAreNumberedAndOthersKeepTheirNames) {
  FakeDisplayBackend backend(SideBySide({"Panel", "Projector", "Panel"}));
  plat::ScopedDisplayBackend scoped(backend);
  const CMonitorList list;
  ASSERT_EQ(list.GetCount(), 3u);
  const std::vector<MonitorRecord>& monitors = list.GetMonitors();
  EXPECT_EQ(monitors[0].device_string, "Panel[1]");
  EXPECT_EQ(monitors[0].duplicate_number, 1);
  EXPECT_EQ(monitors[1].device_string, "Projector");
  EXPECT_EQ(monitors[1].duplicate_number, CMonitorList::kMatched);
  EXPECT_EQ(monitors[2].device_string, "Panel[2]");
  EXPECT_EQ(monitors[2].duplicate_number, 2);
  EXPECT_EQ(monitors[0].device_name, "\\\\.\\DISPLAY1");
  EXPECT_EQ(monitors[0].primary, 1);
  EXPECT_EQ(monitors[2].primary, 0);
  EXPECT_EQ(monitors[1].depth, 32);
  EXPECT_EQ(monitors[1].refresh, 60);
  EXPECT_EQ(monitors[1].monitor_rect.left, 1280);
}

TEST(MonitorListTest, NumbersFromTenOnAreWrittenInDecimal) {
  FakeDisplayBackend backend(SideBySide(std::vector<std::string>(11, "Wall")));
  plat::ScopedDisplayBackend scoped(backend);
  const CMonitorList list;
  ASSERT_EQ(list.GetCount(), 11u);
  EXPECT_EQ(list.GetMonitors()[8].device_string, "Wall[9]");
  EXPECT_EQ(list.GetMonitors()[9].device_string, "Wall[10]");
  EXPECT_EQ(list.GetMonitors()[10].device_string, "Wall[11]");
  EXPECT_EQ(list.GetMonitors()[10].duplicate_number, 11);
}

TEST(MonitorListTest, MonitorRectsAndSizes) {
  FakeDisplayBackend backend(SideBySide({"A", "B"}));
  plat::ScopedDisplayBackend scoped(backend);
  const CMonitorList list;
  Rect rect;
  EXPECT_EQ(list.GetMonitorRect(&rect, 2), 0u);
  EXPECT_EQ(rect.left, 1280);
  EXPECT_EQ(list.GetMonitorRect(&rect, 9), 1u);
  EXPECT_EQ(rect.right, 1280);  // the primary screen's size
  EXPECT_EQ(rect.bottom, 1024);
  EXPECT_EQ(list.FindMonitorForSize(1280, 1024), 1u);
  EXPECT_EQ(list.FindMonitorForSize(1281, 10), 0u);
}

TEST(MonitorListTest, PlacingAWindow) {
  FakeDisplayBackend backend(SideBySide({"A", "B"}));
  plat::ScopedDisplayBackend scoped(backend);
  const CMonitorList list;
  int32_t x = 1400;
  int32_t y = 100;
  EXPECT_EQ(list.PlaceWindow(&x, &y, 640, 480, false, true), 0);  // inside a work area: stays
  EXPECT_EQ(x, 1400);
  EXPECT_EQ(list.PlaceWindow(&x, &y, 640, 480, true, true), 1);  // centred on its monitor's work area
  EXPECT_EQ(x, 1280 + 640 - 320);
  EXPECT_EQ(y, (1024 - 40) / 2 - 240);
  x = 2400;
  y = 900;  // half off the second monitor: placed at its work area's corner when not centred
  EXPECT_EQ(list.PlaceWindow(&x, &y, 640, 480, false, false), 1);
  EXPECT_EQ(x, 1280);
  EXPECT_EQ(y, 0);
  x = 0;
  y = 0;  // too large for any monitor: the nearest work area's corner, never centred
  EXPECT_EQ(list.PlaceWindow(&x, &y, 2000, 2000, true, true), 1);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  EXPECT_EQ(list.PlaceWindow(&x, &y, 0, 480, true, true), -1);
}

}  // namespace
