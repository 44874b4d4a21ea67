// The engine's own text font: characters become glyphs of the platform's font faces, kept in a
// glyph cache. Bold characters are measured on a normal-weight twin face and widened and
// thickened here.
#pragma once

#include <cstdint>
#include <memory>

#include "gfx/image_operations/color_ramp.h"
#include "platform/fonts/font_face.h"
#include "ui/fonts/font_base.h"
#include "ui/fonts/glyph_cache.h"
#include "ui/fonts/glyph_set.h"

// Set: bold glyphs that the face drew directly keep the face's own weight (oversampled ones are
// still thickened here).
extern uint8_t g_GdiBoldOnly;

// How the colour gradient of a font runs at its angle: down the rows when upright, across the
// columns in vertical writing, not at all at other angles.
enum class GradientMode : uint8_t { kNone, kRows, kColumns };

// The ramp entries a glyph takes: `extent` rows or columns from entry `first`.
struct GradientSpan {
  GradientMode mode = GradientMode::kNone;
  uint32_t first = 0;
  uint32_t extent = 0;
};

class CFont : public CFontBase {
 public:
  // `open_face` makes the faces (the installed fonts unless a test gives its own).
  explicit CFont(plat::FontFaceFactory open_face = plat::OpenFontFace);
  ~CFont() override;

  bool IsGlyphFont() const override { return true; }
  bool IsReady() const override { return face_ != nullptr; }
  void ReleaseGdiObjects() override;
  uint32_t SetFont(int32_t size, uint8_t bold, uint8_t italic, const char* face_name) override;
  uint32_t CreateGdiFont() override;
  uint32_t SetFaceNameIfChanged(const char* face_name) override;
  uint32_t SetSize(int32_t size) override;
  uint32_t SetBoldItalic(uint8_t bold, uint8_t italic) override;
  uint32_t SetAngle(int32_t angle) override;
  void SetGlyphFormat(uint8_t format) override;
  int32_t MeasureText(const char* text, TextSize* size, int32_t* offset_x, int32_t* offset_y,
                      uint8_t with_decoration, int32_t* char_count) override;
  uint32_t DrawText(CImage* image, int32_t x, int32_t y, const char* text, plat::Rect* bounds,
                    plat::Point* end) override;
  uint32_t DrawTextWithAlpha(CImage* image, int32_t x, int32_t y, const char* text, plat::Rect* bounds,
                             plat::Point* end) override;
  // Composes the text over a 32-bit image with alpha (other depths stay as they are).
  uint32_t DrawString(CImage* image, int32_t x, int32_t y, const char* text, plat::Rect* bounds, plat::Point* end);

  // Colours are 0x00RRGGBB. The ramp has one entry per pixel of the character height; a ramp
  // that cannot be built switches the gradient off and gives the ramp's error.
  uint32_t SetGradient(uint8_t on, uint32_t top_colour, uint32_t bottom_colour, uint8_t rebuild);
  bool gradient_on() const { return gradient_on_ != 0; }
  uint32_t gradient_top() const { return gradient_top_; }
  uint32_t gradient_bottom() const { return gradient_bottom_; }
  const CColorRamp& gradient_ramp() const { return gradient_ramp_; }
  GradientMode gradient_mode() const;
  // The part of the ramp a glyph at its offset colours (mode kNone when no gradient applies).
  GradientSpan GradientSpanFor(const CGlyph& glyph) const;

  void SetEdgeParams(int32_t strength, int32_t radius);
  uint32_t LoadCustomGlyphs(const char* file_name, int32_t count, int32_t cell_width, int32_t cell_height,
                            uint32_t flags);

  // A cached glyph stays the cache's; with the cache off the caller releases it; a custom glyph
  // belongs to the glyph set. Null when the character cannot be made.
  CGlyph* GetGlyph(uint32_t code, int32_t size, uint8_t outline, uint8_t bold, uint8_t italic, uint8_t custom);

  CGlyphCache& glyph_cache() { return glyph_cache_; }
  int32_t edge_strength() const { return edge_strength_; }
  int32_t edge_radius() const { return edge_radius_; }
  int32_t edge_normaliser() const { return edge_normaliser_; }
  int32_t ascent_offset_x() const { return ascent_offset_x_; }
  int32_t ascent_offset_y() const { return ascent_offset_y_; }
  // How many times a face was made (each creation makes the main face once).
  uint32_t creation_count() const { return creation_count_; }

 private:
  bool Bold() const { return logical_font_.weight >= 700; }
  void ClearCacheIfOn();
  void StoreHeight(int32_t height);
  plat::FontRequest RequestWithWeight(int32_t weight) const;
  int32_t CharacterWidth(uint16_t code, bool bold);
  std::unique_ptr<CGlyph> RenderGlyph(uint32_t code, int32_t size, bool outline, bool bold);

  // The glyphs of one character: the plain one and, for decoration 2, its outline (may be null).
  struct CharGlyphs {
    CGlyph* plain = nullptr;
    CGlyph* outline = nullptr;
  };
  // GetGlyph for the drawers, with a reference that the drawer releases after the character.
  CGlyph* HoldGlyph(uint32_t code, int32_t size, uint8_t outline, uint8_t bold, uint8_t custom);
  enum class DrawKind : uint8_t { kBlend, kCompose, kAlpha };
  void DrawCharBlended(CImage& image, const CharGlyphs& glyphs, plat::Point pen, plat::Point shadow, bool compose,
                       plat::Rect& bounds);
  void DrawCharWithAlpha(CImage& image, const CharGlyphs& glyphs, plat::Point pen, plat::Point shadow,
                         plat::Rect& bounds);
  // The walk all three drawers share: checks, markup, glyphs, pen and end point.
  uint32_t DrawWith(CImage* image, int32_t x, int32_t y, const char* text, DrawKind kind, plat::Rect* bounds,
                    plat::Point* end);

  plat::FontFaceFactory open_face_;
  std::unique_ptr<plat::IFontFace> face_;
  std::unique_ptr<plat::IFontFace> twin_face_;
  CGlyphCache glyph_cache_;
  std::shared_ptr<CGlyphSet> glyph_set_;
  uint32_t gradient_top_ = 0xFFFFFF;
  uint32_t gradient_bottom_ = 0;
  CColorRamp gradient_ramp_;
  uint8_t gradient_on_ = 0;
  int32_t edge_strength_ = 1024;
  int32_t edge_radius_ = 2;
  int32_t edge_normaliser_ = 1872;
  int32_t ascent_offset_x_ = 0;
  int32_t ascent_offset_y_ = 0;
  uint32_t creation_count_ = 0;
};
