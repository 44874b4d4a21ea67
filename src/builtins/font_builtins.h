// The built-in functions over the fonts the scripts make (ids 166 to 188): making and deleting
// them in the screen's font list, the default font, their settings and their measurements.
// args[0] is a font handle; where a row answers -1 and -2, -1 stands for no font (0 or a handle
// that names none) and -2 for a font of the other kind (kind 0 the plain font, kind 1 the glyph
// font).
#pragma once

#include <cstdint>

#include "script/native_args.h"

// Deletes every font of the screen's list: 0.
std::uint32_t NativeDestroyFonts(const NativeArgs& args);
// args[0] face name, args[1] size: a new plain font (its height -abs(size)), neither bold nor
// italic, in the screen's list: its handle; 0 when it cannot be made.
std::uint32_t NativeCreateGdiFont(const NativeArgs& args);
// The same with a glyph font.
std::uint32_t NativeCreateGlyphFont(const NativeArgs& args);
// args[0] address of a font-handle word: 0 deleted (the word cleared); 1 a zero address or word;
// 2 a handle that names no font of the screen's list (the word kept).
std::uint32_t NativeDeleteFont(const NativeArgs& args);
// args[0] font: it becomes the font text drawing uses when given none: 1; 0 without a font.
std::uint32_t NativeSetDefaultFont(const NativeArgs& args);
// The font's own results; -1 without a font. args[1] face; args[1] size; args[1] bold byte and
// args[2] italic byte; args[1] angle in tenths of a degree.
std::uint32_t NativeFontSetFace(const NativeArgs& args);
std::uint32_t NativeFontSetSize(const NativeArgs& args);
std::uint32_t NativeFontSetStyle(const NativeArgs& args);
std::uint32_t NativeFontSetAngle(const NativeArgs& args);
// These answer 1, or 0 without a font. args[1] glyph format byte (0 one bit, 1 and 2 grey).
std::uint32_t NativeFontSetSwitch(const NativeArgs& args);
// args[1..3] red, green, blue bytes of the text colour.
std::uint32_t NativeFontSetColorA(const NativeArgs& args);
// args[1] decoration (0 none, 1 shadow, 2 outline), args[2] and args[3] the shadow's offset.
std::uint32_t NativeFontSetColorB(const NativeArgs& args);
// args[1..3] red, green, blue bytes of the decoration (shadow or outline) colour.
std::uint32_t NativeFontSetColorC(const NativeArgs& args);
// args[1] transparent byte (plain font only), args[2..4] red, green, blue of the background.
std::uint32_t NativeFontSetBackground(const NativeArgs& args);
// args[1] line spacing in pixels.
std::uint32_t NativeFontSetWord(const NativeArgs& args);
// Plain fonts only (-2 for a glyph font): args[1] underline and args[2] strike-out bytes;
// args[1] quality byte. The font's result.
std::uint32_t NativeFontSetUnderline(const NativeArgs& args);
std::uint32_t NativeFontSetQuality(const NativeArgs& args);
// Glyph fonts only: args[1] the glyph-cache limit (16 bits): 1; 0 without a glyph font.
std::uint32_t NativeFontSetGlyphOption(const NativeArgs& args);
// Glyph fonts only (-2 for a plain font): args[1] display object, args[2] x, args[3] y,
// args[4] text, args[5] byte (non-zero: the colours and the coverage are written as the image's
// alpha, else blended over it): the text drawn turned by the font's angle, the font's status (1
// without an image of pixels).
std::uint32_t NativeFontDrawWithHelper(const NativeArgs& args);
// Glyph fonts only: args[1] on byte, args[2] top colour, args[3] bottom colour (0x00RRGGBB):
// the colour gradient of the text, built for the font's height: 0, or the build's error.
std::uint32_t NativeFontSetEdge(const NativeArgs& args);
// Glyph fonts only: args[1] outline strength, args[2] outline radius: 1; 0 without one.
std::uint32_t NativeFontSetRenderParams(const NativeArgs& args);
// args[1] text, args[2] and args[3] addresses of the width and height, args[4] and args[5]
// addresses (or 0) of the text's offset in that box: the number of lines (0 when nothing was
// measured, nothing written); -1 without a font. The size holds the decoration.
std::uint32_t NativeFontMeasure(const NativeArgs& args);
// As NativeFontMeasure, the box turned by the font's angle: its width, height, left and top.
std::uint32_t NativeFontMeasureRotated(const NativeArgs& args);
