// A display device on a fake one-display machine, for tests that make software surfaces.
#pragma once

#include <memory>

#include "platform/window/display_device.h"
#include "support/fake_display_backend.h"

class SoftwareSurfaces {
 public:
  SoftwareSurfaces();

  plat::DisplayDevice& Device() { return *device_; }
  // An off-screen surface of the format, black.
  std::shared_ptr<plat::Surface> Make(plat::SurfaceFormat format, int32_t width, int32_t height);
  // The raw value of one pixel.
  static uint32_t Pixel(plat::Surface& surface, int32_t x, int32_t y);

 private:
  FakeDisplayBackend backend_{{FakeDisplayBackend::Display("Panel", 0, 0, 1024, 768)}};
  plat::ScopedDisplayBackend scoped_{backend_};
  std::unique_ptr<plat::DisplayDevice> device_;
};
