// The built-ins that run a colour filter over a rectangle of one image (ids 351 to 356 and 378
// to 385). args[0] is the object (ids 356: args[1]), read as the software image behind it; the
// rectangle is absent (the whole image) when its first word is 65535. A handle that gives no
// image returns the row's none value.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[1] level (16 bits, below 511), args[2..5] rectangle: 1 done, 0 not; 0 none.
std::uint32_t NativeImageBrightness(const NativeArgs& args);
// args[1..3] red, green, blue, args[4] level (bytes), args[5..8] rectangle: status; -1 none.
std::uint32_t NativeImageFillColor(const NativeArgs& args);
// args[1..3] red, green, blue (bytes), args[4..7] rectangle: status; -1 none.
std::uint32_t NativeImageAddColor(const NativeArgs& args);
std::uint32_t NativeImageSubtractColor(const NativeArgs& args);
// args[1] colour, args[2] level byte, args[3] flag, args[4..7] rectangle: the pixel library's
// status (level 0 draws nothing and gives 0); -1 none.
std::uint32_t NativeImageLibBlendColor(const NativeArgs& args);
// args[0] mode byte, args[1] destination, args[2] the 8-bit mask, args[3..6] level, red, green,
// blue (bytes), args[7] x, args[8] y, args[9..12] rectangle; args[7] = 65535 is (0, 0) with the
// whole mask. Status; -1 none.
std::uint32_t NativeImageBlendMasked(const NativeArgs& args);
// args[1..4] rectangle: status; -1 none.
std::uint32_t NativeImageGrayscale(const NativeArgs& args);
// args[1..3] red, green, blue scales, args[4..6] offsets (16 bits, signed), args[7..10]
// rectangle: status; -1 none.
std::uint32_t NativeImageAdjustRgb(const NativeArgs& args);
// args[1] mode byte (0 colour bits, 1 all bits, other modes the alpha byte), args[2..5]
// rectangle: status; -1 none.
std::uint32_t NativeImageInvert(const NativeArgs& args);
// args[1] mode byte, args[2..5] rectangle: 0 done, 1 without pixels, else the kernel's failure
// + 1; -1 none.
std::uint32_t NativeImageSoften(const NativeArgs& args);
// args[1] block size, args[2] align mode byte, args[3..6] rectangle: status; -1 none.
std::uint32_t NativeImageMosaic(const NativeArgs& args);
// args[1] direction byte, args[2..4] and args[5..7] the two packed colours, args[8..11]
// rectangle: status; -2 none.
std::uint32_t NativeImageGradient(const NativeArgs& args);
// args[1] level (16 bits, below 512), args[2..5] rectangle: 1 done, 0 not; 0 none.
std::uint32_t NativeImageAdjustAlpha(const NativeArgs& args);
// args[1] scale (16 bits, 0 to 256), args[2] offset (16 bits, signed), args[3..6] rectangle:
// 1 done, 0 not; 0 none.
std::uint32_t NativeImageScaleAlpha(const NativeArgs& args);
