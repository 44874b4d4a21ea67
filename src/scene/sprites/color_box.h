// A drawable plain rectangle of colour: filled at its opacity, or added to or subtracted from
// what lies below it.
#pragma once

#include <cstdint>

#include "scene/drawables/drawable.h"

class CColorBox : public CDrawable {
 public:
  // Blend modes.
  static constexpr uint8_t kFill = 0;
  static constexpr uint8_t kAdd = 2;
  static constexpr uint8_t kSubtract = 3;
  // Draw status beside 0.
  static constexpr uint32_t kNoTarget = 1;
  static constexpr uint32_t kUnpaintableMode = 2;
  static constexpr uint32_t kColourFailed = 3;

  CColorBox() { Reset(); }

  // Opacity 255, fill, natural size and override 0.
  void Reset() override;
  // Reset, then the natural size, position, colour (low 24 bits) and opacity (top byte); 0.
  uint32_t SetBox(int32_t width, int32_t height, uint32_t argb, int32_t x, int32_t y);
  uint32_t GetColor() const { return colour_; }
  // False when the low 24 bits are the colour already.
  bool SetColor(uint32_t rgb);
  // False when neither opacity nor colour changes.
  bool SetColorArgb(uint32_t argb);
  // The natural size; the override is cleared. False for a negative side or an unchanged size.
  bool Resize(int32_t width, int32_t height);
  bool ResizeAndPosition(int32_t width, int32_t height, int32_t x, int32_t y);

  int32_t GetWidth() const override { return width_; }
  int32_t GetHeight() const override { return height_; }
  int32_t GetDrawableType() const override { return kTypeColorBox; }
  // 1 above 3. Mode 1 is accepted but paints nothing.
  uint32_t SetBlendMode(uint8_t mode) override;
  bool SetPosition(int32_t x, int32_t y) override;
  // The shown size; a side of 0 takes the natural one.
  bool SetSize(int32_t width, int32_t height) override;
  bool InvalidateLocalRect(plat::Rect* rect) override;
  bool HitTest(int32_t x, int32_t y, bool exact) const override;
  bool Overlaps(const CDrawable* other) const override;
  const plat::Rect* GetBoundsPtr() const override { return &bounds_; }
  // 0 without painting when disabled, transparent or empty; 1 without target; 2 for mode 1;
  // 3 when the colour operation fails.
  uint32_t Draw(CImage* target, const plat::Rect* clip, plat::Rect* out) override;
  uint32_t DrawRect(CImage* target, const plat::Rect& rect) override;

 private:
  int32_t ShownWidth() const { return override_width_ != 0 ? override_width_ : width_; }
  int32_t ShownHeight() const { return override_height_ != 0 ? override_height_ : height_; }
  void UpdateBounds();
  // Paints the colour over the area by the blend mode.
  uint32_t Paint(CImage& target, const plat::Rect& area) const;

  uint32_t colour_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t override_width_ = 0;
  int32_t override_height_ = 0;
  plat::Rect bounds_;
};
