// "cross": the old picture fades into the new one, the level rising from 0 to 255 over the
// duration.
#pragma once

#include <cstdint>

#include "effects/framework/timed_filter.h"

// The level of a fade over `duration` at `elapsed`: (elapsed × 255) / duration in unsigned
// 32-bit arithmetic, as the clock counts, 255 from a quotient of 256 on.
std::uint8_t FadeLevel(std::uint32_t elapsed, std::uint32_t duration);

class CCrossTransition : public CTimedFilter {
 public:
  static constexpr const char* kName = "cross";
  static constexpr std::uint8_t kType = 0;

  std::uint8_t GetType() const override { return kType; }
  const char* GetName() const override { return kName; }
  std::int32_t Update(std::uint32_t now) override;
  // Finished once the level reaches 255.
  std::int32_t GetState() const override { return level_ == 255 ? kStateFinished : kStateRunning; }
  // The new picture over the old at the level; 5 when the routine fails.
  std::int32_t Apply(const FilterApplyArea& area) override;
  // Arguments: duration.
  std::int32_t SetParam(CImagePart* target, const PluginArgs& args) override { return AcceptTarget(target, args); }

  std::uint8_t Level() const { return level_; }

 protected:
  std::uint8_t level_ = 0;
};
