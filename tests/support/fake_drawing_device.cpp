#include "support/fake_drawing_device.h"

FakeDrawingDevice::FakeDrawingDevice(CScreenManager& screen, uint32_t texture_caps, int32_t max_texture_size)
    : screen_(screen),
      saved_device_(g_DrawObjectDevice),
      formats_{plat::MakePixelFormat(plat::SurfaceFormat::kRgb565), plat::MakePixelFormat(plat::SurfaceFormat::kXrgb8888),
               plat::MakePixelFormat(plat::SurfaceFormat::kArgb8888)} {
  Direct3DDeviceDescription description;
  description.texture_caps = texture_caps;
  description.min_texture_width = description.min_texture_height = 1;
  description.max_texture_width = description.max_texture_height = max_texture_size;
  // Kinds RGB555, RGB565, RGB888, XRGB8888, ARGB1555, ARGB4444, ARGB8888.
  screen.LendDrawingDevice(this, description, {nullptr, &formats_[0], nullptr, &formats_[1], nullptr, nullptr,
                                               &formats_[2]});
  g_DrawObjectDevice = &screen;
}

FakeDrawingDevice::~FakeDrawingDevice() {
  screen_.LendDrawingDevice(nullptr, {}, {});
  g_DrawObjectDevice = saved_device_;
}

plat::HResult FakeDrawingDevice::SetRenderState(uint32_t state, uint32_t value) {
  states.emplace_back(state, value);
  return 0;
}

plat::HResult FakeDrawingDevice::SetTextureStageState(uint32_t stage, uint32_t state, uint32_t value) {
  if (stage == 0) states.emplace_back(kStageBase + state, value);
  return 0;
}

plat::HResult FakeDrawingDevice::SetTexture(uint32_t, plat::Surface* surface) {
  texture_ = surface;
  return 0;
}

plat::HResult FakeDrawingDevice::DrawPrimitive(uint32_t type, uint32_t vertex_format, const void*, uint32_t count) {
  primitives.push_back({type, vertex_format, count, texture_});
  return draw_result;
}
