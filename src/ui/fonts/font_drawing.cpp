// The three string drawers of CFont: glyph by glyph from the glyph cache into an image.
#include <algorithm>
#include <cstdlib>

#include "gfx/images/image.h"
#include "ui/fonts/font.h"
#include "ui/fonts/glyph_blenders.h"
#include "ui/fonts/text_markup.h"

namespace {

uint32_t PackRgb(const Rgb& colour) {
  return static_cast<uint32_t>(colour.red) << 16 | static_cast<uint32_t>(colour.green) << 8 | colour.blue;
}

GlyphMask MaskOf(const CGlyph& glyph) {
  return GlyphMask{glyph.bits.data(), glyph.width, glyph.height, glyph.pitch};
}

bool HasInk(const CGlyph* glyph) { return glyph != nullptr && glyph->width != 0 && glyph->height != 0; }

plat::Point At(plat::Point pen, const CGlyph& glyph, plat::Point shift = {}) {
  return plat::Point{pen.x + glyph.offset_x + shift.x, pen.y + glyph.offset_y + shift.y};
}

// An empty rectangle adds nothing and is replaced by the first one that is not empty.
void Grow(plat::Rect& bounds, const plat::Rect& rect) {
  if (rect.left >= rect.right || rect.top >= rect.bottom) return;
  if (bounds.left >= bounds.right || bounds.top >= bounds.bottom) {
    bounds = rect;
    return;
  }
  bounds.left = std::min(bounds.left, rect.left);
  bounds.top = std::min(bounds.top, rect.top);
  bounds.right = std::max(bounds.right, rect.right);
  bounds.bottom = std::max(bounds.bottom, rect.bottom);
}

}  // namespace

uint32_t CFont::DrawText(CImage* image, int32_t x, int32_t y, const char* text, plat::Rect* bounds,
                         plat::Point* end) {
  return DrawWith(image, x, y, text, DrawKind::kBlend, bounds, end);
}

uint32_t CFont::DrawString(CImage* image, int32_t x, int32_t y, const char* text, plat::Rect* bounds,
                           plat::Point* end) {
  return DrawWith(image, x, y, text, DrawKind::kCompose, bounds, end);
}

uint32_t CFont::DrawTextWithAlpha(CImage* image, int32_t x, int32_t y, const char* text, plat::Rect* bounds,
                                  plat::Point* end) {
  if (image != nullptr && image->GetBitsPerPixel() != 32) return 1;
  return DrawWith(image, x, y, text, DrawKind::kAlpha, bounds, end);
}

uint32_t CFont::DrawWith(CImage* image, int32_t x, int32_t y, const char* text, DrawKind kind, plat::Rect* bounds,
                         plat::Point* end) {
  if (!face_ || image == nullptr || image->GetPixels() == nullptr) return 1;
  plat::Rect touched{x, y, x, y};
  const int32_t size = std::abs(logical_font_.height);
  const uint8_t bold = Bold() ? 1 : 0;
  const TextSteps steps = TurnedSteps(true);
  if (kind == DrawKind::kAlpha && decoration != 0 && text != nullptr) {
    // The whole text box takes the colour under the decoration before any glyph.
    TextSize measured;
    int32_t offset_x = 0;
    int32_t offset_y = 0;
    if (MeasureText(text, &measured, &offset_x, &offset_y, 1, nullptr) > 0) {
      plat::Rect box = GetRotatedBounds(offset_x, offset_y, measured.cx, measured.cy);
      box = plat::Rect{box.left + x, box.top + y, box.right + x, box.bottom + y};
      const Rgb& fill = decoration == 1 ? text_color : decoration_color;
      image->FillRect(fill.red, fill.green, fill.blue, &box);
    }
  }
  plat::Point line_start{x, y};
  plat::Point pen = line_start;
  for (const char* p = text == nullptr ? "" : text;;) {
    const TextChar next = NextTextChar(p);
    if (next.kind == TextCharKind::kEnd) break;
    if (next.kind == TextCharKind::kNewLine) {
      line_start = plat::Point{line_start.x + steps.line.x, line_start.y + steps.line.y};
      pen = line_start;
      continue;
    }
    const uint8_t custom = next.kind == TextCharKind::kCustom ? 1 : 0;
    CharGlyphs glyphs;
    glyphs.plain = HoldGlyph(next.code, size, 0, bold, custom);
    if (glyphs.plain == nullptr) continue;
    if (decoration == 2) glyphs.outline = HoldGlyph(next.code, size, 1, bold, custom);
    const bool skip = decoration == 2 && glyphs.outline == nullptr && kind != DrawKind::kAlpha;
    if (!skip) {
      if (kind == DrawKind::kAlpha) {
        DrawCharWithAlpha(*image, glyphs, pen, steps.shadow, touched);
      } else {
        DrawCharBlended(*image, glyphs, pen, steps.shadow, kind == DrawKind::kCompose, touched);
      }
      pen = plat::Point{pen.x + glyphs.plain->advance_x, pen.y + glyphs.plain->advance_y};
    }
    if (custom == 0) {
      CGlyph::Release(glyphs.plain);
      CGlyph::Release(glyphs.outline);
    }
  }
  if (bounds != nullptr) *bounds = touched;
  if (end != nullptr) *end = pen;
  return 0;
}

