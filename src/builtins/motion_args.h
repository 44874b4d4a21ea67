// The construction words of the motions that scripts start: the text form takes its points as a
// text in args[2], the count form as a count and an address in args[2] and args[3], which moves
// every later word on by one. Every form reads args[1] as the segment time, then from args[3]
// (args[4] in the count form) the start delay and the shown-while-moving flag; a marker word of
// 65535 after them chooses the defaults of the rest.
#pragma once

#include <cstdint>

#include "scene/motions/move_motion.h"
#include "scene/motions/resize_motion.h"
#include "scene/motions/roto_zoom_motion.h"
#include "script/native_args.h"

enum class EMotionPointForm : std::uint32_t { kText = 0, kCount = 1 };

// The decimal text whose address is args[i]; `fallback` when the word is 0.
double DecimalArg(const NativeArgs& args, std::uint32_t i, double fallback);

// Then: position mode (the marker), spline, decimal ease text or 0, loop, lower the game's
// priority. The defaults: position moved, straight, no ease, no loop, priority lowered.
MoveMotionOptions MoveMotionOptionsFrom(const NativeArgs& args, EMotionPointForm form);
// Then: horizontal anchor (the marker), vertical anchor (bytes), fixed origin, opacity stepped,
// decimal ease text or 0, loop, lower the game's priority. The defaults: both anchors at the
// centre, fixed origin, opacity stepped, no ease, no loop, priority lowered.
ResizeMotionOptions ResizeMotionOptionsFrom(const NativeArgs& args, EMotionPointForm form);
// Text form only. Then: work image reserved for the largest zoom (the marker), spline, decimal
// ease text or 0, loop, lower the game's priority. The defaults: reserved, spline, no ease, no
// loop, priority lowered.
RotoZoomMotionOptions RotoZoomMotionOptionsFrom(const NativeArgs& args);
