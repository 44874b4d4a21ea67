// The built-ins that hand whole-image and multi-image work to the pixel-routine library (ids 391
// to 401). Each passes its words to one library wrapper of the image in the order the row gives
// them and returns the wrapper's status (0 done, 1 no pixels or no source, 2 not 32 bits or no
// library, 3 the routine failed), or -1 when an object gives no image; the whole-image routines
// 397 to 399 answer 1 done and 0 otherwise.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] destination, args[1] source, args[2] mode, args[3] filter, args[4] level byte, args[5]
// flag, args[6] width, args[7] height, args[8] x, args[9] y, args[10..13] source rectangle;
// args[6] = 65535: at (0, 0) in the source rectangle's size, the whole source; args[10] = 65535:
// the whole source.
std::uint32_t NativeBlitLibStretchBlend(const NativeArgs& args);
// args[2..7] the matrix (integers; 393: 16.16 fixed point), args[8] mode, args[9] filter,
// args[10] level byte, args[11], args[12] flags, args[13] fill colour, args[14..17] the source
// rectangle, args[18..21] the fill area; args[14] = 65535 passes neither, args[18] = 65535 only
// the first.
std::uint32_t NativeBlitLibAffine(const NativeArgs& args);
std::uint32_t NativeBlitLibAffineFixed(const NativeArgs& args);
// args[0] object, args[1], args[2] the two strengths, args[3] flag, args[4..7] rectangle
// (65535: the whole image).
std::uint32_t NativeImageLibSoften(const NativeArgs& args);
// args[0] object, args[1..4] rectangle (65535: the whole image).
std::uint32_t NativeImageMirrorHorizontal(const NativeArgs& args);
std::uint32_t NativeImageMirrorVertical(const NativeArgs& args);
// args[0] object, args[1] flag (set: the alpha bytes inverted; clear: the colour bits).
std::uint32_t NativeImageLibSwitchOp(const NativeArgs& args);
// args[0] object, args[1] value: the brightness level (A) or the alpha level (B).
std::uint32_t NativeImageLibValueOpA(const NativeArgs& args);
std::uint32_t NativeImageLibValueOpB(const NativeArgs& args);
// args[0] destination, args[1] first and args[2] second source, args[3] a byte passed through,
// args[4] level byte, then the pairs destination, size, first source, second source from
// args[5]: the cross-fade.
std::uint32_t NativeBlitLibTwoSources(const NativeArgs& args);
// args[0] destination, args[1], args[2] the sources, args[3] the 8-bit rule image, args[4] level
// byte, args[5] vagueness, args[6] a byte passed through, then the pairs destination, size,
// first source, second source, rule from args[7]: the rule transition. A pair whose first word
// is 65535 is (0, 0), and so is every pair after it.
std::uint32_t NativeBlitLibThreeSources(const NativeArgs& args);