// Fetching a character's outline glyph may evict its plain glyph from a small cache: the
// drawer holds a reference on each cached glyph until the character is drawn. A glyph made
// without a cache is the drawer's alone; a custom glyph stays its set's.
CGlyph* CFont::HoldGlyph(uint32_t code, int32_t size, uint8_t outline, uint8_t bold, uint8_t custom) {
  CGlyph* glyph = GetGlyph(code, size, outline, bold, logical_font_.italic, custom);
  if (glyph != nullptr && custom == 0 && glyph_cache_.limit() != 0) ++glyph->extra_references;
  return glyph;
}

void CFont::DrawCharBlended(CImage& image, const CharGlyphs& glyphs, plat::Point pen, plat::Point shadow,
                            bool compose, plat::Rect& bounds) {
  const CGlyph& plain = *glyphs.plain;
  const bool threshold = glyph_format_ == 0 && !compose;
  const auto colour_blend = [&](const CGlyph& glyph, plat::Point at, uint32_t colour) {
    plat::Rect drawn;
    const GlyphMask mask = MaskOf(glyph);
    const bool done = threshold ? ThresholdColour(image, mask, at.x, at.y, colour, &drawn)
                      : compose ? ComposeColour(image, mask, at.x, at.y, colour, 255, &drawn)
                                : BlendColour(image, mask, at.x, at.y, colour, 255, &drawn);
    return done ? drawn : plat::Rect{};
  };
  if (HasInk(glyphs.outline)) {
    Grow(bounds, colour_blend(*glyphs.outline, At(pen, *glyphs.outline), PackRgb(decoration_color)));
  }
  if (!HasInk(&plain)) return;
  if (decoration == 1) Grow(bounds, colour_blend(plain, At(pen, plain, shadow), PackRgb(decoration_color)));
  const plat::Point at = At(pen, plain);
  plat::Rect face;
  const GradientSpan span = GradientSpanFor(plain);
  if (span.mode == GradientMode::kNone) {
    face = colour_blend(plain, at, PackRgb(text_color));
  } else {
    const GlyphRamp ramp{gradient_ramp_.GetWords() + span.first, span.extent, span.mode == GradientMode::kColumns};
    const GlyphMask mask = MaskOf(plain);
    const bool done = threshold ? ThresholdRamp(image, mask, at.x, at.y, ramp, &face)
                      : compose ? ComposeRamp(image, mask, at.x, at.y, ramp, 255, &face)
                                : BlendRamp(image, mask, at.x, at.y, ramp, 255, &face);
    if (!done) face = plat::Rect{};
  }
  if (decoration != 2) Grow(bounds, face);
}

void CFont::DrawCharWithAlpha(CImage& image, const CharGlyphs& glyphs, plat::Point pen, plat::Point shadow,
                              plat::Rect& bounds) {
  const CGlyph& plain = *glyphs.plain;
  const GlyphMask mask = MaskOf(plain);
  const plat::Point at = At(pen, plain);
  const GradientSpan span = GradientSpanFor(plain);
  const GlyphRamp ramp{span.mode == GradientMode::kNone ? nullptr : gradient_ramp_.GetWords() + span.first,
                       span.extent, span.mode == GradientMode::kColumns};
  const auto to_alpha = [&](const CGlyph& glyph, plat::Point where, AlphaMode mode) {
    plat::Rect drawn;
    if (CoverageToAlpha(image, MaskOf(glyph), where.x, where.y, mode, &drawn)) Grow(bounds, drawn);
  };
  if (decoration == 0) {
    if (!HasInk(&plain)) return;
    if (ramp.entries != nullptr) {
      FillRamp(image, mask, at.x, at.y, ramp, nullptr);
    } else {
      const plat::Rect box{at.x, at.y, at.x + plain.width, at.y + plain.height};
      image.FillRect(text_color.red, text_color.green, text_color.blue, &box);
    }
    to_alpha(plain, at, AlphaMode::kCopy);
    return;
  }
  const CGlyph* outline = glyphs.outline;
  const plat::Point shadow_at = At(pen, plain, shadow);
  if (HasInk(&plain)) {
    if (outline == nullptr) ColourUnderCoverage(image, mask, shadow_at.x, shadow_at.y, PackRgb(decoration_color), nullptr);
    if (ramp.entries != nullptr) {
      if (glyph_format_ == 0) {
        ThresholdRamp(image, mask, at.x, at.y, ramp, nullptr);
      } else {
        BlendRamp(image, mask, at.x, at.y, ramp, 255, nullptr);
      }
    } else if (glyph_format_ == 0) {
      ThresholdColour(image, mask, at.x, at.y, PackRgb(text_color), nullptr);
    } else {
      BlendColour(image, mask, at.x, at.y, PackRgb(text_color), 255, nullptr);
    }
    if (outline == nullptr) to_alpha(plain, shadow_at, AlphaMode::kCombine);
  }
  if (HasInk(outline)) {
    to_alpha(*outline, At(pen, *outline), AlphaMode::kCombine);
  } else if (outline == nullptr && HasInk(&plain)) {
    to_alpha(plain, at, AlphaMode::kCombine);
  }
}
