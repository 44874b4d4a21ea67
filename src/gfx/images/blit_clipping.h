// The clipping of the compositing operations: a source rectangle placed at (x, y) in a
// destination, cut to the source's clip rectangle and to the destination's, one to one or
// stretched to a destination size. A mirrored (left to right) or flipped (top to bottom) pass
// cuts the source on the side that lands at the cut edge of the destination, so a clipped pass
// always equals the unclipped one cropped.
#pragma once

#include <cstdint>

#include "pixel/kernels/bilinear_kernels.h"
#include "pixel/kernels/stretch_step.h"
#include "platform/system/geometry.h"

// The width and height a stretched operation draws the source rectangle at.
struct ImageSize {
  int32_t width = 0;
  int32_t height = 0;
};

struct BlitPlacement {
  int32_t x = 0;
  int32_t y = 0;
  const plat::Rect* source_rect = nullptr;  // null: the whole source clip rectangle
  bool mirror = false;
  bool flip = false;
};

// The placement of a mirrored operation: mode 1 only flips (the unmirrored pass upside down),
// 2 mirrors and flips, any other mode mirrors.
inline BlitPlacement MirroredPlacement(uint8_t mode, int32_t x, int32_t y, const plat::Rect* src_rect) {
  return {x, y, src_rect, mode != 1, mode == 1 || mode == 2};
}

// What remains of a pass: the source rectangle read and the destination rectangle written.
struct BlitClip {
  plat::Rect source;
  plat::Rect dest;
};

// One to one: false when nothing is visible.
bool ClipBlt(const BlitPlacement& placement, const plat::Rect& source_clip, const plat::Rect& dest_clip, BlitClip& out);

// Stretched to size (a side below 1 draws nothing): false when nothing is visible, else the
// step record for the kernel; its accumulators start as if the clipped-off pixels had been
// stepped over.
bool ClipStretchBlt(const BlitPlacement& placement, ImageSize size, const plat::Rect& source_clip,
                    const plat::Rect& dest_clip, BlitClip& out, StretchStep& step);

// The filtered stretch of the source rectangle onto the destination rectangle, both taken with
// their right and bottom edges one pixel in, so that every sample's right and lower neighbours
// lie in the source: destination pixel i of a row samples the source at
// left + i × (source width − 1) / (destination width − 1). False when either rectangle is thinner
// than two pixels or nothing is visible; else the clipped rectangles (out.source.left and top
// being the first sample's pixel) and the step record.
bool ClipStretchFixed(const plat::Rect& source, const plat::Rect& dest, const plat::Rect& source_clip,
                      const plat::Rect& dest_clip, BlitClip& out, BilinearStep& step);
