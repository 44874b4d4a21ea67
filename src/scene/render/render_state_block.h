// Render objects that draw nothing: where the render pass reaches one, it sets a group of
// states on the drawing device for the objects drawn after it. CRenderStateBlock (render kind 9)
// holds general render states, CBlendStateBlock (kind 10) the blend states, the texture stage
// 0 states and the texture factor. A value of 255 (0xFFFFFFFF for the factor) leaves its state
// as it is.
#pragma once

#include <array>
#include <cstdint>

#include "gfx/display/direct3d_device.h"
#include "gfx/display/render_list.h"

class CRenderStateBlock : public CRenderObject {
 public:
  // Field order: cull mode, shade mode, colour-key enable, alpha-blend enable, source blend,
  // destination blend, alpha-test enable, alpha reference, alpha function.
  static constexpr size_t kFields = 9;

  ERenderObjectKind GetKind() const override { return ERenderObjectKind::kRenderStateBlock; }
  // 0 (also disabled); 1 no device. The device's answers do not matter.
  uint32_t Render(plat::Surface* target, const plat::Rect* clip, CScreenManager* screen) override;
  uint32_t Restore() override { return 0; }

  std::array<uint8_t, kFields> values;

  CRenderStateBlock() { values.fill(CDirect3DDevice::kUnsetState); }
};

class CBlendStateBlock : public CRenderObject {
 public:
  // Field order: alpha-blend enable, source blend, destination blend, colour operation, colour
  // arguments 1 and 2, alpha operation, alpha arguments 1 and 2.
  static constexpr size_t kFields = 9;

  ERenderObjectKind GetKind() const override { return ERenderObjectKind::kBlendStateBlock; }
  uint32_t Render(plat::Surface* target, const plat::Rect* clip, CScreenManager* screen) override;
  uint32_t Restore() override { return 0; }

  std::array<uint8_t, kFields> values;
  uint32_t texture_factor = CDirect3DDevice::kUnsetTextureFactor;

  CBlendStateBlock() { values.fill(CDirect3DDevice::kUnsetState); }
};
