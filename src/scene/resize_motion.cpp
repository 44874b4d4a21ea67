#include "scene/resize_motion.h"

#include <algorithm>

#include "scene/drawable.h"
#include "scene/motion_curves.h"

CResizeMotion::CResizeMotion(const ResizeMotionOptions& options)
    : CMotionTask(options, {kTimedTaskResizeMotion, kTypeIdInList, kTypeIdInAttachedList}, false, options.opacity),
      horizontal_{options.horizontal_anchor},
      vertical_{options.vertical_anchor},
      fixed_origin_(options.fixed_origin) {}

int32_t CResizeMotion::TakeStart(CDrawable& drawable, Key& start) {
  plat::Rect bounds{};
  drawable.GetBounds(&bounds);
  start = {static_cast<double>(bounds.Width()), static_cast<double>(bounds.Height()), drawable.GetOpacity()};
  horizontal_.start_position = drawable.GetX();
  horizontal_.start_size = bounds.Width();
  horizontal_.shift = 0;
  vertical_.start_position = drawable.GetY();
  vertical_.start_size = bounds.Height();
  vertical_.shift = 0;
  return 0;
}

int32_t CResizeMotion::Anchored(Axis& axis, int32_t current, int32_t size, bool fixed_origin) {
  const int64_t base = fixed_origin ? axis.start_position : current - axis.shift;
  const int64_t growth = int64_t{axis.start_size} - size;
  axis.shift = 0;
  if (axis.anchor == kAnchorCentre) {
    // Halved with the remainder dropped towards minus infinity.
    axis.shift = growth >> 1;
  } else if (axis.anchor == kAnchorEnd) {
    axis.shift = growth;
  }
  return static_cast<int32_t>(std::clamp<int64_t>(base + axis.shift, INT32_MIN, INT32_MAX));
}

void CResizeMotion::Apply(double width, double height) {
  CDrawable& target = Target();
  const int32_t w = TruncateToInt32(width);
  const int32_t h = TruncateToInt32(height);
  const int32_t x = Anchored(horizontal_, target.GetX(), w, fixed_origin_);
  const int32_t y = Anchored(vertical_, target.GetY(), h, fixed_origin_);
  target.SetSizeAndPosition(w, h, x, y);
}
