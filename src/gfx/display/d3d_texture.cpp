#include "gfx/display/d3d_texture.h"

#include <algorithm>
#include <bit>

#include "gfx/display/direct3d_device.h"
#include "base/threads/end_watch.h"

CD3DTexture::~CD3DTexture() { CEndWatch::Announce(this); }

double CD3DTexture::TextureCoordinate(int32_t pixel, int32_t image_size, int32_t texture_size) {
  if (texture_size <= 0) return 0.0;
  if (image_size <= texture_size) return (pixel + 0.5) / texture_size;
  const int32_t scaled = static_cast<int32_t>(static_cast<int64_t>(texture_size) * pixel / image_size);
  return (scaled + 0.5) / texture_size;
}

namespace {

int32_t NextPowerOfTwo(int32_t size) {
  return size <= 1 ? 1 : static_cast<int32_t>(std::bit_ceil(static_cast<uint32_t>(size)));
}

int32_t FitSide(int32_t size, int32_t minimum, int32_t maximum, bool& too_large) {
  if (size > maximum) {
    too_large = true;
    return maximum;
  }
  return std::max(size, minimum);
}

}  // namespace

TextureFit FitTextureSize(const Direct3DDeviceDescription& device, int32_t width, int32_t height) {
  TextureFit fit{width, height, false};
  if ((device.texture_caps & kTextureCapsPow2) != 0 && (device.texture_caps & kTextureCapsNonPow2Conditional) == 0) {
    fit.width = NextPowerOfTwo(fit.width);
    fit.height = NextPowerOfTwo(fit.height);
  }
  if ((device.texture_caps & kTextureCapsSquareOnly) != 0) fit.width = fit.height = std::max(fit.width, fit.height);
  fit.width = FitSide(fit.width, device.min_texture_width, device.max_texture_width, fit.too_large);
  fit.height = FitSide(fit.height, device.min_texture_height, device.max_texture_height, fit.too_large);
  return fit;
}
