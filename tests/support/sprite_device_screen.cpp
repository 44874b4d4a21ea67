#include "support/sprite_device_screen.h"

#include <gtest/gtest.h>

namespace {

plat::DisplayOutput PanelOfDepth(int32_t depth) {
  plat::DisplayOutput panel = FakeDisplayBackend::Display("Panel", 0, 0, 1024, 768);
  panel.bits_per_pixel = depth;
  return panel;
}

}  // namespace

SpriteDeviceScreen::SpriteDeviceScreen(int32_t display_depth)
    : backend_({PanelOfDepth(display_depth)}), scoped_(backend_), saved_device_(g_SpriteDevice), saved_draw_object_device_(g_DrawObjectDevice) {
  EXPECT_EQ(screen_.SetScreenSize(320, 240), 0u);
  EXPECT_EQ(screen_.SetDisplayMode(0, true, false, false), 0u);
  g_SpriteDevice = &screen_;
  g_DrawObjectDevice = &screen_;
}

SpriteDeviceScreen::~SpriteDeviceScreen() {
  g_SpriteDevice = saved_device_;
  g_DrawObjectDevice = saved_draw_object_device_;
  CDirectDrawDevice::FreeDevices();
}
