#include "gfx/display/picture_canvas.h"

#include "base/numbers/script_bound.h"
#include "gfx/display/screen_manager.h"
#include "gfx/display/surface_canvas.h"
#include "gfx/display/surface_services.h"

CPictureCanvas::CPictureCanvas(CScreenManager* device) {
  if (device != nullptr) g_DrawObjectDevice = device;
}

uint32_t CPictureCanvas::ImageFlags() const {
  const bool dib = g_CanvasUseDibSection != 0 && format_ <= kPixelFormatXrgb8888;
  return CImage::kOwnDirtyRegion | (dib ? CImage::kUseDib : 0);
}

void CPictureCanvas::ReleaseCanvas() {
  Release();
  texture_.Release();
}

uint32_t CPictureCanvas::CreateTexture(uint32_t format, int32_t width, int32_t height, bool system_memory) {
  texture_.Release();
  if (g_DrawObjectDevice == nullptr) return 1;
  // The size asked for, before a device that takes no larger texture refuses it without a word.
  if (!PictureWithinBound(width, height)) return 3;
  const plat::PixelFormat* texture_format = g_DrawObjectDevice->GetTextureFormat(format);
  if (texture_format == nullptr) return 2;
  const TextureFit fit = FitTextureSize(g_DrawObjectDevice->GetDeviceDescription(), width, height);
  if (fit.too_large) return 3;
  if (texture_.Create(fit.width, fit.height, system_memory, true, texture_format) != 0) return 4;
  format_ = format;
  system_memory_ = system_memory;
  return 0;
}

uint32_t CPictureCanvas::Create(uint32_t format, int32_t width, int32_t height, uint8_t depth, uint8_t layer_mode,
                                bool system_memory) {
  if (g_DrawObjectDevice == nullptr) return 1;
  ReleaseCanvas();
  uint32_t status = CreateTexture(format, width, height, system_memory) == 0 ? 0 : 2;
  if (status == 0) {
    status = CanvasCreateStatus(ClipToImage(CreateWithFlags(width, height, depth, ImageFlags(), layer_mode)));
  }
  if (status != 0) {
    ReleaseCanvas();
    return status;
  }
  FillSurface(texture_.GetSurface(), nullptr, 0, 0, 0, nullptr, 0);
  return 0;
}

int32_t CPictureCanvas::Update(bool changed_only) {
  if (texture_.GetSurface() == nullptr) return 1;
  return UpdateSurface(*texture_.GetSurface(), texture_.GetPixelFormatCode(), changed_only);
}

uint32_t CPictureCanvas::Restore(bool only_if_lost) {
  if (!SurfaceNeedsRebuild(texture_.GetSurface(), only_if_lost)) return 0;
  const uint32_t key = texture_.GetColorKeyRgb();
  if (CreateTexture(format_, GetImage()->GetWidth(), GetImage()->GetHeight(), system_memory_) != 0) return 1;
  if (Update(false) > 0) return 2;
  if (key != kNoColorKey && SetColorKeyRgb(key >> 16 & 0xFF, key >> 8 & 0xFF, key & 0xFF) != 0) return 3;
  return 0;
}

uint32_t CPictureCanvas::CreateImage(uint8_t depth) {
  if (texture_.GetSurface() == nullptr) return 1;
  if (RecreateCanvasImage(depth, ImageFlags()) != 0) {
    ReleaseCanvas();
    return 2;
  }
  return 0;
}

uint32_t CPictureCanvas::SetColorKeyFromPixel(int32_t x, int32_t y) {
  uint32_t colour = 0;
  if (texture_.GetSurface() == nullptr || !CanvasPixelColour(*GetImage(), x, y, colour)) return 1;
  return SetColorKeyRgb(colour >> 16 & 0xFF, colour >> 8 & 0xFF, colour & 0xFF);
}
