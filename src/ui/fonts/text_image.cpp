#include "ui/fonts/text_image.h"

#include "base/numbers/script_bound.h"
#include "ui/fonts/font.h"
#include "ui/fonts/gdi_font.h"

namespace text_image {

namespace {

bool NoText(const char* text) { return text == nullptr || *text == '\0'; }

CFontBase* FontOrDefault(CFontBase* font) { return font != nullptr ? font : g_DefaultFont; }

// The image counts as changed; only the part of `bounds` that lies on it becomes dirty.
void MarkDrawn(CImage& image, plat::Rect bounds) {
  const bool empty = bounds.left >= bounds.right || bounds.top >= bounds.bottom;
  if (empty || !image.ClipRect(&bounds)) bounds = plat::Rect{};
  image.MarkChanged(bounds);
}

// Told apart from every drawing status.
constexpr uint32_t kNotCreated = UINT32_MAX;

uint32_t DrawWithFont(CImage& image, int32_t x, int32_t y, const char* text, CFontBase* font, bool compose) {
  if (image.GetPixels() == nullptr || NoText(text)) return 1;
  font = FontOrDefault(font);
  if (font == nullptr || (compose && !font->IsGlyphFont())) return 2;
  plat::Rect bounds;
  const uint32_t status = compose ? static_cast<CFont*>(font)->DrawString(&image, x, y, text, &bounds, nullptr)
                                  : font->DrawText(&image, x, y, text, &bounds, nullptr);
  if (status != 0) return status + 2;
  MarkDrawn(image, bounds);
  return 0;
}

uint32_t CreateForPlainFont(CImage& image, const char* text, CGdiFont& font, uint32_t flags, const TextSize& size,
                            int32_t offset_x, int32_t offset_y) {
  if (image.Create(size.cx, size.cy, 32, flags) != 0) return kNotCreated;
  if (font.glyph_format() != 0) {
    image.SetAlphaFlag(1);
    return font.DrawTextWithAlpha(&image, -offset_x, -offset_y, text, nullptr, nullptr);
  }
  const Rgb background = font.background_color;
  const bool was_transparent = font.transparent_background();
  image.FillRect(background.red, background.green, background.blue, nullptr);
  font.SetBackground(1, background.red, background.green, background.blue);
  const uint32_t status = image.GetDC() != nullptr ? DrawTextGdi(image, -offset_x, -offset_y, text, &font)
                                                   : DrawText(image, -offset_x, -offset_y, text, &font);
  font.SetBackground(was_transparent ? 1 : 0, background.red, background.green, background.blue);
  if (was_transparent) image.SetColorKeyRgb(background.red, background.green, background.blue);
  return status;
}

uint32_t CreateForGlyphFont(CImage& image, const char* text, CFont& font, uint32_t flags, const TextSize& size,
                            int32_t offset_x, int32_t offset_y) {
  const plat::Rect box = font.GetRotatedBounds(offset_x, offset_y, size.cx, size.cy);
  if (image.Create(box.Width(), box.Height(), 32, flags) != 0) return kNotCreated;
  const Rgb background = font.background_color;
  if (font.glyph_format() == 0) {
    image.FillRect(background.red, background.green, background.blue, nullptr);
    const uint32_t status = DrawText(image, -box.left, -box.top, text, &font);
    image.SetColorKeyRgb(background.red, background.green, background.blue);
    return status;
  }
  if (font.decoration == 0) image.FillRectArgb(0, nullptr);
  const uint32_t status = font.DrawTextWithAlpha(&image, -box.left, -box.top, text, nullptr, nullptr);
  image.SetAlphaFlag(1);
  return status;
}

}  // namespace

uint32_t CreateFromText(CImage& image, const char* text, CFontBase* font, uint32_t flags) {
  if (NoText(text)) return 1;
  font = FontOrDefault(font);
  if (font == nullptr) return 2;
  TextSize size;
  int32_t offset_x = 0;
  int32_t offset_y = 0;
  font->MeasureText(text, &size, &offset_x, &offset_y, 1, nullptr);
  uint32_t status = 0;
  if (auto* glyph_font = dynamic_cast<CFont*>(font); glyph_font != nullptr && font->IsGlyphFont()) {
    status = CreateForGlyphFont(image, text, *glyph_font, flags, size, offset_x, offset_y);
  } else if (auto* plain_font = dynamic_cast<CGdiFont*>(font); plain_font != nullptr && !font->IsGlyphFont()) {
    status = CreateForPlainFont(image, text, *plain_font, flags, size, offset_x, offset_y);
  } else {
    return 5;
  }
  if (status == kNotCreated) return 3;
  if (status != 0) {
    image.Release();
    return 4;
  }
  return 0;
}

uint32_t DrawText(CImage& image, int32_t x, int32_t y, const char* text, CFontBase* font) {
  return DrawWithFont(image, x, y, text, font, false);
}

uint32_t DrawString(CImage& image, int32_t x, int32_t y, const char* text, CFontBase* font) {
  return DrawWithFont(image, x, y, text, font, true);
}

uint32_t DrawTextGdi(CImage& image, int32_t x, int32_t y, const char* text, CFontBase* font) {
  if (image.GetDC() == nullptr || NoText(text)) return 1;
  font = FontOrDefault(font);
  auto* plain_font = font != nullptr && !font->IsGlyphFont() ? dynamic_cast<CGdiFont*>(font) : nullptr;
  if (plain_font == nullptr) return 2;
  if (plain_font->RenderText(*image.GetDC(), x, y, text) != 0) return 3;
  TextSize size;
  int32_t offset_x = 0;
  int32_t offset_y = 0;
  if (plain_font->MeasureText(text, &size, &offset_x, &offset_y, 1, nullptr) == 0) return 4;
  const plat::Rect box = plain_font->GetRotatedBounds(offset_x, offset_y, size.cx, size.cy);
  MarkDrawn(image, plat::Rect{ClampedSum(box.left, x), ClampedSum(box.top, y), ClampedSum(box.right, x),
                              ClampedSum(box.bottom, y)});
  return 0;
}

}  // namespace text_image
