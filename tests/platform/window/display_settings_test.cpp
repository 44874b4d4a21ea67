// Display settings changed by name and size: only a display that exists, by a name of the
// system's shape, and only to a size it offers.
#include "platform/window/display_settings.h"

#include <gtest/gtest.h>

#include <string>

#include "support/fake_display_backend.h"

namespace {

TEST(DisplaySettingsTest, OnlyAnOfferedSizeOfAnExistingDisplayIsSetAndANullModeGivesItsOwnBack) {
  FakeDisplayBackend backend({FakeDisplayBackend::Display("Wide", 0, 0, 1920, 1080),
                              FakeDisplayBackend::Display("Square", 1920, 0, 1280, 1024)});
  plat::ScopedDisplayBackend scoped(backend);
  const struct {
    std::string name;
    int32_t width;
    int32_t height;
    int32_t result;
    size_t display;
  } cases[] = {
      {"", 800, 600, plat::DISP_CHANGE_SUCCESSFUL, 0},
      {"\\\\.\\DISPLAY2", 1280, 1024, plat::DISP_CHANGE_SUCCESSFUL, 1},
      {"\\\\.\\DISPLAY2", 1920, 1080, plat::DISP_CHANGE_BADMODE, 1},
      {"\\\\.\\DISPLAY3", 640, 480, plat::DISP_CHANGE_BADPARAM, 2},
      {"\\\\.\\DISPLAY0", 640, 480, plat::DISP_CHANGE_BADPARAM, 0},
      {"\\\\.\\DISPLAY1 ", 640, 480, plat::DISP_CHANGE_BADPARAM, 0},
      {"\\\\.\\DISPLAY18446744073709551617", 640, 480, plat::DISP_CHANGE_BADPARAM, 0},
      {"DISPLAY1", 640, 480, plat::DISP_CHANGE_BADPARAM, 0},
  };
  for (const auto& each : cases) {
    const plat::DisplayModeDesc mode{each.width, each.height, 32, 0};
    EXPECT_EQ(plat::ChangeDisplaySettings(each.name, &mode), each.result) << each.name << ' ' << each.width;
    const std::optional<plat::DisplayModeDesc> changed = plat::ChangedDisplaySize(each.display);
    if (each.result != plat::DISP_CHANGE_SUCCESSFUL) {
      EXPECT_FALSE(changed.has_value()) << each.name << ' ' << each.width;
      continue;
    }
    ASSERT_TRUE(changed.has_value()) << each.name;
    EXPECT_EQ(changed->width, each.width);
    EXPECT_EQ(changed->height, each.height);
    EXPECT_EQ(plat::ChangeDisplaySettings(each.name, nullptr), plat::DISP_CHANGE_SUCCESSFUL);
    EXPECT_FALSE(plat::ChangedDisplaySize(each.display).has_value()) << each.name;
  }
}

}  // namespace
