// The motion that carries a drawable's position (or a sprite's source origin, scrolling what it
// shows) and its opacity through key points (x, y, opacity).
#pragma once

#include <cstdint>

#include "scene/drawables/motion_task.h"

struct MoveMotionOptions : MotionTiming {
  // What the key's x and y move: kPositionKept, kPosition or kSourceOrigin.
  uint8_t position_mode = 1;
  // Along the natural cubic spline through the keys instead of straight lines.
  bool spline = false;
};

class CMoveMotion : public CMotionTask {
 public:
  static constexpr uint8_t kPositionKept = 0;
  static constexpr uint8_t kPosition = 1;
  static constexpr uint8_t kSourceOrigin = 2;
  // The kinds of a motion of a drawable in a list, and in its layer's attached list.
  static constexpr uint32_t kTypeIdInList = 12003;
  static constexpr uint32_t kTypeIdInAttachedList = 12004;

  explicit CMoveMotion(const MoveMotionOptions& options);

 protected:
  // Refuses a drawable that is no sprite when the source origin moves.
  int32_t TakeStart(CDrawable& drawable, Key& start) override;
  // Key 0 is the render object's position.
  int32_t TakeRenderObjectStart(CRenderObject& object, Key& start) override;
  void Apply(double x, double y) override;

 private:
  uint8_t position_mode_;
};
