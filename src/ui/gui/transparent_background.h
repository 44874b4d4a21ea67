// Switches a GDI font's background off for one drawing, and back as it was.
#pragma once

#include "ui/fonts/gdi_font.h"

class TransparentBackground {
 public:
  explicit TransparentBackground(CGdiFont& font) : font_(font), was_transparent_(font.transparent_background()) {
    const Rgb& colour = font_.background_color;
    font_.SetBackground(1, colour.red, colour.green, colour.blue);
  }
  ~TransparentBackground() {
    const Rgb& colour = font_.background_color;
    font_.SetBackground(was_transparent_ ? 1 : 0, colour.red, colour.green, colour.blue);
  }
  TransparentBackground(const TransparentBackground&) = delete;
  TransparentBackground& operator=(const TransparentBackground&) = delete;

 private:
  CGdiFont& font_;
  bool was_transparent_;
};
