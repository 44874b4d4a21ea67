// A screen manager on a fake one-display machine whose surfaces are made in a window, published
// as g_SpriteDevice and g_DrawObjectDevice while it lives, for the surface objects that make their surfaces on it.
#pragma once

#include <cstdint>

#include "gfx/display/screen_manager.h"
#include "platform/window/display_device.h"
#include "support/fake_display_backend.h"

class SpriteDeviceScreen {
 public:
  // The display's depth gives the format of the surfaces made without one.
  explicit SpriteDeviceScreen(int32_t display_depth = 32);
  ~SpriteDeviceScreen();
  SpriteDeviceScreen(const SpriteDeviceScreen&) = delete;
  SpriteDeviceScreen& operator=(const SpriteDeviceScreen&) = delete;

  CScreenManager& Screen() { return screen_; }

 private:
  FakeDisplayBackend backend_;
  plat::ScopedDisplayBackend scoped_;
  CScreenManager screen_;
  CScreenManager* saved_device_;
  CScreenManager* saved_draw_object_device_;
};
