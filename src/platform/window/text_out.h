// Text drawn straight into a device context, as GDI's text output draws with a font that is not
// smoothed: every inked pixel of the face's one-bit glyphs takes the text colour.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/fonts/font_face.h"
#include "platform/window/gdi.h"

namespace plat {

struct TextOutOptions {
  uint32_t text_colour = 0;  // 0x00RRGGBB
  // Fills the text's cell with the background colour before the glyphs are drawn.
  bool opaque = false;
  uint32_t background = 0xFFFFFF;
  // Lines along the whole text under the baseline and through the characters, in its colour.
  bool underline = false;
  bool strike_out = false;
  // The face's angle in tenths of a degree, counter-clockwise: the line and its cell turn about
  // the cell's top-left corner.
  int32_t angle = 0;
};

// One line of Shift-JIS text whose cell has its top-left corner at (x, y); clipped to the
// context's pixels. False when the context has no pixels.
bool TextOut(DeviceContext& dc, IFontFace& face, int32_t x, int32_t y, std::string_view sjis,
             const TextOutOptions& options);

// Fills a rectangle with a 0x00RRGGBB colour, as a solid brush does; clipped to the pixels.
bool FillRect(DeviceContext& dc, const Rect& rect, uint32_t colour);

}  // namespace plat
