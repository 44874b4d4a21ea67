// The built-ins that start the motions of a drawable on the pausable timer manager (ids 446 to
// 450): its position and opacity (446, 447), a sprite's or box's shown size and opacity (448,
// 449) and a sprite's turn, zoom and opacity (450), through points given as a text or as word
// triples. Each returns the running task's handle, or 0 when the drawable is missing or the
// points or the start were refused (the task is then gone).
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] drawable, args[2] point text "(x,y,opacity)..."; the construction words as
// MoveMotionOptionsFrom reads them.
std::uint32_t NativeStartMoveMotionText(const NativeArgs& args);
// args[2] point count, args[3] address of (x, y, opacity) word triples; points beyond script
// memory end the run as a bad script.
std::uint32_t NativeStartMoveMotionPoints(const NativeArgs& args);
// The same with (width, height, opacity) points and ResizeMotionOptionsFrom's words.
std::uint32_t NativeStartResizeMotionText(const NativeArgs& args);
std::uint32_t NativeStartResizeMotionPoints(const NativeArgs& args);
// args[2] point text "(angle,zoom,opacity)..."; RotoZoomMotionOptionsFrom's words.
std::uint32_t NativeStartRotoZoomMotionText(const NativeArgs& args);
