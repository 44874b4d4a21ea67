// Text as pictures: an image made from a string, and strings drawn into an image with the
// changed area recorded in its dirty region. They are the image's own text operations, kept
// here beside the fonts they draw with. A null font means g_DefaultFont.
#pragma once

#include <cstdint>

#include "gfx/images/image.h"
#include "ui/fonts/font_base.h"

namespace text_image {

// Makes `image` (32 bits, with the create flags) just large enough for the text. 0; 1 no text;
// 2 no font; 3 the image cannot be made; 4 drawing failed (the image is released again); 5 the
// font is of neither kind.
uint32_t CreateFromText(CImage& image, const char* text, CFontBase* font, uint32_t flags);

// The font's DrawText. 0; 1 no pixels or no text; 2 no font; otherwise the font's error + 2.
uint32_t DrawText(CImage& image, int32_t x, int32_t y, const char* text, CFontBase* font);
// CFont::DrawString. 0; 1 no pixels or no text; 2 no font or not a glyph font; else error + 2.
uint32_t DrawString(CImage& image, int32_t x, int32_t y, const char* text, CFontBase* font);
// The plain font's text output straight onto the image's device context. 0; 1 no device
// context or no text; 2 no font or not a plain font; 3 rendering failed; 4 no line measured.
uint32_t DrawTextGdi(CImage& image, int32_t x, int32_t y, const char* text, CFontBase* font);

}  // namespace text_image
