#include "gfx/display/surface_canvas.h"

#include "gfx/display/ddraw_surface_image.h"
#include "gfx/display/screen_manager.h"
#include "gfx/display/surface_services.h"

uint8_t g_CanvasUseDibSection = 1;

uint32_t CanvasCreateStatus(uint32_t part_status) {
  switch (part_status) {
    case 0:
      return 0;
    case CImagePart::kImageFailed:
      return 3;
    case CImagePart::kLayerFailed:
    case CImagePart::kOtherFailure:
      return 4;
    case CImagePart::kLayerTargetFailed:
      return 5;
    default:
      return 6;
  }
}

bool CanvasPixelColour(const CImage& image, int32_t x, int32_t y, uint32_t& rgb) {
  if (!image.HasPixels() || x < 0 || y < 0 || x >= image.GetWidth() || y >= image.GetHeight()) return false;
  uint32_t colour = static_cast<uint32_t>(image.GetPixel(x, y));
  if (image.GetBitsPerPixel() == 8) {
    const uint32_t* palette = image.GetPalette();
    if (palette == nullptr) return false;
    colour = palette[colour & 0xFF];
  }
  rgb = colour & 0xFFFFFF;
  return true;
}

CSurfaceCanvas::CSurfaceCanvas(CScreenManager* device) {
  if (device != nullptr) g_SpriteDevice = device;
}

uint32_t CSurfaceCanvas::ImageFlags() const {
  return CImage::kOwnDirtyRegion | (g_CanvasUseDibSection != 0 ? CImage::kUseDib : 0);
}

void CSurfaceCanvas::ReleaseCanvas() {
  Release();
  surface_.reset();
  surface_format_ = 0;
  key_colour_ = kNoColorKey;
}

uint32_t CSurfaceCanvas::MakeCanvasSurface(int32_t width, int32_t height) {
  surface_.reset();
  plat::SurfaceDesc desc;
  if (MakeObjectSurface(*g_SpriteDevice, {width, height, false, false, nullptr}, {2, 2, 2}, surface_, desc) != 0) {
    return 2;
  }
  surface_format_ = RecordedPixelFormat(*surface_, false);
  return surface_format_ == 0 ? 2 : 0;
}

uint32_t CSurfaceCanvas::Create(int32_t width, int32_t height, uint8_t depth, uint8_t layer_mode) {
  if (g_SpriteDevice == nullptr) return 1;
  ReleaseCanvas();
  uint32_t status = MakeCanvasSurface(width, height);
  if (status == 0) status = CanvasCreateStatus(ClipToImage(CreateWithFlags(width, height, depth, ImageFlags(), layer_mode)));
  if (status != 0) {
    ReleaseCanvas();
    return status;
  }
  FillSurface(surface_.get(), nullptr, 0, 0, 0, nullptr, 0);
  return 0;
}

int32_t CSurfaceCanvas::Update(bool changed_only) {
  if (surface_ == nullptr) return 1;
  return UpdateSurface(*surface_, surface_format_, changed_only);
}

uint32_t CSurfaceCanvas::Restore(bool only_if_lost) {
  if (!SurfaceNeedsRebuild(surface_.get(), only_if_lost)) return 0;
  const uint32_t key = key_colour_;
  key_colour_ = kNoColorKey;
  if (MakeCanvasSurface(GetWidth(), GetHeight()) != 0) return 1;
  if (Update(false) > 0) return 2;
  if (key != kNoColorKey && SetColorKeyRgb(key >> 16 & 0xFF, key >> 8 & 0xFF, key & 0xFF) != 0) return 3;
  return 0;
}

uint32_t CSurfaceCanvas::CreateImage(uint8_t depth) {
  if (surface_ == nullptr) return 1;
  if (RecreateCanvasImage(depth, ImageFlags()) != 0) {
    ReleaseCanvas();
    return 2;
  }
  return 0;
}

uint32_t CSurfaceCanvas::SetColorKeyRgb(uint32_t r, uint32_t g, uint32_t b) {
  if (surface_ == nullptr) return 1;
  PixelFormatInfo info;
  if (GetSurfacePixelFormat(surface_.get(), &info, nullptr) == 0) return 2;
  const auto red = static_cast<uint8_t>(r);
  const auto green = static_cast<uint8_t>(g);
  const auto blue = static_cast<uint8_t>(b);
  const uint32_t value = info.bits_per_pixel == 8 ? red : SurfaceColourValue(info, red, green, blue, 0);
  const plat::ColorKey key{value, value};
  if (plat::Failed(surface_->SetColorKey(plat::DDCKEY_SRCBLT, &key))) return 3;
  key_colour_ = static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | blue;
  return 0;
}

uint32_t CSurfaceCanvas::SetColorKeyFromPixel(int32_t x, int32_t y) {
  uint32_t colour = 0;
  if (surface_ == nullptr || !CanvasPixelColour(*GetImage(), x, y, colour)) return 1;
  return SetColorKeyRgb(colour >> 16 & 0xFF, colour >> 8 & 0xFF, colour & 0xFF);
}

uint32_t CSurfaceCanvas::ClearColorKey() {
  if (key_colour_ == kNoColorKey) return 0;
  if (surface_ == nullptr) return 1;
  if (plat::Failed(surface_->SetColorKey(plat::DDCKEY_SRCBLT, nullptr))) return 2;
  key_colour_ = kNoColorKey;
  return 0;
}
