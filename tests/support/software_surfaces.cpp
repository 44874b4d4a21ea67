#include "support/software_surfaces.h"

#include <gtest/gtest.h>

SoftwareSurfaces::SoftwareSurfaces() : device_(plat::DisplayDevice::Create()) {
  EXPECT_EQ(device_->Initialize(nullptr), plat::DD_OK);
  EXPECT_EQ(device_->SetCooperativeLevel(0, plat::DDSCL_NORMAL), plat::DD_OK);
}

std::shared_ptr<plat::Surface> SoftwareSurfaces::Make(plat::SurfaceFormat format, int32_t width, int32_t height) {
  plat::SurfaceDesc desc;
  desc.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT | plat::DDSD_PIXELFORMAT;
  desc.caps = plat::DDSCAPS_OFFSCREENPLAIN;
  desc.width = width;
  desc.height = height;
  desc.pixel_format = plat::MakePixelFormat(format);
  std::shared_ptr<plat::Surface> surface;
  EXPECT_EQ(device_->CreateSurface(desc, surface), plat::DD_OK);
  return surface;
}

uint32_t SoftwareSurfaces::Pixel(plat::Surface& surface, int32_t x, int32_t y) {
  const plat::PixelView view = surface.View();
  return plat::ReadRawPixel(view.At(x, y), plat::BytesPerPixel(view.format));
}
