// The geometry of the strip wipes: which rows and columns of a w × h rectangle a step from one
// progress to the next uncovers. Every strip lies inside the rectangle and no pixel is
// uncovered twice, so a wipe stepped often and one stepped once end on the same picture.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/system/geometry.h"

enum class WipeShape : uint8_t {
  kOpenFromMiddleRow,     // rows open from the horizontal centre line up and down
  kOpenFromMiddleColumn,  // columns open from the vertical centre line left and right
  kGrowBox,               // a centred box grows
  kCloseToMiddleRow,      // rows close from the top and bottom edges toward the centre line
  kCloseToMiddleColumn,   // columns close from the left and right edges toward the centre line
  kCloseFrame,            // a frame closes from all four edges
  kBlindsFromLeft,        // 16-px column bands, all opening rightward
  kBlindsFromRight,
  kBlindsFromTop,
  kBlindsFromBottom,
  kCascadeFromLeft,  // the bands open one after the other from the leading edge
  kCascadeFromRight,
  kCascadeFromTop,
  kCascadeFromBottom,
};

inline constexpr int32_t kWipeBandWidth = 16;

// The progress a shape reaches at completion: rows (the first) and, for the box and frame,
// columns.
struct WipeAmounts {
  int32_t rows;
  int32_t columns;
};
WipeAmounts WipeFullAmounts(WipeShape shape, int32_t width, int32_t height);

// One step: the progress before and after (rows, and columns for the box and frame), and
// whether it completes the wipe (which also uncovers the row or column an odd size leaves).
struct WipeStep {
  WipeAmounts before;
  WipeAmounts after;
  bool completes;
};

// Hands every rectangle (relative to the wipe's rectangle) that the step uncovers to `draw`.
void ForEachWipeStrip(WipeShape shape, int32_t width, int32_t height, const WipeStep& step,
                      const std::function<void(const plat::Rect&)>& draw);
