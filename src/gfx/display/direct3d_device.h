// The layer between the display device and the screen manager that gives render objects their
// drawing-device entry points: a cache of render and texture-stage states, the stage-0 texture
// and the texture formats the device accepts. The display set-up never creates a drawing device
// for the scene (the scaled presentation has its own texture path), so every setter answers
// "no device" unless one was lent to it.
#pragma once

#include <array>
#include <cstdint>

#include "base/lifetime/watched_ptr.h"
#include "gfx/display/direct_draw_device.h"
#include "gfx/display/drawing_device.h"
#include "gfx/display/surface_services.h"

class CD3DTexture;

// What the drawing device offers; no operation fills it, so reports print it as zeros.
struct Direct3DDeviceDescription {
  uint8_t draw_primitive_vertex = 0;
  uint8_t gouraud_alpha = 0;
  uint8_t alpha_test = 0;
  uint8_t z_buffer_less_hsr = 0;
  uint16_t max_texture_stages = 0;
  uint32_t texture_caps = 0;
  uint32_t texture_op_caps = 0;
  uint32_t source_blend_caps = 0;
  uint32_t dest_blend_caps = 0;
  int32_t min_texture_width = 0;
  int32_t min_texture_height = 0;
  int32_t max_texture_width = 0;
  int32_t max_texture_height = 0;
  uint32_t texture_formats = 0;  // EPixelFormat bits
  uint8_t depth_buffer_bits = 0;
};

enum class ERenderState : uint8_t {
  kCullMode,
  kShadeMode,
  kColorKeyEnable,
  kAlphaBlendEnable,
  kSrcBlend,
  kDestBlend,
  kAlphaTestEnable,
  kColorOp,
  kColorArg1,
  kColorArg2,
  kAlphaOp,
  kAlphaArg1,
  kAlphaArg2,
  kAlphaRef,
  kAlphaFunc,
  kCount,
};

// The current texture is only cached: one that ends is forgotten, so that it is neither sent
// again nor taken for a new texture made at its address.
class CDirect3DDevice : public CDirectDrawDevice {
 public:
  static constexpr uint8_t kUnsetState = 255;
  static constexpr uint32_t kUnsetTextureFactor = 0xFFFFFFFF;
  // Status of every state change while no drawing device exists.
  static constexpr uint32_t kNoDevice = 1;

  CDirect3DDevice();
  ~CDirect3DDevice() override = default;

  uint32_t SetCullMode(uint8_t value) { return SetState(ERenderState::kCullMode, value); }
  uint32_t SetShadeMode(uint8_t value) { return SetState(ERenderState::kShadeMode, value); }
  uint32_t SetColorKeyEnable(uint8_t value) { return SetState(ERenderState::kColorKeyEnable, value); }
  uint32_t SetAlphaBlendEnable(uint8_t value) { return SetState(ERenderState::kAlphaBlendEnable, value); }
  uint32_t SetSrcBlend(uint8_t value) { return SetState(ERenderState::kSrcBlend, value); }
  uint32_t SetDestBlend(uint8_t value) { return SetState(ERenderState::kDestBlend, value); }
  uint32_t SetAlphaTestEnable(uint8_t value) { return SetState(ERenderState::kAlphaTestEnable, value); }
  uint32_t SetColorOp(uint8_t value) { return SetState(ERenderState::kColorOp, value); }
  uint32_t SetColorArg1(uint8_t value) { return SetState(ERenderState::kColorArg1, value); }
  uint32_t SetColorArg2(uint8_t value) { return SetState(ERenderState::kColorArg2, value); }
  uint32_t SetAlphaOp(uint8_t value) { return SetState(ERenderState::kAlphaOp, value); }
  uint32_t SetAlphaArg1(uint8_t value) { return SetState(ERenderState::kAlphaArg1, value); }
  uint32_t SetAlphaArg2(uint8_t value) { return SetState(ERenderState::kAlphaArg2, value); }
  uint32_t SetAlphaRef(uint8_t value) { return SetState(ERenderState::kAlphaRef, value); }
  uint32_t SetAlphaFunc(uint8_t value) { return SetState(ERenderState::kAlphaFunc, value); }
  uint32_t SetTextureFactor(uint32_t value);
  // 0 set (or already current); 1 no device; 2 the device refused the texture's surface.
  uint32_t SetTexture(CD3DTexture* texture);

  // The cached value; kUnsetState (0 for the alpha reference) while never sent.
  uint8_t GetCachedState(ERenderState state) const { return states_[static_cast<size_t>(state)]; }
  uint32_t GetCachedTextureFactor() const { return texture_factor_; }
  CD3DTexture* GetCurrentTexture() const { return current_texture_; }
  // The accepted texture format of that kind, or null: always null outside 4 to 256 and while
  // no device has filled the table.
  const plat::PixelFormat* GetTextureFormat(uint32_t format) const;
  // Sends every cached state and the current texture again; 0 (with no device nothing is cached).
  uint32_t ReapplyRenderStates();
  const Direct3DDeviceDescription& GetDeviceDescription() const { return description_; }

  // The device that takes the states and primitives, null while there is none.
  IDrawingDevice* GetDrawingDevice() const { return device_; }
  // Lends a device with what it offers (formats indexed as the texture-format kinds, RGB555 ..
  // ARGB8888); the cache starts unset. Null takes it back. The display never lends one.
  void LendDrawingDevice(IDrawingDevice* device, const Direct3DDeviceDescription& description,
                         const std::array<const plat::PixelFormat*, 7>& texture_formats);

 private:
  uint32_t SetState(ERenderState state, uint8_t value);
  void ClearCache();

  static constexpr size_t kTextureFormatKinds = 7;  // RGB555 .. ARGB8888
  std::array<const plat::PixelFormat*, kTextureFormatKinds> texture_formats_{};
  Direct3DDeviceDescription description_;
  std::array<uint8_t, static_cast<size_t>(ERenderState::kCount)> states_{};
  IDrawingDevice* device_ = nullptr;
  WatchedPtr<CD3DTexture> current_texture_;
  uint32_t texture_factor_ = kUnsetTextureFactor;
};
