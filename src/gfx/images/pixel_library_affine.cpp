// The matrix form of the affine draw: the matrix names the corners onto which the transform
// routine draws the source rectangle.
#include <algorithm>
#include <cmath>

#include "gfx/images/pixel_library_routines.h"
#include "gfx/images/pixel_routine_run.h"

PixelRoutineResult PixelLibAffineRoutine(CImage& dst, CImage& src, const PixelAffineArgs& args) {
  const double* m = args.matrix;
  if (!std::all_of(m, m + 6, [](double value) { return std::isfinite(value); })) return {};
  plat::Rect source;
  if (args.src_rect != nullptr) {
    source = *args.src_rect;
  } else {
    src.GetClipRect(&source);
  }
  const double width = static_cast<double>(source.right) - source.left;
  const double height = static_cast<double>(source.bottom) - source.top;
  PixelTransformArgs corners;
  corners.points[0] = {m[4], m[5]};
  corners.points[1] = {m[0] * width + m[4], m[1] * width + m[5]};
  corners.points[2] = {m[2] * height + m[4], m[3] * height + m[5]};
  corners.src_rect = &source;
  corners.level = args.level;
  corners.mode = args.mode;
  return RunAsRoutine(dst, [&] {
    if (args.fill_area != nullptr) dst.FillRectArgb(args.fill, args.fill_area);
    return DrawTransform(dst, src, corners);
  });
}
