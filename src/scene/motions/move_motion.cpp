#include "scene/motions/move_motion.h"

#include "gfx/display/render_list.h"
#include "scene/drawables/motion_curves.h"
#include "scene/sprites/sprite.h"

CMoveMotion::CMoveMotion(const MoveMotionOptions& options)
    : CMotionTask(options, {kTimedTaskMoveMotion, kTypeIdInList, kTypeIdInAttachedList}, options.spline, true),
      position_mode_(options.position_mode) {}

int32_t CMoveMotion::TakeStart(CDrawable& drawable, Key& start) {
  start.opacity = drawable.GetOpacity();
  if (position_mode_ != kSourceOrigin) {
    start.a = drawable.GetX();
    start.b = drawable.GetY();
    return 0;
  }
  const auto* sprite = dynamic_cast<const CSprite*>(&drawable);
  if (sprite == nullptr) return kRefused;
  start.a = sprite->GetSourceOriginX();
  start.b = sprite->GetSourceOriginY();
  return 0;
}

int32_t CMoveMotion::TakeRenderObjectStart(CRenderObject& object, Key& start) {
  start.a = object.GetX();
  start.b = object.GetY();
  return 0;
}

void CMoveMotion::Apply(double x, double y) {
  if (CRenderObject* object = RenderTarget(); object != nullptr) {
    if (position_mode_ != kPositionKept) object->SetPosition(TruncateToInt32(x), TruncateToInt32(y));
  } else if (position_mode_ == kPosition) {
    Target().SetPosition(TruncateToInt32(x), TruncateToInt32(y));
  } else if (position_mode_ == kSourceOrigin) {
    static_cast<CSprite&>(Target()).SetSourceOrigin(TruncateToInt32(x), TruncateToInt32(y));
  }
}
