// The string drawers of CGdiFont: the text is rendered into an 8-bit scratch mask by the
// platform's text output and the mask blended into the image. The grey glyph formats render
// four times as large and fold each 4 × 4 block into one coverage byte (full ink 240).
#include <algorithm>
#include <cstdlib>

#include "base/numbers/script_bound.h"
#include "gfx/images/image.h"
#include "pixel/formats/decoded_picture_conversions.h"
#include "ui/fonts/edge_disc.h"
#include "ui/fonts/gdi_font.h"
#include "ui/fonts/glyph_blenders.h"

namespace {

constexpr Rgb kWhite{255, 255, 255};
// A grey scratch mask is drawn in palette index 15, so that 16 samples add up to 240.
constexpr Rgb kGreySample{15, 15, 15};
// The soft outline grown around a grey mask: radius 1 at double strength.
constexpr int32_t kMaskEdgeStrength = 512;
constexpr int32_t kMaskEdgeRadius = 1;
constexpr int32_t kMaskEdgeNormaliser = 6553;

uint32_t PackRgb(const Rgb& colour) {
  return static_cast<uint32_t>(colour.red) << 16 | static_cast<uint32_t>(colour.green) << 8 | colour.blue;
}

// The measured text box and the scratch mask the text is rendered into.
class TextMask {
 public:
  TextMask(int32_t width, int32_t height, int32_t scale) : width_(width), height_(height), scale_(scale) {}

  bool Create() {
    return mask_.Create(width_ * scale_, height_ * scale_, 8, CImage::kUseDib) == 0 &&
           mask_.SetPalette(nullptr, 256, 0) == 0 && mask_.GetDC() != nullptr;
  }
  // Clears the mask and renders the text with its cell at (x, y) of the unscaled box.
  bool Render(CGdiFont& scratch, int32_t x, int32_t y, const char* text) {
    mask_.FillRect(0, 0, 0, nullptr);
    if (scratch.RenderText(*mask_.GetDC(), x * scale_, y * scale_, text) != 0) return false;
    if (scale_ > 1) Reduce32To8(mask_.GetPixels(), mask_.GetPitch(), width_, height_ * scale_);
    return true;
  }
  int32_t scale() const { return scale_; }
  GlyphMask Mask() const { return GlyphMask{mask_.GetPixels(), width_, height_, mask_.GetPitch()}; }
  // The soft outline of the mask's area less its last two columns and rows, w × h again.
  CGlyph Outline() const {
    CGlyph outline;
    outline.width = std::max(width_ - 2, 0);
    outline.height = std::max(height_ - 2, 0);
    outline.pitch = (outline.width + 3) & ~3;
    outline.AllocBits(static_cast<std::size_t>(outline.pitch) * outline.height);
    for (int32_t y = 0; y < outline.height; ++y) {
      std::copy_n(mask_.GetPixels() + static_cast<intptr_t>(y) * mask_.GetPitch(), outline.width,
                  outline.bits.data() + static_cast<intptr_t>(y) * outline.pitch);
    }
    if (outline.width > 0 && outline.height > 0) {
      GrowOutline(outline, false, kMaskEdgeStrength, kMaskEdgeRadius, kMaskEdgeNormaliser);
    }
    return outline;
  }

 private:
  int32_t width_;
  int32_t height_;
  int32_t scale_;
  CImage mask_;
};

GlyphMask MaskOf(const CGlyph& glyph) {
  return GlyphMask{glyph.bits.data(), glyph.width, glyph.height, glyph.pitch};
}

}  // namespace

std::unique_ptr<CGdiFont> CGdiFont::MakeScratch(int32_t scale, const Rgb& ink) const {
  auto scratch = std::make_unique<CGdiFont>(open_face_);
  scratch->logical_font_ = logical_font_;
  scratch->logical_font_.height = logical_font_.height * scale;
  scratch->line_spacing = line_spacing * scale;
  scratch->glyph_format_ = glyph_format_;
  scratch->text_color = ink;
  scratch->decoration_color = ink;
  if (scratch->CreateGdiFont() != 0) return nullptr;
  return scratch;
}

struct CGdiFont::ScratchText {
  plat::Rect box;
  int32_t offset_x = 0;
  int32_t offset_y = 0;
  bool grey = false;
  std::unique_ptr<CGdiFont> font;
  std::unique_ptr<TextMask> mask;
};

uint32_t CGdiFont::PrepareScratch(int32_t x, int32_t y, const char* text, ScratchText& out) {
  TextSize size;
  MeasureText(text, &size, &out.offset_x, &out.offset_y, 1, nullptr);
  const int32_t left = ClampedSum(x, out.offset_x);
  const int32_t top = ClampedSum(y, out.offset_y);
  out.box = plat::Rect{left, top, ClampedSum(left, size.cx), ClampedSum(top, size.cy)};
  if (size.cx <= 0 || size.cy <= 0) return 1;
  out.grey = glyph_format_ != 0;
  const int32_t scale = out.grey ? 4 : 1;
  out.font = MakeScratch(scale, out.grey ? kGreySample : kWhite);
  if (!out.font) return 3;
  out.mask = std::make_unique<TextMask>(size.cx, size.cy, scale);
  return out.mask->Create() ? 0 : 2;
}

