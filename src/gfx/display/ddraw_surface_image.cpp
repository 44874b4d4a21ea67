#include "gfx/display/ddraw_surface_image.h"

#include "base/numbers/script_bound.h"
#include "gfx/display/screen_manager.h"
#include "gfx/display/surface_services.h"
#include "pixel/formats/pixel_format_codes.h"

namespace {

constexpr uint8_t kTwentyFourBitDisplay = 24;

// The source key of one raw value, as the surface takes it.
plat::HResult SetSourceKey(plat::Surface& surface, uint32_t value) {
  const plat::ColorKey key{value, value};
  return surface.SetColorKey(plat::DDCKEY_SRCBLT, &key);
}

}  // namespace

uint32_t MakeObjectSurface(CScreenManager& device, const ObjectSurfaceRequest& request,
                           const ObjectSurfaceFailures& failures, std::shared_ptr<plat::Surface>& surface,
                           plat::SurfaceDesc& desc) {
  surface.reset();
  if (!PictureWithinBound(request.width, request.height)) return failures.refused;
  plat::DisplayDevice* display = device.GetDirectDraw();
  if (display == nullptr) return failures.no_display;
  plat::SurfaceDesc wanted;
  wanted.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT;
  wanted.width = request.width;
  wanted.height = request.height;
  wanted.caps = request.texture ? plat::DDSCAPS_TEXTURE : plat::DDSCAPS_OFFSCREENPLAIN;
  if (request.texture || request.system_memory) wanted.caps |= plat::DDSCAPS_SYSTEMMEMORY;
  if (request.format != nullptr) {
    wanted.flags |= plat::DDSD_PIXELFORMAT;
    wanted.pixel_format = *request.format;
  }
  // Rows of three-byte pixels on such a display must hold an even number of pixels.
  if (!request.texture && device.GetDisplayDepth() == kTwentyFourBitDisplay && (wanted.width & 1) != 0) {
    ++wanted.width;
  }
  if (plat::Failed(display->CreateSurface(wanted, surface))) return failures.refused;
  if (plat::Failed(surface->GetSurfaceDesc(desc))) {
    surface.reset();
    return failures.no_description;
  }
  return 0;
}

bool SurfaceNeedsRebuild(plat::Surface* surface, bool only_if_lost) {
  return surface != nullptr && (!only_if_lost || surface->IsLost() == plat::DDERR_SURFACELOST);
}

uint32_t RecordedPixelFormat(plat::Surface& surface, bool texture) {
  const uint32_t code = GetSurfacePixelFormat(&surface, nullptr, nullptr);
  if (texture) return code;
  if (code == kPixelFormatArgb1555) return kPixelFormatRgb555;
  if (code == kPixelFormatArgb8888) return kPixelFormatXrgb8888;
  return code;
}

uint32_t CDDrawSurfaceImage::MakeSurface(const ObjectSurfaceRequest& request, const ObjectSurfaceFailures& failures) {
  ReleaseSurface();
  plat::SurfaceDesc desc;
  const uint32_t status = MakeObjectSurface(*g_SpriteDevice, request, failures, surface_, desc);
  if (status != 0) return status;
  width_ = request.width;
  height_ = request.height;
  pitch_ = desc.pitch;
  SetClipRect(nullptr);
  return 0;
}

uint32_t CDDrawSurfaceImage::GetPixel(int32_t x, int32_t y) const {
  if (surface_ == nullptr || x < 0 || x >= width_ || y < 0 || y >= height_) return kNoPixel;
  plat::LockedSurface locked;
  if (plat::Failed(surface_->Lock(nullptr, locked))) return kNoPixel;
  const uint32_t bytes = plat::BytesPerPixel(locked.format);
  const uint8_t* at = locked.bits + static_cast<intptr_t>(y) * locked.pitch + static_cast<intptr_t>(x) * bytes;
  // A three-byte pixel is read as its three bytes, so the last one never reaches past the end.
  uint32_t pixel = plat::ReadRawPixel(at, bytes);
  if (bytes > 1) pixel &= locked.format.red_mask | locked.format.green_mask | locked.format.blue_mask;
  surface_->Unlock();
  return pixel;
}

uint32_t CDDrawSurfaceImage::SetColorKeyRgb(uint32_t r, uint32_t g, uint32_t b) {
  if (surface_ == nullptr) return 1;
  ForgetKeys();
  PixelFormatInfo info;
  if (GetSurfacePixelFormat(surface_.get(), &info, nullptr) == 0) return 2;
  const auto red = static_cast<uint8_t>(r);
  const auto green = static_cast<uint8_t>(g);
  const auto blue = static_cast<uint8_t>(b);
  const uint32_t value = SurfaceColourValue(info, red, green, blue, 0);
  if (plat::Failed(SetSourceKey(*surface_, value))) return 3;
  key_value_ = value;
  color_key_ = static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | blue;
  return 0;
}

uint32_t CDDrawSurfaceImage::SetColorKeyFromPixel(int32_t x, int32_t y) {
  const uint32_t pixel = GetPixel(x, y);
  if (pixel == kNoPixel) return 1;
  ForgetKeys();
  if (plat::Failed(SetSourceKey(*surface_, pixel))) return 2;
  key_value_ = pixel;
  key_pixel_ = plat::Point{x, y};
  return 0;
}

uint32_t CDDrawSurfaceImage::ReapplyKeys(const KeptKeys& keys, uint32_t colour_failure, uint32_t pixel_failure) {
  if (keys.color_key != kNoColorKey) {
    const uint32_t rgb = keys.color_key;
    return SetColorKeyRgb(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF) == 0 ? 0 : colour_failure;
  }
  if (keys.key_pixel.x != -1) return SetColorKeyFromPixel(keys.key_pixel.x, keys.key_pixel.y) == 0 ? 0 : pixel_failure;
  return 0;
}

uint32_t CDDrawSurfaceImage::RemoveSurfaceKey() {
  if (plat::Failed(surface_->SetColorKey(plat::DDCKEY_SRCBLT, nullptr))) return 2;
  ForgetKeys();
  return 0;
}

void CDDrawSurfaceImage::ForgetKeys() {
  key_pixel_ = plat::Point{-1, -1};
  key_value_ = kNoColorKey;
  color_key_ = kNoColorKey;
}

void CDDrawSurfaceImage::ReleaseSurface() {
  surface_.reset();
  ForgetKeys();
}
