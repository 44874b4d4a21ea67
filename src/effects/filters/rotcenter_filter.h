// "rotcenter": the new picture turns one revolution about the centre while it grows from
// nothing to full size over the old one. Direction 1 turns the old picture away over the new
// one; direction 2 lets each frame lie faintly over the ones before.
#pragma once

#include <cstdint>

#include "effects/framework/timed_filter.h"

class CRotCenterFilter : public CTimedFilter {
 public:
  static constexpr const char* kName = "rotcenter";
  static constexpr std::uint8_t kType = 1;
  // One turn, in the angle's steps.
  static constexpr std::int32_t kTurn = 512;

  std::uint8_t GetType() const override { return kType; }
  const char* GetName() const override { return kName; }
  std::int32_t Update(std::uint32_t now) override;
  // Finished at the whole turn.
  std::int32_t GetState() const override { return angle_ == kTurn ? kStateFinished : kStateRunning; }
  std::int32_t Apply(const FilterApplyArea& area) override;
  // Arguments: duration, direction, draw mode (the affine routine's mode for the turning picture,
  // which is sampled at the nearest pixel whatever it says). 5 without the trigonometric tables.
  std::int32_t SetParam(CImagePart* target, const PluginArgs& args) override;

  std::int32_t Angle() const { return angle_; }

 private:
  std::int32_t angle_ = 0;
  std::int32_t last_drawn_ = -1;
  std::uint8_t direction_ = 0;
  std::uint8_t draw_mode_ = 0;
};
