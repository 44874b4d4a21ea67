// "rotaxis": the picture turns in perspective about its vertical or horizontal axis, the old
// picture for the first quarter turn and the new one, facing the viewer, for the second.
#pragma once

#include <cstdint>

#include "effects/framework/timed_filter.h"

class CRotAxisFilter : public CTimedFilter {
 public:
  static constexpr const char* kName = "rotaxis";
  static constexpr std::uint8_t kType = 1;
  // Half a turn, in the angle's steps.
  static constexpr std::uint32_t kHalfTurn = 256;
  static constexpr std::int32_t kNotSoftware = 1;

  std::uint8_t GetType() const override { return kType; }
  const char* GetName() const override { return kName; }
  std::int32_t Update(std::uint32_t now) override;
  // Finished at half a turn.
  std::int32_t GetState() const override { return angle_ == kHalfTurn ? kStateFinished : kStateRunning; }
  // The destination must be a software image (1 otherwise); 5 when the fill fails.
  std::int32_t Apply(const FilterApplyArea& area) override;
  // Arguments: duration, axis (0 and 1 vertical, turning either way; 2 and 3 horizontal). 5
  // without the trigonometric tables.
  std::int32_t SetParam(CImagePart* target, const PluginArgs& args) override;

  std::uint32_t Angle() const { return angle_; }

 private:
  std::uint32_t angle_ = 0;
  std::uint8_t axis_ = 0;
};