uint32_t CGdiFont::DrawText(CImage* image, int32_t x, int32_t y, const char* text, plat::Rect* bounds,
                            plat::Point*) {
  if (!face_ || image == nullptr || image->GetPixels() == nullptr) return 1;
  if (text == nullptr) return 3;
  ScratchText scratch;
  const uint32_t status = PrepareScratch(x, y, text, scratch);
  if (bounds != nullptr) *bounds = scratch.box;
  if (status != 0) return status == 1 ? 0 : status;
  const bool outline_bits = !scratch.grey && decoration == 2;
  if (outline_bits) {
    scratch.font->decoration = 2;
    scratch.font->shadow_x = 2;
    scratch.font->shadow_y = 2;
  }
  if (!scratch.mask->Render(*scratch.font, outline_bits ? -scratch.offset_x : 0, outline_bits ? -scratch.offset_y : 0, text)) return 3;
  if (transparent_ == 0) image->FillRect(background_color.red, background_color.green, background_color.blue, &scratch.box);
  const uint32_t decoration_rgb = PackRgb(decoration_color);
  if (!scratch.grey) {
    if (outline_bits) {
      ThresholdColour(*image, scratch.mask->Mask(), scratch.box.left, scratch.box.top, decoration_rgb, nullptr);
      scratch.font->decoration = 0;
      if (!scratch.mask->Render(*scratch.font, 0, 0, text)) return 3;
    } else if (decoration == 1) {
      ThresholdColour(*image, scratch.mask->Mask(), x + shadow_x, y + shadow_y, decoration_rgb, nullptr);
    }
    ThresholdColour(*image, scratch.mask->Mask(), x, y, PackRgb(text_color), nullptr);
    return 0;
  }
  if (decoration == 2) {
    const CGlyph outline = scratch.mask->Outline();
    BlendColour(*image, MaskOf(outline), scratch.box.left, scratch.box.top, decoration_rgb, 255, nullptr);
  } else if (decoration == 1) {
    BlendColour(*image, scratch.mask->Mask(), x + shadow_x, y + shadow_y, decoration_rgb, 255, nullptr);
  }
  BlendColour(*image, scratch.mask->Mask(), x, y, PackRgb(text_color), 255, nullptr);
  return 0;
}

// The colours and the alpha both go to the text box at (x, y) + its offset, so the text can be
// drawn anywhere, not only where the box meets the image's corner. The shadow or outline is
// rendered into the alpha mask in the mask's own ink, so a decoration is as opaque as the
// face instead of leaving holes in the alpha.
uint32_t CGdiFont::DrawTextWithAlpha(CImage* image, int32_t x, int32_t y, const char* text, plat::Rect* bounds,
                                     plat::Point*) {
  if (!face_ || image == nullptr || image->GetPixels() == nullptr || image->GetBitsPerPixel() != 32) return 1;
  if (text == nullptr) return 3;
  ScratchText scratch;
  const uint32_t status = PrepareScratch(x, y, text, scratch);
  if (bounds != nullptr) *bounds = scratch.box;
  if (status != 0) return status == 1 ? 0 : status;
  if (!scratch.mask->Render(*scratch.font, 0, 0, text)) return 3;
  if (decoration == 0) {
    image->FillRect(text_color.red, text_color.green, text_color.blue, &scratch.box);
    CoverageToAlpha(*image, scratch.mask->Mask(), scratch.box.left, scratch.box.top, AlphaMode::kCopy, nullptr);
    return 0;
  }
  if (decoration == 1) {
    image->FillRect(text_color.red, text_color.green, text_color.blue, &scratch.box);
    ColourUnderCoverage(*image, scratch.mask->Mask(), x + shadow_x, y + shadow_y, PackRgb(decoration_color), nullptr);
    scratch.font->decoration = 1;
    scratch.font->shadow_x = shadow_x * scratch.mask->scale();
    scratch.font->shadow_y = shadow_y * scratch.mask->scale();
  } else {
    image->FillRect(decoration_color.red, decoration_color.green, decoration_color.blue, &scratch.box);
    if (!scratch.grey) {
      scratch.font->decoration = 2;
      scratch.font->shadow_x = 2;
      scratch.font->shadow_y = 2;
    }
  }
  BlendColour(*image, scratch.mask->Mask(), x, y, PackRgb(text_color), 255, nullptr);
  if (scratch.grey && decoration == 2) {
    const CGlyph outline = scratch.mask->Outline();
    CoverageToAlpha(*image, MaskOf(outline), scratch.box.left, scratch.box.top, AlphaMode::kCopy, nullptr);
    return 0;
  }
  if (!scratch.mask->Render(*scratch.font, -scratch.offset_x, -scratch.offset_y, text)) return 3;
  CoverageToAlpha(*image, scratch.mask->Mask(), scratch.box.left, scratch.box.top, AlphaMode::kCopy, nullptr);
  return 0;
}
