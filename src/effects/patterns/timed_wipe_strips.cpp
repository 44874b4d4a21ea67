#include "effects/patterns/timed_wipe_strips.h"

#include <algorithm>

namespace {

using Draw = std::function<void(const plat::Rect&)>;

// Draws rows [top, bottom) over columns [left, right) when both spans are not empty.
void DrawSpan(const Draw& draw, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (left < right && top < bottom) draw(plat::Rect{left, top, right, bottom});
}

void RowBand(const Draw& draw, int32_t width, int32_t top, int32_t bottom) { DrawSpan(draw, 0, top, width, bottom); }
void ColumnBand(const Draw& draw, int32_t height, int32_t left, int32_t right) {
  DrawSpan(draw, left, 0, right, height);
}

bool IsColumnShape(WipeShape shape) {
  switch (shape) {
    case WipeShape::kBlindsFromLeft:
    case WipeShape::kBlindsFromRight:
    case WipeShape::kCascadeFromLeft:
    case WipeShape::kCascadeFromRight:
      return true;
    default:
      return false;
  }
}

bool IsCascade(WipeShape shape) { return shape >= WipeShape::kCascadeFromLeft; }

// Whether the bands count from the far edge (right or bottom) and open back toward the near one.
bool CountsFromFarEdge(WipeShape shape) {
  switch (shape) {
    case WipeShape::kBlindsFromRight:
    case WipeShape::kBlindsFromBottom:
    case WipeShape::kCascadeFromRight:
    case WipeShape::kCascadeFromBottom:
      return true;
    default:
      return false;
  }
}

// Bands over an extent, the last one partial: (extent + 15) / 16 taken as 16 bits.
int32_t BandCount(int32_t extent) { return static_cast<uint16_t>((extent + kWipeBandWidth - 1) / kWipeBandWidth); }

// How far band i is open at progress p.
int32_t BandOpening(WipeShape shape, int32_t band, int32_t progress) {
  if (!IsCascade(shape)) return std::clamp(progress, 0, kWipeBandWidth);
  return std::clamp(progress - band, 0, kWipeBandWidth);
}

void DrawBands(WipeShape shape, int32_t width, int32_t height, const WipeStep& step, const Draw& draw) {
  const bool columns = IsColumnShape(shape);
  const int32_t extent = columns ? width : height;
  const int32_t bands = BandCount(extent);
  for (int32_t band = 0; band < bands; ++band) {
    const int32_t band_start = band * kWipeBandWidth;
    const int32_t band_size = std::min(kWipeBandWidth, extent - band_start);
    const int32_t from = std::min(BandOpening(shape, band, step.before.rows), band_size);
    const int32_t to = std::min(BandOpening(shape, band, step.after.rows), band_size);
    if (from >= to) continue;
    int32_t low = band_start + from;
    int32_t high = band_start + to;
    if (CountsFromFarEdge(shape)) {
      low = extent - band_start - to;
      high = extent - band_start - from;
    }
    if (columns) {
      ColumnBand(draw, height, low, high);
    } else {
      RowBand(draw, width, low, high);
    }
  }
}

void DrawGrowBox(int32_t width, int32_t height, const WipeStep& step, const Draw& draw) {
  const int32_t half_h = height / 2;
  const int32_t half_w = width / 2;
  const int32_t p = step.before.rows, a = step.after.rows;
  const int32_t q = step.before.columns, c = step.after.columns;
  DrawSpan(draw, half_w - c, half_h - a, half_w + c, half_h - p);
  DrawSpan(draw, half_w - c, half_h + p, half_w + c, half_h + a);
  DrawSpan(draw, half_w - c, half_h - p, half_w - q, half_h + p);
  DrawSpan(draw, half_w + q, half_h - p, half_w + c, half_h + p);
  if (!step.completes) return;
  if (height % 2 != 0) RowBand(draw, width, height - 1, height);
  if (width % 2 != 0) ColumnBand(draw, height, width - 1, width);
}

void DrawCloseFrame(int32_t width, int32_t height, const WipeStep& step, const Draw& draw) {
  const int32_t p = step.before.rows, a = step.after.rows;
  const int32_t q = step.before.columns, c = step.after.columns;
  DrawSpan(draw, q, p, width - q, a);
  DrawSpan(draw, q, height - a, width - q, height - p);
  DrawSpan(draw, q, a, c, height - a);
  DrawSpan(draw, width - c, a, width - q, height - a);
  if (step.completes && height % 2 != 0 && width % 2 != 0) {
    DrawSpan(draw, width / 2, height / 2, width / 2 + 1, height / 2 + 1);
  }
}

}  // namespace

WipeAmounts WipeFullAmounts(WipeShape shape, int32_t width, int32_t height) {
  switch (shape) {
    case WipeShape::kOpenFromMiddleRow:
    case WipeShape::kCloseToMiddleRow:
      return {height / 2, 0};
    case WipeShape::kOpenFromMiddleColumn:
    case WipeShape::kCloseToMiddleColumn:
      return {width / 2, 0};
    case WipeShape::kGrowBox:
    case WipeShape::kCloseFrame:
      return {height / 2, width / 2};
    case WipeShape::kBlindsFromLeft:
    case WipeShape::kBlindsFromRight:
    case WipeShape::kBlindsFromTop:
    case WipeShape::kBlindsFromBottom:
      return {kWipeBandWidth, 0};
    default:
      return {BandCount(IsColumnShape(shape) ? width : height) + kWipeBandWidth - 1, 0};
  }
}

void ForEachWipeStrip(WipeShape shape, int32_t width, int32_t height, const WipeStep& step, const Draw& draw) {
  const int32_t p = step.before.rows;
  const int32_t a = step.after.rows;
  switch (shape) {
    case WipeShape::kOpenFromMiddleRow:
      RowBand(draw, width, height / 2 - a, height / 2 - p);
      RowBand(draw, width, height / 2 + p, height / 2 + a);
      if (step.completes && height % 2 != 0) RowBand(draw, width, height - 1, height);
      return;
    case WipeShape::kOpenFromMiddleColumn:
      ColumnBand(draw, height, width / 2 - a, width / 2 - p);
      ColumnBand(draw, height, width / 2 + p, width / 2 + a);
      if (step.completes && width % 2 != 0) ColumnBand(draw, height, width - 1, width);
      return;
    case WipeShape::kCloseToMiddleRow:
      RowBand(draw, width, p, a);
      RowBand(draw, width, height - a, height - p);
      if (step.completes && height % 2 != 0) RowBand(draw, width, height / 2, height / 2 + 1);
      return;
    case WipeShape::kCloseToMiddleColumn:
      ColumnBand(draw, height, p, a);
      ColumnBand(draw, height, width - a, width - p);
      if (step.completes && width % 2 != 0) ColumnBand(draw, height, width / 2, width / 2 + 1);
      return;
    case WipeShape::kGrowBox:
      DrawGrowBox(width, height, step, draw);
      return;
    case WipeShape::kCloseFrame:
      DrawCloseFrame(width, height, step, draw);
      return;
    default:
      DrawBands(shape, width, height, step, draw);
      return;
  }
}
