// A drawing device for the render objects' tests: it records the render states, texture-stage
// states, textures and primitives it is sent, and, while it lives, is lent to a screen manager
// (published as the texture objects' device) with the texture sizes and formats it offers:
// RGB565, XRGB8888 and ARGB8888.
#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "gfx/display/drawing_device.h"
#include "gfx/display/screen_manager.h"
#include "platform/window/pixel_format.h"

class FakeDrawingDevice : public IDrawingDevice {
 public:
  struct Primitive {
    uint32_t type = 0;
    uint32_t vertex_format = 0;
    uint32_t count = 0;
    plat::Surface* texture = nullptr;
  };
  // A state sent: (render-state number, value), or for stage 0 (100 + state number, value).
  using StateChange = std::pair<uint32_t, uint32_t>;
  static constexpr uint32_t kStageBase = 100;

  FakeDrawingDevice(CScreenManager& screen, uint32_t texture_caps, int32_t max_texture_size);
  ~FakeDrawingDevice() override;
  FakeDrawingDevice(const FakeDrawingDevice&) = delete;
  FakeDrawingDevice& operator=(const FakeDrawingDevice&) = delete;

  plat::HResult SetRenderState(uint32_t state, uint32_t value) override;
  plat::HResult SetTextureStageState(uint32_t stage, uint32_t state, uint32_t value) override;
  plat::HResult SetTexture(uint32_t stage, plat::Surface* surface) override;
  plat::HResult DrawPrimitive(uint32_t type, uint32_t vertex_format, const void* vertices, uint32_t count) override;

  std::vector<StateChange> states;
  std::vector<Primitive> primitives;
  plat::HResult draw_result = 0;

 private:
  CScreenManager& screen_;
  CScreenManager* saved_device_;
  plat::Surface* texture_ = nullptr;
  std::array<plat::PixelFormat, 3> formats_;
};
