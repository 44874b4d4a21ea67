#include "ui/text_objects/text_object.h"

#include <new>

#include "gfx/display/screen_manager.h"
#include "gfx/display/surface_services.h"
#include "gfx/images/image.h"
#include "pixel/formats/surface_writers.h"
#include "ui/fonts/font.h"
#include "ui/fonts/gdi_font.h"
#include "ui/gui/transparent_background.h"
#include "ui/widgets/ddraw_sprite.h"

namespace {

constexpr uint32_t kNoFont = 1;
constexpr uint32_t kNoTextureFormat = 2;
constexpr uint32_t kCreateOffset = 2;
constexpr uint32_t kDrawingOffset = 4;
constexpr uint32_t kNotScaled = 13;
constexpr uint32_t kSetTextOffset = 2;
constexpr ObjectSurfaceFailures kSurfaceFailures{1, 2, 2};

// The drawing statuses, before the offset that Render adds.
constexpr uint32_t kNoTextImage = 2;
constexpr uint32_t kNoDc = 3;
constexpr uint32_t kDcNotReleased = 4;
constexpr uint32_t kNotFilled = 5;
constexpr uint32_t kNotLocked = 6;
constexpr uint32_t kNotWritten = 7;
constexpr uint32_t kNoKey = 8;

uint32_t CopyThroughDc(CImage& image, plat::Surface& target, int32_t width, int32_t height) {
  plat::DeviceContext* dc = nullptr;
  if (image.GetDC() == nullptr || plat::Failed(target.GetDC(dc))) return kNoDc;
  plat::BitBlt(*dc, 0, 0, width, height, *image.GetDC(), 0, 0, plat::SRCCOPY);
  return plat::Failed(target.ReleaseDC(dc)) ? kDcNotReleased : 0;
}

}  // namespace

CTextObject::CTextObject(CScreenManager* device) {
  if (device != nullptr) g_DrawObjectDevice = device;
}

void CTextObject::Reset() {
  ReleaseSurface();
  text_.reset();
  font_.Reset(nullptr);
  format_ = 0;
  text_width_ = 0;
  text_height_ = 0;
  width_ = height_ = 0;
}

uint32_t CTextObject::SetText(uint32_t format, const char* text, CFontBase* font) {
  if (g_SpriteDevice == nullptr || g_DrawObjectDevice == nullptr || text == nullptr) return 1;
  Reset();
  try {
    text_ = text;
  } catch (const std::bad_alloc&) {
    return 2;
  }
  font_.Reset(font);
  format_ = format;
  const uint32_t status = Render();
  if (status == 0) return 0;
  Reset();
  return status + kSetTextOffset;
}

uint32_t CTextObject::ClearColorKey() {
  if (GetColorKey() == kNoColorKey) return 0;
  if (surface_ == nullptr) return 1;
  return RemoveSurfaceKey();
}

uint32_t CTextObject::Restore(bool only_if_lost) {
  if (!SurfaceNeedsRebuild(surface_.get(), only_if_lost)) return 0;
  return Render() == 0 ? 0 : 1;
}

uint32_t CTextObject::Render() {
  uint32_t status = kNotScaled;
  try {
    CFontBase* font = font_.Get() != nullptr ? font_.Get() : g_DefaultFont;
    status = font != nullptr && text_ ? RenderWith(*font) : kNoFont;
  } catch (...) {
    status = kNotScaled;
  }
  if (status != 0) {
    ReleaseSurface();
    text_width_ = text_height_ = 0;
  }
  return status;
}

uint32_t CTextObject::RenderWith(CFontBase& font) {
  if (g_DrawObjectDevice == nullptr || g_SpriteDevice == nullptr) return kNoTextureFormat;
  const plat::PixelFormat* texture_format = g_DrawObjectDevice->GetTextureFormat(format_);
  if (texture_format == nullptr) return kNoTextureFormat;
  plat::Rect box;
  if (!MeasureTextBox(font, text_->c_str(), box)) return kNoFont;
  const TextureFit fit = FitTextureSize(g_DrawObjectDevice->GetDeviceDescription(), box.Width(), box.Height());
  const uint32_t made = MakeSurface({fit.width, fit.height, false, true, texture_format}, kSurfaceFailures);
  if (made != 0) return made + kCreateOffset;

  std::shared_ptr<plat::Surface> full;
  if (fit.too_large) {
    plat::SurfaceDesc desc;
    const uint32_t status = MakeObjectSurface(*g_SpriteDevice, {box.Width(), box.Height(), false, true, texture_format},
                                              kSurfaceFailures, full, desc);
    if (status != 0) return status + kCreateOffset;
  }
  const Target target{full != nullptr ? *full : *surface_, box.Width(), box.Height()};
  uint32_t drawn = 0;
  if (font.IsGlyphFont()) {
    drawn = DrawGlyphs(static_cast<CFont&>(font), target, -box.left, -box.top);
  } else {
    drawn = DrawGdi(static_cast<CGdiFont&>(font), target, -box.left, -box.top);
  }
  if (drawn != 0) return drawn + kDrawingOffset;
  if (full != nullptr) {
    const plat::Rect whole{0, 0, width_, height_};
    if (plat::Failed(surface_->Blt(&whole, full.get(), nullptr, plat::DDBLT_WAIT, nullptr))) return kNotScaled;
  }
  text_width_ = box.Width();
  text_height_ = box.Height();
  return 0;
}

