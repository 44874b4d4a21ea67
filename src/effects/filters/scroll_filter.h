// "scroll": the new picture slides in over the old one, the old one slides out from over the
// new one, or both move together, in one of four directions, optionally fading, the motion eased
// by an acceleration.
#pragma once

#include <cstdint>

#include "effects/framework/timed_filter.h"

class CScrollFilter : public CTimedFilter {
 public:
  static constexpr const char* kName = "scroll";
  static constexpr std::uint8_t kType = 0;
  // Directions: the way the pictures move.
  static constexpr std::uint8_t kRight = 0;
  static constexpr std::uint8_t kDown = 1;
  static constexpr std::uint8_t kLeft = 2;
  static constexpr std::uint8_t kUp = 3;
  // Motions.
  static constexpr std::uint8_t kNewSlidesIn = 0;
  static constexpr std::uint8_t kOldSlidesOut = 1;
  static constexpr std::uint8_t kBothMove = 2;

  std::uint8_t GetType() const override { return kType; }
  const char* GetName() const override { return kName; }
  std::int32_t Update(std::uint32_t now) override;
  // Finished when the position reaches the distance.
  std::int32_t GetState() const override { return position_ == distance_ ? kStateFinished : kStateRunning; }
  std::int32_t Apply(const FilterApplyArea& area) override;
  // Arguments: duration, direction (0 right, 1 down, 2 left, 3 up; another counts as 0), kind
  // (0 to 2 the motion without fading; 3 and above fading, with the old picture sliding out for
  // 4 and the new one sliding in otherwise), acceleration (decimal text, null 0). The distance
  // is the part's width for horizontal directions, its height for vertical ones.
  std::int32_t SetParam(CImagePart* target, const PluginArgs& args) override;

  std::uint32_t Position() const { return position_; }
  std::uint8_t Motion() const { return motion_; }
  bool Fading() const { return fade_; }
  std::uint8_t FadeLevel() const { return fade_level_; }

 private:
  bool Horizontal() const { return direction_ == kRight || direction_ == kLeft; }

  std::uint32_t position_ = 0;
  std::uint32_t distance_ = 0;
  std::uint8_t direction_ = kRight;
  std::uint8_t motion_ = kNewSlidesIn;
  bool fade_ = false;
  std::uint8_t fade_level_ = 0;
  double acceleration_ = 0.0;
};
