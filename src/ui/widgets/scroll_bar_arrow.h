// The arrow button at each end of a scroll bar: a label button whose face is a triangle, which
// steps its bar on the press and then again after 500 ms and every 100 ms while it is held.
#pragma once

#include <cstdint>

#include "ui/widgets/image_button.h"

class CBarBase;

class CScrollBarArrow : public CImageButton {
 public:
  enum Direction : uint8_t { kUp, kDown, kLeft, kRight };

  CScrollBarArrow(CBarBase& bar, Direction direction, uint32_t glyph_colour)
      : bar_(bar), direction_(direction), glyph_colour_(glyph_colour) {}

  bool OnMouseButton(int32_t x, int32_t y, CMouse* mouse) override;
  // Steps the bar, then fires as a button.
  bool Fire() override;
  bool IsForward() const { return direction_ == kDown || direction_ == kRight; }

 protected:
  void DrawLabel(CImage& image, const plat::Rect& rect, bool disabled) override;

 private:
  void DrawTriangle(CImage& image, const plat::Rect& rect, uint32_t colour) const;

  CBarBase& bar_;
  Direction direction_;
  uint32_t glyph_colour_;
  uint32_t repeat_time_ = 0;
};
