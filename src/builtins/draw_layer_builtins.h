// The built-ins that work on the draw layer of a canvas (ids 409 to 431): filing drawables into
// its own and its attached draw list, its background and its repainting; and the program-wide
// strip-repaint switch (432). args[0] is the canvas; an object without a draw layer gives the
// row's none value (-1 or 0).
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[1] drawable, args[2] priority, args[3] tag, args[4] attached-list flag: the insert's
// status; 4 when the attached list is asked for and the layer has none. Priority -1 files into
// the own list with priority 0 and tag 0. 409 in front of equal priorities, 410 behind them.
std::uint32_t NativeLayerInsert(const NativeArgs& args);
std::uint32_t NativeLayerInsertBehind(const NativeArgs& args);
// args[1] drawable: 1 taken from the own or else the attached list, 0 in neither.
std::uint32_t NativeLayerRemove(const NativeArgs& args);
// On both lists: args[1] priority, args[2] invert byte (412); args[1] tag, args[2] drawable id
// (-1 any), args[3] invert byte (413).
std::uint32_t NativeLayerRemovePriority(const NativeArgs& args);
std::uint32_t NativeLayerRemoveWhere(const NativeArgs& args);
// args[1] drawable, args[2] priority, args[3] keep-if-same flag: 1 moved in the own or else the
// attached list, 0 in neither.
std::uint32_t NativeLayerSetPriority(const NativeArgs& args);
std::uint32_t NativeLayerSetPriorityBehind(const NativeArgs& args);
std::uint32_t NativeLayerClear(const NativeArgs& args);
// args[1] enabled flag, args[2] priority, args[3] tag, args[4] drawable id, args[5] invert byte;
// args[3] = 65535: any tag and id, not inverted.
std::uint32_t NativeLayerSetEnabledWhere(const NativeArgs& args);
// args[1] object whose image becomes the background (0: none), args[2] x, args[3] y, args[4]
// redraw flag.
std::uint32_t NativeLayerSetBackgroundImage(const NativeArgs& args);
// args[1] colour, args[2] redraw byte: 0 and 1 set the colour as the background, 2 and above
// only store the colour word.
std::uint32_t NativeLayerSetBackgroundColor(const NativeArgs& args);
// args[1] x, args[2] y: 0 unchanged, else everything repainted (its status).
std::uint32_t NativeLayerSetBackgroundOffset(const NativeArgs& args);
// args[1] x, args[2] y, args[3] width, args[4] height, args[5..8] source rectangle (65535: the
// whole background).
std::uint32_t NativeLayerSetBackgroundArea(const NativeArgs& args);
// args[1] anchor mode (0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right, 4 centre); the
// two words after it are not used by the layer.
std::uint32_t NativeLayerSetBackgroundAnchor(const NativeArgs& args);
// args[1] x, args[2] y, args[3] angle (512 steps a turn), args[4] zoom as a 32-bit float.
std::uint32_t NativeLayerSetBackgroundRotoZoom(const NativeArgs& args);
// args[1..6] addresses (each may be 0): the handle of the object whose image is the background
// (0: none or not the screen's), x and y as words, red, green and blue as bytes.
std::uint32_t NativeLayerGetBackground(const NativeArgs& args);
std::uint32_t NativeLayerInvalidateAll(const NativeArgs& args);
// args[1..4] rectangle: 1.
std::uint32_t NativeLayerInvalidateRect(const NativeArgs& args);
// args[1] flag: the canvas part's previous switch byte; 0 for other kinds.
std::uint32_t NativeCanvasSetPartSwitch(const NativeArgs& args);
std::uint32_t NativeLayerRepaint(const NativeArgs& args);
// args[1] object whose image receives the picture, args[2] filter byte (0 all, 1 only the
// drawables of the id, 2 all others), args[3] id, args[4] with-attached flag; -1 without image,
// -2 without layer.
std::uint32_t NativeLayerRenderTo(const NativeArgs& args);
// args[1] skip the own list, args[2] skip the attached list (flags).
std::uint32_t NativeLayerSetSkipLists(const NativeArgs& args);
// args[1] flag: the background is not painted.
std::uint32_t NativeLayerSetNoBackground(const NativeArgs& args);
// args[0] flag (no object).
std::uint32_t NativeSetStripRepaint(const NativeArgs& args);
