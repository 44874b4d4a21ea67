// The transform routine of the engine's pixel-routine library: the source rectangle drawn onto
// a parallelogram, each covered pixel taking the source pixel under its centre.
#include "gfx/images/pixel_library_routines.h"
#include "gfx/images/pixel_routine_run.h"

uint32_t DrawTransform(CImage& dst, CImage& src, const PixelTransformArgs& args) {
  Parallelogram at;
  if (args.src_rect != nullptr) {
    at.source = *args.src_rect;
  } else {
    src.GetClipRect(&at.source);
  }
  if (at.source.right <= at.source.left || at.source.bottom <= at.source.top) return 1;
  if (args.mode != kPixelBlendLevel && args.mode != kPixelBlendAlpha) return 2;
  for (int i = 0; i < 3; ++i) at.corners[i] = args.points[i];
  if (args.area != nullptr) dst.FillRectArgbXYWH(0, 0, args.area->width, args.area->height, args.fill);
  const bool copy = args.mode == kPixelBlendLevel && args.level == 255;
  return dst.MapParallelogram(&src, at, copy ? nullptr : &args.level);
}

PixelRoutineResult PixelLibTransformRoutine(CImage& dst, CImage& src, const PixelTransformArgs& args) {
  return RunAsRoutine(dst, [&] { return DrawTransform(dst, src, args); });
}
