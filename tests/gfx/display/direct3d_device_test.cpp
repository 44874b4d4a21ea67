// The render-state cache without a drawing device.
#include "gfx/display/direct3d_device.h"

#include <gtest/gtest.h>

namespace {

TEST(Direct3DDeviceTest, EverySetterAnswersNoDeviceAndLeavesItsStateUnset) {
  CDirect3DDevice device;
  using Setter = uint32_t (CDirect3DDevice::*)(uint8_t);
  const std::pair<Setter, ERenderState> setters[] = {
      {&CDirect3DDevice::SetCullMode, ERenderState::kCullMode},
      {&CDirect3DDevice::SetShadeMode, ERenderState::kShadeMode},
      {&CDirect3DDevice::SetColorKeyEnable, ERenderState::kColorKeyEnable},
      {&CDirect3DDevice::SetAlphaBlendEnable, ERenderState::kAlphaBlendEnable},
      {&CDirect3DDevice::SetSrcBlend, ERenderState::kSrcBlend},
      {&CDirect3DDevice::SetDestBlend, ERenderState::kDestBlend},
      {&CDirect3DDevice::SetAlphaTestEnable, ERenderState::kAlphaTestEnable},
      {&CDirect3DDevice::SetColorOp, ERenderState::kColorOp},
      {&CDirect3DDevice::SetColorArg1, ERenderState::kColorArg1},
      {&CDirect3DDevice::SetColorArg2, ERenderState::kColorArg2},
      {&CDirect3DDevice::SetAlphaOp, ERenderState::kAlphaOp},
      {&CDirect3DDevice::SetAlphaArg1, ERenderState::kAlphaArg1},
      {&CDirect3DDevice::SetAlphaArg2, ERenderState::kAlphaArg2},
      {&CDirect3DDevice::SetAlphaFunc, ERenderState::kAlphaFunc},
  };
  for (const auto& [setter, state] : setters) {
    EXPECT_EQ((device.*setter)(3), CDirect3DDevice::kNoDevice);
    EXPECT_EQ(device.GetCachedState(state), CDirect3DDevice::kUnsetState);
  }
  EXPECT_EQ(device.SetAlphaRef(0x80), CDirect3DDevice::kNoDevice);
  EXPECT_EQ(device.GetCachedState(ERenderState::kAlphaRef), 0);
  EXPECT_EQ(device.SetTextureFactor(0x11223344), CDirect3DDevice::kNoDevice);
  EXPECT_EQ(device.GetCachedTextureFactor(), CDirect3DDevice::kUnsetTextureFactor);
  EXPECT_EQ(device.SetTexture(nullptr), CDirect3DDevice::kNoDevice);
  EXPECT_EQ(device.GetCurrentTexture(), nullptr);
  EXPECT_EQ(device.ReapplyRenderStates(), 0u);
}

TEST(Direct3DDeviceTest, NoTextureFormatIsOfferedAndTheDescriptionStaysZero) {
  CDirect3DDevice device;
  for (uint32_t code : {0u, 1u, 2u, 3u, 4u, 8u, 32u, 256u, 512u, 0xFFFFFFFFu}) {
    EXPECT_EQ(device.GetTextureFormat(code), nullptr) << code;
  }
  const Direct3DDeviceDescription& description = device.GetDeviceDescription();
  EXPECT_EQ(description.max_texture_stages, 0);
  EXPECT_EQ(description.texture_formats, 0u);
  EXPECT_EQ(description.max_texture_width, 0);
}

}  // namespace
