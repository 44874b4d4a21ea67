// The plain font: whole lines are measured and drawn by the platform's text output onto a
// device context, with an optional solid background, a shadow or a one-pixel outline.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/font_face.h"
#include "platform/gdi.h"
#include "ui/font_base.h"

class CGdiFont : public CFontBase {
 public:
  // `open_face` makes the faces (the installed fonts unless a test gives its own).
  explicit CGdiFont(plat::FontFaceFactory open_face = plat::OpenFontFace);
  ~CGdiFont() override;

  bool IsGlyphFont() const override { return false; }
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

  void SetBackground(uint8_t transparent, uint8_t red, uint8_t green, uint8_t blue);
  // 0, or 1 without a face or a text.
  uint32_t RenderText(plat::DeviceContext& dc, int32_t x, int32_t y, const char* text);

  bool transparent_background() const { return transparent_ != 0; }
  bool HasFace() const { return face_ != nullptr; }

 private:
  plat::FontFaceFactory open_face_;
  std::unique_ptr<plat::IFontFace> face_;
  uint8_t transparent_ = 1;
};
