// The text sprite (surface kind 1): a line of text rendered with a font into a display surface
// just large enough for it. It keeps the text, its font and its colour key, so that it can
// render itself again after the display surfaces were lost.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "gfx/display/ddraw_surface_image.h"
#include "ui/fonts/font_base.h"

class CFont;
class CGdiFont;
class CImage;
class CScreenManager;

// The box a line of text takes with the font (decoration included), relative to where it is
// drawn from; a glyph font's turned text takes its turned box. False for a font of neither kind.
bool MeasureTextBox(CFontBase& font, const char* text, plat::Rect& box);

class CDDrawSprite : public CDDrawSurfaceImage {
 public:
  // A device given becomes the display of every surface object given none (g_SpriteDevice), a
  // font given the default font (g_DefaultFont).
  explicit CDDrawSprite(CScreenManager* device = nullptr, CFontBase* font = nullptr);
  ~CDDrawSprite() override = default;

  ESurfaceKind GetKind() const override { return ESurfaceKind::kDDrawSprite; }
  // 0 (also without a key); 1 no surface; 2 the surface refused.
  uint32_t ClearColorKey() override;
  // 0 (also without a surface, or with `only_if_lost` when it was not lost); 1 the text cannot
  // be rendered again; 5 or 6 the key from a colour or from a pixel cannot be set again.
  uint32_t Restore(bool only_if_lost) override;

  // Keeps the text (and the font, when one is given; none: the default font) and renders it.
  // 0; 1 no display device or no text; 2 no memory for the text; otherwise the rendering's
  // status + 2: 3 no font, 3 or 4 the surface cannot be made, 5 .. 13 drawing failed.
  uint32_t SetText(const char* text, CFontBase* font);
  // Drops the surface, the text and the keys; the font stays.
  void Release();

  const std::optional<std::string>& GetText() const { return text_; }
  CFontBase* GetFont() const { return font_.Get(); }

 private:
  // 0; 1 or 2 the surface cannot be made; 3 no font or no text; 4 .. 10 drawing failed (its
  // status + 3); 11 an unexpected failure. A failure releases the sprite.
  uint32_t Render();
  uint32_t RenderWith(CFontBase& font);
  // The drawings of each kind of font at (x, y) of the surface: 0 or their own status.
  uint32_t DrawGdi(CGdiFont& font, int32_t x, int32_t y);
  uint32_t DrawGlyphs(CFont& font, int32_t x, int32_t y);
  // Copies the image onto the surface through their device contexts: 0; 3 or 4 the surface's
  // context cannot be had or given back.
  uint32_t CopyToSurface(CImage& image);

  std::optional<std::string> text_;
  FontRef font_;
};
