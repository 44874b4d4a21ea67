#include "scene/render/render_state_block.h"

#include "gfx/display/screen_manager.h"

namespace {

using Setter = uint32_t (CDirect3DDevice::*)(uint8_t);

template <size_t N>
void SetChanged(CDirect3DDevice& device, const std::array<Setter, N>& setters, const std::array<uint8_t, N>& values) {
  for (size_t i = 0; i < N; ++i) {
    if (values[i] != CDirect3DDevice::kUnsetState) (device.*setters[i])(values[i]);
  }
}

}  // namespace

uint32_t CRenderStateBlock::Render(plat::Surface*, const plat::Rect*, CScreenManager* screen) {
  if (IsEnabled() == 0) return 0;
  if (screen == nullptr) return 1;
  static constexpr std::array<Setter, kFields> kSetters{
      &CDirect3DDevice::SetCullMode,        &CDirect3DDevice::SetShadeMode,  &CDirect3DDevice::SetColorKeyEnable,
      &CDirect3DDevice::SetAlphaBlendEnable, &CDirect3DDevice::SetSrcBlend,   &CDirect3DDevice::SetDestBlend,
      &CDirect3DDevice::SetAlphaTestEnable, &CDirect3DDevice::SetAlphaRef,   &CDirect3DDevice::SetAlphaFunc};
  SetChanged(*screen, kSetters, values);
  return 0;
}

uint32_t CBlendStateBlock::Render(plat::Surface*, const plat::Rect*, CScreenManager* screen) {
  if (IsEnabled() == 0) return 0;
  if (screen == nullptr) return 1;
  static constexpr std::array<Setter, kFields> kSetters{
      &CDirect3DDevice::SetAlphaBlendEnable, &CDirect3DDevice::SetSrcBlend,  &CDirect3DDevice::SetDestBlend,
      &CDirect3DDevice::SetColorOp,          &CDirect3DDevice::SetColorArg1, &CDirect3DDevice::SetColorArg2,
      &CDirect3DDevice::SetAlphaOp,          &CDirect3DDevice::SetAlphaArg1, &CDirect3DDevice::SetAlphaArg2};
  SetChanged(*screen, kSetters, values);
  if (texture_factor != CDirect3DDevice::kUnsetTextureFactor) screen->SetTextureFactor(texture_factor);
  return 0;
}