uint32_t CTextObject::DrawGdi(CGdiFont& font, const Target& target, int32_t x, int32_t y) {
  const Rgb background = font.background_color;
  if (font.glyph_format() != 0 && HasAlpha()) {
    if (const uint32_t status = DrawWithAlpha(font, target, x, y); status != 0) return status;
  } else if (font.glyph_format() != 0) {
    CImage image;
    if (image.Create(target.width, target.height, 32, CImage::kUseDib) != 0) return kNoTextImage;
    image.FillRect(background.red, background.green, background.blue, nullptr);
    {
      TransparentBackground transparent(font);
      font.DrawText(&image, x, y, text_->c_str(), nullptr, nullptr);
    }
    if (const uint32_t status = CopyThroughDc(image, target.surface, target.width, target.height); status != 0) {
      return status;
    }
  } else {
    if (FillSurface(&target.surface, nullptr, background.red, background.green, background.blue, nullptr,
                    HasAlpha() ? 255 : 0) != 0) {
      return kNotFilled;
    }
    plat::DeviceContext* dc = nullptr;
    if (plat::Failed(target.surface.GetDC(dc))) return kNoDc;
    {
      TransparentBackground transparent(font);
      font.RenderText(*dc, x, y, text_->c_str());
    }
    if (plat::Failed(target.surface.ReleaseDC(dc))) return kDcNotReleased;
    if (HasAlpha()) {
      // What the device context draws has alpha 0: turned round, the text is opaque and the
      // background clear.
      plat::LockedSurface locked;
      if (plat::Failed(target.surface.Lock(nullptr, locked))) return kNotLocked;
      const plat::Rect bounds{0, 0, locked.width, locked.height};
      InvertSurfaceRect(2, format_, locked.bits, locked.pitch, &bounds, nullptr);
      target.surface.Unlock();
    }
  }
  return KeyBackground(font.transparent_background(), background);
}

uint32_t CTextObject::DrawGlyphs(CFont& font, const Target& target, int32_t x, int32_t y) {
  if (HasAlpha()) return DrawWithAlpha(font, target, x, y);
  const Rgb background = font.background_color;
  CImage image;
  if (image.Create(target.width, target.height, 32, CImage::kUseDib) != 0) return kNoTextImage;
  image.FillRect(background.red, background.green, background.blue, nullptr);
  font.DrawText(&image, x, y, text_->c_str(), nullptr, nullptr);
  if (const uint32_t status = CopyThroughDc(image, target.surface, target.width, target.height); status != 0) {
    return status;
  }
  return KeyBackground(true, background);
}

uint32_t CTextObject::DrawWithAlpha(CFontBase& font, const Target& target, int32_t x, int32_t y) {
  CImage image;
  if (image.Create(target.width, target.height, 32, 0) != 0) return kNoTextImage;
  image.FillRectArgb(0, nullptr);
  if (font.DrawTextWithAlpha(&image, x, y, text_->c_str(), nullptr, nullptr) != 0) return kNoTextImage;
  plat::LockedSurface locked;
  if (plat::Failed(target.surface.Lock(nullptr, locked))) return kNotLocked;
  const bool written = WriteArgb32ToSurface(format_, locked.bits, 0, 0, locked.pitch, image.GetPixels(),
                                            image.GetPitch(), target.width, target.height);
  target.surface.Unlock();
  return written ? 0 : kNotWritten;
}

uint32_t CTextObject::KeyBackground(bool keyed, const Rgb& background) {
  if (!keyed) return ClearColorKey() == 0 ? 0 : kNoKey;
  return SetColorKeyRgb(background.red, background.green, background.blue) == 0 ? 0 : kNoKey;
}
