// The built-in functions that draw text into display objects' images and read the installed
// fonts (ids 189 to 195). A font handle of 0 draws with the default font.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] display object, args[1] x, args[2] y, args[3] format, args[4] onward its values: the
// text formatted (at most 511 bytes) and drawn with the default plain font through the image's
// device context; the drawer's status; -1 without an image.
std::uint32_t NativeDrawTextFormat(const NativeArgs& args);
// args[0] display object, args[1] x, args[2] y, args[3] text, args[4] font: the drawer's status;
// -1 without an image. Through the image's device context with a plain font; blended; composed
// over the image's own alpha with a glyph font.
std::uint32_t NativeDrawTextGdi(const NativeArgs& args);
std::uint32_t NativeDrawText(const NativeArgs& args);
std::uint32_t NativeDrawTextLayout(const NativeArgs& args);
// args[0] filter flags (1 TrueType only, 2 fixed pitch only, 4 no vertical faces, 8 only
// args[1]'s character set): the installed fonts listed anew; their number.
std::uint32_t NativeEnumerateFonts(const NativeArgs& args);
// args[0] index, args[1] destination (32 bytes at most): the face name of that listed font: 1;
// an empty text and 0 when the index is not below the count.
std::uint32_t NativeGetFontFace(const NativeArgs& args);
// args[0] index: the address of that listed font's face name; 0 when there is none.
std::uint32_t NativeGetFontFaceText(const NativeArgs& args);
