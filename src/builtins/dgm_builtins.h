// The built-in functions over the two shared layout-file readers: the layout buffers, whose parts
// become sprites on a display object's draw layer (g_DgmBufferSet), and the layout image, whose
// parts become widgets of the root window (g_DgmImageFile) (ids 522 to 531). An entry is the
// part's handles (picture and sprite, or widget) and its record: width, height and state byte.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] display object (a canvas with a draw layer), args[1] layout file, args[2] priority,
// args[3] into the layer's attached list, args[4] keep the background's own depth: the load's
// status; -2 without a draw layer.
std::uint32_t NativeLoadDgmBuffers(const NativeArgs& args);
// Forgets the loaded layout (the screen keeps its pictures and sprites): 0.
std::uint32_t NativeFreeDgmBuffers(const NativeArgs& args);
std::uint32_t NativeGetDgmBufferCount(const NativeArgs& args);
// args[0] index, args[1] to args[5] addresses (each may be 0) of the picture, the sprite, the
// width, the height and the state: 1; 0 for an index not below the count.
std::uint32_t NativeGetDgmBufferEntry(const NativeArgs& args);
// args[0] first entry (negative: 0), args[1] count (0: all), args[2] to args[6] word arrays
// (each may be 0) of pictures, sprites, widths, heights and states: the entries from the first
// on, at most to the last, copied: 1.
std::uint32_t NativeGetDgmBufferEntries(const NativeArgs& args);
// args[0] owner (the root window; scripts hold no other), args[1] layout file, args[2] first
// widget id (negative: unnumbered), args[3] keep the background's depth and key the pictures,
// args[4] priority: the load's status.
std::uint32_t NativeLoadDgmImageFile(const NativeArgs& args);
// Forgets the loaded layout (the widget manager keeps the widgets): 0.
std::uint32_t NativeReleaseDgmImageFile(const NativeArgs& args);
std::uint32_t NativeGetDgmImageCount(const NativeArgs& args);
// args[0] index, args[1] to args[4] addresses of the widget, the width, the height and the
// state: 1; 0 for an index not below the count.
std::uint32_t NativeGetDgmImageEntry(const NativeArgs& args);
// args[0] first, args[1] count (0: all), args[2] to args[5] word arrays of widgets, widths,
// heights and states: 1; 0 when there are no entries.
std::uint32_t NativeGetDgmImageEntries(const NativeArgs& args);
