// The motion that turns and zooms a sprite and steps its opacity through key points (angle in
// 512 steps to the turn, zoom, opacity).
#pragma once

#include <cstdint>

#include "scene/drawables/motion_task.h"

struct RotoZoomMotionOptions : MotionTiming {
  // Along the natural cubic spline through the keys instead of straight lines.
  bool spline = false;
  // At the start, the sprite's work image is made big enough for the largest zoom of the keys.
  bool reserve = false;
};

class CRotoZoomMotion : public CMotionTask {
 public:
  static constexpr uint32_t kTypeIdInList = 12007;
  static constexpr uint32_t kTypeIdInAttachedList = 12008;

  explicit CRotoZoomMotion(const RotoZoomMotionOptions& options);

 protected:
  // Refuses a drawable that is no sprite.
  int32_t TakeStart(CDrawable& drawable, Key& start) override;
  void Apply(double angle, double zoom) override;

 private:
  bool reserve_;
};
