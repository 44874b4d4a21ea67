#include "gfx/display/direct3d_device.h"

#include <bit>

#include "gfx/display/d3d_texture.h"

namespace {

// Where each cached state goes on the device: a render-state number, or a texture-stage-0
// state number.
struct StateTarget {
  bool stage = false;
  uint32_t number = 0;
};

constexpr std::array<StateTarget, static_cast<size_t>(ERenderState::kCount)> kStateTargets{{
    {false, 22},  // cull mode
    {false, 9},   // shade mode
    {false, 41},  // colour-key enable
    {false, 27},  // alpha-blend enable
    {false, 19},  // source blend
    {false, 20},  // destination blend
    {false, 15},  // alpha-test enable
    {true, 1},    // colour operation
    {true, 2},    // colour argument 1
    {true, 3},    // colour argument 2
    {true, 4},    // alpha operation
    {true, 5},    // alpha argument 1
    {true, 6},    // alpha argument 2
    {false, 24},  // alpha reference
    {false, 25},  // alpha function
}};
constexpr uint32_t kTextureFactorState = 60;

plat::HResult Send(IDrawingDevice& device, ERenderState state, uint32_t value) {
  const StateTarget& target = kStateTargets[static_cast<size_t>(state)];
  return target.stage ? device.SetTextureStageState(0, target.number, value)
                      : device.SetRenderState(target.number, value);
}

// The alpha reference starts at 0 and counts as unset there.
bool IsSet(ERenderState state, uint8_t value) {
  return state == ERenderState::kAlphaRef ? value != 0 : value != CDirect3DDevice::kUnsetState;
}

}  // namespace

CDirect3DDevice::CDirect3DDevice() { ClearCache(); }

void CDirect3DDevice::ClearCache() {
  states_.fill(kUnsetState);
  states_[static_cast<size_t>(ERenderState::kAlphaRef)] = 0;
  texture_factor_ = kUnsetTextureFactor;
  current_texture_ = nullptr;
}

void CDirect3DDevice::LendDrawingDevice(IDrawingDevice* device, const Direct3DDeviceDescription& description,
                                        const std::array<const plat::PixelFormat*, 7>& texture_formats) {
  device_ = device;
  description_ = device != nullptr ? description : Direct3DDeviceDescription{};
  texture_formats_ = device != nullptr ? texture_formats : std::array<const plat::PixelFormat*, 7>{};
  ClearCache();
}

uint32_t CDirect3DDevice::SetState(ERenderState state, uint8_t value) {
  if (device_ == nullptr) return kNoDevice;
  uint8_t& cached = states_[static_cast<size_t>(state)];
  if (cached == value && IsSet(state, value)) return 0;
  if (plat::Failed(Send(*device_, state, value))) return 2;
  cached = value;
  return 0;
}

uint32_t CDirect3DDevice::SetTextureFactor(uint32_t value) {
  if (device_ == nullptr) return kNoDevice;
  if (texture_factor_ == value && value != kUnsetTextureFactor) return 0;
  if (plat::Failed(device_->SetRenderState(kTextureFactorState, value))) return 2;
  texture_factor_ = value;
  return 0;
}

uint32_t CDirect3DDevice::SetTexture(CD3DTexture* texture) {
  if (device_ == nullptr) return kNoDevice;
  if (texture == current_texture_ && texture != nullptr) return 0;
  if (plat::Failed(device_->SetTexture(0, texture != nullptr ? texture->GetSurface() : nullptr))) return 2;
  current_texture_ = texture;
  return 0;
}

const plat::PixelFormat* CDirect3DDevice::GetTextureFormat(uint32_t format) const {
  if (format < kPixelFormatRgb555 || format > kPixelFormatArgb8888 || !std::has_single_bit(format)) return nullptr;
  return texture_formats_[static_cast<size_t>(std::countr_zero(format)) - 2];
}

// Without a device nothing was ever cached, so there is nothing to send.
uint32_t CDirect3DDevice::ReapplyRenderStates() {
  if (device_ == nullptr) return 0;
  for (size_t i = 0; i < states_.size(); ++i) {
    const auto state = static_cast<ERenderState>(i);
    if (IsSet(state, states_[i])) Send(*device_, state, states_[i]);
  }
  if (texture_factor_ != kUnsetTextureFactor) device_->SetRenderState(kTextureFactorState, texture_factor_);
  if (current_texture_ != nullptr) device_->SetTexture(0, current_texture_->GetSurface());
  return 0;
}
