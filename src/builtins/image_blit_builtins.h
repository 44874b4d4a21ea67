// The built-ins that draw one image onto another (ids 333 to 350, 357 to 377 and 390). Each
// reads its destination and source handles as images, its placement by one of four layouts,
// calls one compositing operation and returns its status, or -1 when either handle gives no
// image.
//   Layout 1: args[0] destination, args[1] source, args[2] x, args[3] y, args[4..7] source
//   rectangle; args[2] = 65535 draws the whole source at (0, 0), args[4] = 65535 the whole
//   source at (x, y).
//   Layout 2: args[2] width, args[3] height, args[4] x, args[5] y, args[6..9] rectangle;
//   args[2] = 65535 draws the whole source at (0, 0) in its own size.
//   Layouts 3 and 4: layouts 1 and 2 moved on by one word, args[2] a byte (a mirror mode or a
//   level).
#pragma once

#include <cstdint>

#include "script/native_args.h"

// Layout 1.
std::uint32_t NativeBlitCopy(const NativeArgs& args);
std::uint32_t NativeBlitAlphaBlend(const NativeArgs& args);
std::uint32_t NativeBlitCopyAlphaPlane(const NativeArgs& args);
std::uint32_t NativeBlitCopyRgb(const NativeArgs& args);
std::uint32_t NativeBlitCopyAlpha(const NativeArgs& args);
// Layout 2.
std::uint32_t NativeBlitStretchCopy(const NativeArgs& args);
std::uint32_t NativeBlitStretchAlphaBlend(const NativeArgs& args);
std::uint32_t NativeBlitStretchCopyAlphaPlane(const NativeArgs& args);
std::uint32_t NativeBlitStretchCopyRgb(const NativeArgs& args);
std::uint32_t NativeBlitStretchCopyAlpha(const NativeArgs& args);
std::uint32_t NativeBlitStretchCopySmooth(const NativeArgs& args);
// Layout 3 (args[2] the mirror mode or level).
std::uint32_t NativeBlitCopyMirrored(const NativeArgs& args);
std::uint32_t NativeBlitAlphaBlendMirrored(const NativeArgs& args);
std::uint32_t NativeBlitCopyAlphaPlaneMirrored(const NativeArgs& args);
std::uint32_t NativeBlitBlendLevel(const NativeArgs& args);
std::uint32_t NativeBlitAddScaled(const NativeArgs& args);
std::uint32_t NativeBlitSubtractScaled(const NativeArgs& args);
std::uint32_t NativeBlitBlendPreserveAlpha(const NativeArgs& args);
// Layout 4.
std::uint32_t NativeBlitStretchCopyMirrored(const NativeArgs& args);
std::uint32_t NativeBlitStretchAlphaBlendMirrored(const NativeArgs& args);
std::uint32_t NativeBlitStretchCopyAlphaPlaneMirrored(const NativeArgs& args);
std::uint32_t NativeBlitStretchBlendLevel(const NativeArgs& args);
std::uint32_t NativeBlitStretchBlendPreserveAlpha(const NativeArgs& args);
// Layouts 1 and 2 with a device context in args[1]. No built-in hands the scripts a device
// context, so the word names none and the copy's failure status comes back (-1 when args[0]
// gives no image).
std::uint32_t NativeImageCopyToDC(const NativeArgs& args);
std::uint32_t NativeImageCopyFromDC(const NativeArgs& args);

// args[2..4] destination weights, args[5..7] source weights (bytes, packed), then layout 1 at
// args[8] (359) or layout 2 at args[8] (360).
std::uint32_t NativeBlitAlphaBlendWeights(const NativeArgs& args);
std::uint32_t NativeBlitStretchAlphaBlendWeights(const NativeArgs& args);
// args[0] mode byte (0 average, 1 add, 2 subtract), args[1] destination, args[2] source, then
// layout 1 (361) or 2 (362) at args[3].
std::uint32_t NativeBlitByMode(const NativeArgs& args);
std::uint32_t NativeBlitStretchByMode(const NativeArgs& args);
// args[0] mode byte (0 blend, 1 add, 2 subtract), args[1] destination, args[2] source, args[3]
// level byte, then layout 1 (365) or 2 (366) at args[4].
std::uint32_t NativeBlitModeLevel(const NativeArgs& args);
std::uint32_t NativeBlitStretchModeLevel(const NativeArgs& args);
// args[2] rule image (a handle; 0 none), args[3] opacity byte, args[4] progress 0..512, args[5]
// soft-edge width 1..511, then layout 1 at args[6]. 370 also weighs by the source alpha.
std::uint32_t NativeBlitRuleBlend(const NativeArgs& args);
std::uint32_t NativeBlitRuleBlend2(const NativeArgs& args);
// args[2] mode byte, args[3] level byte, then layout 1 at args[4]: mode 0 cross-fades (371) or
// blends by the source alpha (372) at the level; other modes blur the source along its rows
// with the mode as radius first.
std::uint32_t NativeBlitFade(const NativeArgs& args);
std::uint32_t NativeBlitFadeLevel(const NativeArgs& args);
// args[2..9] the corners x0, y0 .. x3, y3, args[10..13] the first rectangle, args[14..17] the
// second; args[10] = 65535 passes neither, args[14] = 65535 only the first. 374 maps the
// source rectangle (first) onto the corners, clipped to the second (null: the destination's
// clip); 375 maps the corners of the source onto the destination rectangle (first; null: the
// destination's clip), clipped to the second.
std::uint32_t NativeBlitQuad(const NativeArgs& args);
std::uint32_t NativeBlitQuad2(const NativeArgs& args);
// args[2] anchor byte, args[3] x, args[4] y, args[5] angle (512 steps a turn), args[6] zoom
// (16.16), [377: args[7] level byte,] then the source rectangle and the clip rectangle with
// the omission rule of 374.
std::uint32_t NativeBlitRotated(const NativeArgs& args);
std::uint32_t NativeBlitRotatedEx(const NativeArgs& args);
// args[2] mode, args[3] level byte, args[4] flag, then layout 1 at args[5]: the pixel
// library's blend.
std::uint32_t NativeBlitLibBlend(const NativeArgs& args);
