// The text object (surface kind 3): a line of text drawn with a font into a texture surface of a
// chosen format, so that the textured quads can show text with the device's blending. On a
// texture with alpha the text's coverage becomes the alpha; a text wider or taller than the
// device takes is drawn at full size and scaled into the texture.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "gfx/display/d3d_texture.h"
#include "gfx/display/ddraw_surface_image.h"
#include "pixel/formats/pixel_format_codes.h"
#include "ui/fonts/font_base.h"

class CFont;
class CGdiFont;
class CScreenManager;

class CTextObject : public CD3DTexture, public CDDrawSurfaceImage {
 public:
  // A device given becomes the display of every texture object given none (g_DrawObjectDevice).
  explicit CTextObject(CScreenManager* device = nullptr);
  ~CTextObject() override { Reset(); }

  // Keeps the text (and the font, for this object only; none: the default font) and renders it
  // into a texture of the EPixelFormat code. 0; 1 no display or texture-object device, or no
  // text; 2 no memory for the text; otherwise the rendering's status + 2. A failure leaves the
  // object empty.
  uint32_t SetText(uint32_t format, const char* text, CFontBase* font);
  // 0; 1 no text or font; 2 no texture of that format; the texture's creation failure + 2; the
  // drawing's failure + 4 (1 .. 8); 13 the scaling failed or anything unexpected.
  uint32_t Render();
  // Drops the text, the surface and the keys; the sizes and format become 0.
  void Reset();
  // 0 (also without a surface, or with `only_if_lost` when it was not lost); 1 the text cannot
  // be rendered again. The key is the one rendering sets.
  uint32_t Restore(bool only_if_lost) override;

  ESurfaceKind GetKind() const override { return ESurfaceKind::kTextObject; }
  // 0 (also without a key); 1 no surface; 2 the surface refused.
  uint32_t ClearColorKey() override;
  int32_t GetTextureWidth() const override { return width_; }
  int32_t GetTextureHeight() const override { return height_; }
  uint32_t SetColorKey(uint8_t r, uint8_t g, uint8_t b) override { return SetColorKeyRgb(r, g, b); }
  uint32_t SetColorKeyAt(int32_t x, int32_t y) override { return SetColorKeyFromPixel(x, y); }
  uint32_t GetColorKeyPixel() const override { return GetColorKey(); }
  plat::Surface* GetSurface() const override { return surface_.get(); }
  uint32_t GetPixelFormat() const override { return format_; }
  int32_t GetImageWidth() const override { return text_width_; }
  int32_t GetImageHeight() const override { return text_height_; }

  const std::optional<std::string>& GetText() const { return text_; }

 private:
  struct Target {
    plat::Surface& surface;
    int32_t width;
    int32_t height;
  };
  uint32_t RenderWith(CFontBase& font);
  // Draws the text at (x, y) of the target: 0, or the drawing's status.
  uint32_t DrawGdi(CGdiFont& font, const Target& target, int32_t x, int32_t y);
  uint32_t DrawGlyphs(CFont& font, const Target& target, int32_t x, int32_t y);
  // The text's colours and coverage (as alpha) into an alpha texture.
  uint32_t DrawWithAlpha(CFontBase& font, const Target& target, int32_t x, int32_t y);
  // The key of the background colour, or none.
  uint32_t KeyBackground(bool keyed, const Rgb& background);
  bool HasAlpha() const { return format_ >= kPixelFormatArgb1555; }

  std::optional<std::string> text_;
  FontRef font_;
  uint32_t format_ = 0;
  int32_t text_width_ = 0;
  int32_t text_height_ = 0;
};
