// The affine routine of the engine's pixel-routine library, on the quadrilateral kernels.
#include <algorithm>
#include <cmath>

#include "gfx/pixel_library_routines.h"
#include "gfx/pixel_routine_run.h"

namespace {

int32_t ToCoordinate(double value) {
  if (!(value == value)) return 0;
  return static_cast<int32_t>(std::clamp(std::lround(value), long{INT32_MIN}, long{INT32_MAX}));
}

// The kernels sample the source at each destination pixel's bottom-left corner (a row is drawn
// after its sides have stepped down) and take the source pixel whose top-left corner is at or
// before that point. The pixel under the centre lies half a pixel right and half a pixel up of
// it; each source axis is moved by the whole-pixel part of that difference.
struct SourceShift {
  int32_t u = 0;
  int32_t v = 0;
};

SourceShift CentreShift(const PixelTransformArgs::Point (&p)[3], int32_t width, int32_t height) {
  // The source-to-destination map's columns, then (right - up) through its inverse.
  const double ax = (p[1].x - p[0].x) / width;
  const double ay = (p[1].y - p[0].y) / width;
  const double bx = (p[2].x - p[0].x) / height;
  const double by = (p[2].y - p[0].y) / height;
  const double det = ax * by - bx * ay;
  if (det == 0.0 || !std::isfinite(det)) return {};
  const double du = (by + bx) / det;
  const double dv = -(ay + ax) / det;
  return {static_cast<int32_t>(std::floor(0.5 * du)), static_cast<int32_t>(std::floor(0.5 * dv))};
}

}  // namespace

uint32_t DrawTransform(CImage& dst, CImage& src, const PixelTransformArgs& args) {
  plat::Rect source;
  if (args.src_rect != nullptr) {
    source = *args.src_rect;
  } else {
    src.GetClipRect(&source);
  }
  if (source.right <= source.left || source.bottom <= source.top) return 1;
  const auto& p = args.points;
  const QuadCorner top_left{ToCoordinate(p[0].x), ToCoordinate(p[0].y)};
  const QuadCorner top_right{ToCoordinate(p[1].x), ToCoordinate(p[1].y)};
  const QuadCorner bottom_left{ToCoordinate(p[2].x), ToCoordinate(p[2].y)};
  const QuadCorner bottom_right{ToCoordinate(p[1].x + p[2].x - p[0].x), ToCoordinate(p[1].y + p[2].y - p[0].y)};
  const QuadCorners dst_quad{top_left, top_right, bottom_left, bottom_right};
  const SourceShift shift = CentreShift(p, source.right - source.left, source.bottom - source.top);
  const int32_t l = source.left + shift.u;
  const int32_t r = source.right + shift.u;
  const int32_t t = source.top + shift.v;
  const int32_t b = source.bottom + shift.v;
  const QuadCorners src_quad{QuadCorner{l, t}, QuadCorner{r, t}, QuadCorner{l, b}, QuadCorner{r, b}};
  // Full-width spans: every covered pixel samples at its own position.
  constexpr uint32_t kFullWidth = 1;
  if (args.area != nullptr) dst.FillRectArgbXYWH(0, 0, args.area->width, args.area->height, args.fill);
  if (args.level == 255 && args.mode != kPixelBlendAlpha) return dst.MapQuad(&src, dst_quad, src_quad, nullptr, kFullWidth);
  return dst.MapQuadBlend(&src, dst_quad, src_quad, args.level, nullptr, kFullWidth);
}

PixelRoutineResult PixelLibTransformRoutine(CImage& dst, CImage& src, const PixelTransformArgs& args) {
  return RunAsRoutine(dst, [&] { return DrawTransform(dst, src, args); });
}
