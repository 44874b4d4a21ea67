#include "scene/motions/roto_zoom_motion.h"

#include <algorithm>

#include "scene/drawables/motion_curves.h"
#include "scene/sprites/sprite.h"

CRotoZoomMotion::CRotoZoomMotion(const RotoZoomMotionOptions& options)
    : CMotionTask(options, {kTimedTaskRotoZoomMotion, kTypeIdInList, kTypeIdInAttachedList}, options.spline, true),
      reserve_(options.reserve) {}

int32_t CRotoZoomMotion::TakeStart(CDrawable& drawable, Key& start) {
  auto* sprite = dynamic_cast<CSprite*>(&drawable);
  if (sprite == nullptr) return kRefused;
  start = {static_cast<double>(sprite->GetAngle()), sprite->GetZoom(), sprite->GetOpacity()};
  if (reserve_) {
    const auto widest = std::max_element(Keys().begin(), Keys().end(),
                                         [](const Key& a, const Key& b) { return a.b < b.b; });
    sprite->ReserveTurnImage(widest->b);
  }
  return 0;
}

void CRotoZoomMotion::Apply(double angle, double zoom) {
  static_cast<CSprite&>(Target()).RenderTransformed(TruncateToInt32(angle), zoom);
}
