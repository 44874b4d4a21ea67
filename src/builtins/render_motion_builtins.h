// The built-in functions that start a move motion on a render object of the screen, on the
// pausable timer manager: its place steps through the points, and its corners' alpha with them
// for the quads and primitives. They return the running task, 0 when its points or its start
// were refused (the task is then gone and the object left as the refusal left it).
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] render object, args[2] point text "(x,y,alpha)..."; the other words as the drawables'
// move motion takes them.
std::uint32_t NativeStartRenderMotionText(const NativeArgs& args);
// args[2] point count, args[3] address of (x, y, alpha) word triples; points beyond script
// memory end the run as a bad script.
std::uint32_t NativeStartRenderMotionPoints(const NativeArgs& args);
