#include "ui/widgets/ddraw_sprite.h"

#include <new>

#include "gfx/display/screen_manager.h"
#include "gfx/display/surface_services.h"
#include "gfx/images/image.h"
#include "ui/fonts/font.h"
#include "ui/fonts/gdi_font.h"
#include "ui/gui/transparent_background.h"

namespace {

constexpr uint32_t kNoFont = 3;
constexpr uint32_t kDrawingOffset = 3;
constexpr uint32_t kUnexpected = 11;
constexpr uint32_t kRenderOffset = 2;
// No display, and a surface that cannot be made.
constexpr ObjectSurfaceFailures kSurfaceFailures{1, 2, 2};

// The drawing statuses, before the offset that Render adds.
constexpr uint32_t kNoImage = 1;
constexpr uint32_t kNotDrawn = 2;
constexpr uint32_t kNotFilled = 5;
constexpr uint32_t kKeyNotSet = 6;
constexpr uint32_t kKeyNotCleared = 7;

}  // namespace

CDDrawSprite::CDDrawSprite(CScreenManager* device, CFontBase* font) {
  if (device != nullptr) g_SpriteDevice = device;
  if (font != nullptr) g_DefaultFont = font;
}

void CDDrawSprite::Release() {
  ReleaseSurface();
  text_.reset();
}

uint32_t CDDrawSprite::SetText(const char* text, CFontBase* font) {
  if (g_SpriteDevice == nullptr || text == nullptr) return 1;
  Release();
  try {
    text_ = text;
  } catch (const std::bad_alloc&) {
    return 2;
  }
  if (font != nullptr) font_.Reset(font);
  const uint32_t status = Render();
  return status == 0 ? 0 : status + kRenderOffset;
}

uint32_t CDDrawSprite::ClearColorKey() {
  if (GetColorKey() == kNoColorKey) return 0;
  if (surface_ == nullptr) return 1;
  return RemoveSurfaceKey();
}

uint32_t CDDrawSprite::Restore(bool only_if_lost) {
  if (!SurfaceNeedsRebuild(surface_.get(), only_if_lost)) return 0;
  const KeptKeys keys = KeepKeys();
  if (Render() != 0) return 1;
  return ReapplyKeys(keys, 5, 6);
}

uint32_t CDDrawSprite::Render() {
  uint32_t status = kNoFont;
  try {
    CFontBase* font = font_.Get() != nullptr ? font_.Get() : g_DefaultFont;
    if (font != nullptr && text_) status = RenderWith(*font);
  } catch (...) {
    status = kUnexpected;
  }
  if (status != 0) Release();
  return status;
}

bool MeasureTextBox(CFontBase& font, const char* text, plat::Rect& box) {
  TextSize size;
  int32_t offset_x = 0;
  int32_t offset_y = 0;
  font.MeasureText(text, &size, &offset_x, &offset_y, 1, nullptr);
  if (font.IsGlyphFont()) {
    auto* glyphs = dynamic_cast<CFont*>(&font);
    if (glyphs == nullptr) return false;
    box = glyphs->GetRotatedBounds(offset_x, offset_y, size.cx, size.cy);
    return true;
  }
  if (dynamic_cast<CGdiFont*>(&font) == nullptr) return false;
  box = plat::Rect{offset_x, offset_y, offset_x + size.cx, offset_y + size.cy};
  return true;
}

uint32_t CDDrawSprite::RenderWith(CFontBase& font) {
  plat::Rect box;
  if (!MeasureTextBox(font, text_->c_str(), box)) return kNoFont;
  auto* plain = font.IsGlyphFont() ? nullptr : dynamic_cast<CGdiFont*>(&font);
  auto* glyphs = font.IsGlyphFont() ? dynamic_cast<CFont*>(&font) : nullptr;
  const uint32_t status = MakeSurface({box.Width(), box.Height(), false, false, nullptr}, kSurfaceFailures);
  if (status != 0) return status;
  const uint32_t drawn =
      plain != nullptr ? DrawGdi(*plain, -box.left, -box.top) : DrawGlyphs(*glyphs, -box.left, -box.top);
  return drawn == 0 ? 0 : drawn + kDrawingOffset;
}

uint32_t CDDrawSprite::DrawGdi(CGdiFont& font, int32_t x, int32_t y) {
  const Rgb background = font.background_color;
  uint32_t status = 0;
  if (font.glyph_format() != 0) {
    CImage image;
    if (image.Create(width_, height_, 32, CImage::kUseDib) != 0) return kNoImage;
    // The text's smoothed edges blend into the background colour, which the key can then take.
    image.FillRect(background.red, background.green, background.blue, nullptr);
    {
      TransparentBackground transparent(font);
      if (font.DrawText(&image, x, y, text_->c_str(), nullptr, nullptr) != 0) return kNotDrawn;
    }
    if (const uint32_t copied = CopyToSurface(image); copied != 0) return copied;
  } else {
    if (FillSurface(surface_.get(), nullptr, background.red, background.green, background.blue, nullptr, 0) != 0) {
      return kNotFilled;
    }
    plat::DeviceContext* dc = nullptr;
    if (plat::Failed(surface_->GetDC(dc))) return 3;
    {
      TransparentBackground transparent(font);
      if (font.RenderText(*dc, x, y, text_->c_str()) != 0) status = kNotDrawn;
    }
    if (plat::Failed(surface_->ReleaseDC(dc))) return 4;
  }
  if (font.transparent_background()) {
    if (SetColorKeyRgb(background.red, background.green, background.blue) != 0) return kKeyNotSet;
  } else if (ClearColorKey() != 0) {
    return kKeyNotCleared;
  }
  return status;
}

uint32_t CDDrawSprite::DrawGlyphs(CFont& font, int32_t x, int32_t y) {
  const Rgb background = font.background_color;
  CImage image;
  if (image.Create(width_, height_, 32, CImage::kUseDib) != 0) return kNoImage;
  image.FillRect(background.red, background.green, background.blue, nullptr);
  if (font.DrawText(&image, x, y, text_->c_str(), nullptr, nullptr) != 0) return kNotDrawn;
  if (const uint32_t copied = CopyToSurface(image); copied != 0) return copied;
  return SetColorKeyRgb(background.red, background.green, background.blue) == 0 ? 0 : kKeyNotSet;
}

uint32_t CDDrawSprite::CopyToSurface(CImage& image) {
  plat::DeviceContext* dc = nullptr;
  if (image.GetDC() == nullptr || plat::Failed(surface_->GetDC(dc))) return 3;
  plat::BitBlt(*dc, 0, 0, width_, height_, *image.GetDC(), 0, 0, plat::SRCCOPY);
  return plat::Failed(surface_->ReleaseDC(dc)) ? 4 : 0;
}
