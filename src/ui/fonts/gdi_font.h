// The plain font: whole lines are measured and drawn by the platform's text output onto a
// device context, with an optional solid background, a shadow or a one-pixel outline.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/fonts/font_face.h"
#include "platform/window/gdi.h"
#include "ui/fonts/font_base.h"

class CGdiFont : public CFontBase {
 public:
  // `open_face` makes the faces (the installed fonts unless a test gives its own).
  explicit CGdiFont(plat::FontFaceFactory open_face = plat::OpenFontFace);
  ~CGdiFont() override;

  bool IsGlyphFont() const override { return false; }
  bool IsReady() const override { return HasFace(); }
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
  // Both render the whole text into a scratch mask first (four times as large for the grey
  // glyph formats) and give 2 when the mask cannot be made, 3 when rendering fails. `bounds`
  // gets the measured text box at its place; `end` is left as it is.
  uint32_t DrawText(CImage* image, int32_t x, int32_t y, const char* text, plat::Rect* bounds,
                    plat::Point* end) override;
  uint32_t DrawTextWithAlpha(CImage* image, int32_t x, int32_t y, const char* text, plat::Rect* bounds,
                             plat::Point* end) override;

  void SetBackground(uint8_t transparent, uint8_t red, uint8_t green, uint8_t blue);
  // 0, or 1 without a face or a text.
  uint32_t RenderText(plat::DeviceContext& dc, int32_t x, int32_t y, const char* text);

  bool transparent_background() const { return transparent_ != 0; }
  bool HasFace() const { return face_ != nullptr; }

 private:
  // A copy of this font at `scale` times its size whose text and decoration take `ink`.
  std::unique_ptr<CGdiFont> MakeScratch(int32_t scale, const Rgb& ink) const;
  // The measured text box at (x, y), the scratch font and the mask, made for both drawers.
  struct ScratchText;
  // 0 ready; 1 nothing to draw; 2 no mask; 3 no scratch font.
  uint32_t PrepareScratch(int32_t x, int32_t y, const char* text, ScratchText& out);

  plat::FontFaceFactory open_face_;
  std::unique_ptr<plat::IFontFace> face_;
  uint8_t transparent_ = 1;
};
