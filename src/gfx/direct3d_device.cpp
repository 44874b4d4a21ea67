#include "gfx/direct3d_device.h"

#include <bit>

CDirect3DDevice::CDirect3DDevice() {
  states_.fill(kUnsetState);
  states_[static_cast<size_t>(ERenderState::kAlphaRef)] = 0;
}

// The states reach a device only when one exists, which the display set-up never makes; the
// cache therefore stays unset and the render objects go on without a device.
uint32_t CDirect3DDevice::SetState(ERenderState, uint8_t) { return kNoDevice; }

uint32_t CDirect3DDevice::SetTextureFactor(uint32_t) { return kNoDevice; }

uint32_t CDirect3DDevice::SetTexture(CTextureObject*) { return kNoDevice; }

const plat::PixelFormat* CDirect3DDevice::GetTextureFormat(uint32_t format) const {
  if (format < kPixelFormatRgb555 || format > kPixelFormatArgb8888 || !std::has_single_bit(format)) return nullptr;
  return texture_formats_[static_cast<size_t>(std::countr_zero(format)) - 2];
}

// Nothing was ever cached without a device, so there is nothing to send.
uint32_t CDirect3DDevice::ReapplyRenderStates() { return 0; }
