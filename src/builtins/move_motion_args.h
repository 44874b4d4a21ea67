// The construction words of the move motions that scripts start: the text form takes its points
// as a text in args[2], the count form as a count and an address in args[2] and args[3], which
// moves every later word on by one.
#pragma once

#include <cstdint>

#include "scene/move_motion.h"
#include "script/native_args.h"

enum class EMotionPointForm : std::uint32_t { kText = 0, kCount = 1 };

// args[1] segment time; then, from args[3] (args[4] in the count form): start delay, shown while
// moving, position mode (65535: the defaults below for it and the rest), spline, decimal ease
// text or 0, loop, lower the game's priority. The defaults: position moved, straight, no ease,
// no loop, priority lowered.
MoveMotionOptions MoveMotionOptionsFrom(const NativeArgs& args, EMotionPointForm form);
