#include "scene/motions/resize_motion.h"

#include <algorithm>

#include "gfx/display/render_list.h"
#include "scene/drawables/drawable.h"
#include "scene/drawables/motion_curves.h"

CResizeMotion::CResizeMotion(const ResizeMotionOptions& options)
    : CMotionTask(options, {kTimedTaskResizeMotion, kTypeIdInList, kTypeIdInAttachedList}, false, options.opacity),
      horizontal_{options.horizontal_anchor},
      vertical_{options.vertical_anchor},
      fixed_origin_(options.fixed_origin) {}

int32_t CResizeMotion::TakeStart(CDrawable& drawable, Key& start) {
  plat::Rect bounds{};
  drawable.GetBounds(&bounds);
  start.opacity = drawable.GetOpacity();
  KeepStart(drawable.GetX(), drawable.GetY(), bounds, start);
  return 0;
}

int32_t CResizeMotion::TakeRenderObjectStart(CRenderObject& object, Key& start) {
  plat::Rect bounds{};
  if (!object.GetBounds(&bounds)) bounds = plat::Rect{};
  KeepStart(object.GetX(), object.GetY(), bounds, start);
  return 0;
}

void CResizeMotion::KeepStart(int32_t x, int32_t y, const plat::Rect& bounds, Key& start) {
  start.a = bounds.Width();
  start.b = bounds.Height();
  horizontal_ = Axis{horizontal_.anchor, x, bounds.Width(), 0};
  vertical_ = Axis{vertical_.anchor, y, bounds.Height(), 0};
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
  const int32_t w = TruncateToInt32(width);
  const int32_t h = TruncateToInt32(height);
  if (CRenderObject* object = RenderTarget(); object != nullptr) {
    const int32_t x = Anchored(horizontal_, object->GetX(), w, fixed_origin_);
    const int32_t y = Anchored(vertical_, object->GetY(), h, fixed_origin_);
    object->SetSizeAndPosition(w, h, x, y);
    return;
  }
  CDrawable& target = Target();
  const int32_t x = Anchored(horizontal_, target.GetX(), w, fixed_origin_);
  const int32_t y = Anchored(vertical_, target.GetY(), h, fixed_origin_);
  target.SetSizeAndPosition(w, h, x, y);
}
