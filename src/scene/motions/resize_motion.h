// The motion that carries a drawable's shown size, and on request its opacity, through key
// points (width, height, opacity), keeping the edge or the centre that its anchors name where
// it was.
#pragma once

#include <cstdint>

#include "scene/drawables/motion_task.h"

#include "platform/system/geometry.h"

struct ResizeMotionOptions : MotionTiming {
  // kAnchorStart, kAnchorCentre or kAnchorEnd, across and down.
  uint8_t horizontal_anchor = 0;
  uint8_t vertical_anchor = 0;
  // Anchored from the position the drawable had at the start rather than its current one.
  bool fixed_origin = false;
  bool opacity = true;
};

class CResizeMotion : public CMotionTask {
 public:
  // The left or top edge stays; the centre stays; the right or bottom edge stays.
  static constexpr uint8_t kAnchorStart = 0;
  static constexpr uint8_t kAnchorCentre = 1;
  static constexpr uint8_t kAnchorEnd = 2;
  static constexpr uint32_t kTypeIdInList = 12005;
  static constexpr uint32_t kTypeIdInAttachedList = 12006;

  explicit CResizeMotion(const ResizeMotionOptions& options);

 protected:
  // Key 0 is the size of the drawable's bounds.
  int32_t TakeStart(CDrawable& drawable, Key& start) override;
  // Key 0 is the size of the render object's bounds (none: 0 by 0).
  int32_t TakeRenderObjectStart(CRenderObject& object, Key& start) override;
  // Sets the size at the anchored position.
  void Apply(double width, double height) override;

 private:
  struct Axis {
    uint8_t anchor;
    int32_t start_position = 0;
    int32_t start_size = 0;
    // The shift this motion gave the position at its last step, so that the position it
    // anchors from is the drawable's own, moved or not by others, and not its own last result.
    int64_t shift = 0;
  };

  // Key 0 is the size of the bounds; the position and size kept for the anchors.
  void KeepStart(int32_t x, int32_t y, const plat::Rect& bounds, Key& start);
  // The position for the size on the axis, seen from the drawable's current position.
  static int32_t Anchored(Axis& axis, int32_t current, int32_t size, bool fixed_origin);

  Axis horizontal_;
  Axis vertical_;
  bool fixed_origin_;
};
