// "tone": a one-picture filter that tints its part's picture with a colour, the level rising
// from 0 to 255 over the duration (the picture covered by the colour at 255), or falling from
// 255 to 0 in reverse.
#pragma once

#include <cstdint>

#include "effects/framework/timed_filter.h"

class CToneFilter : public CTimedFilter {
 public:
  static constexpr const char* kName = "tone";
  static constexpr std::uint8_t kType = 2;

  std::uint8_t GetType() const override { return kType; }
  const char* GetName() const override { return kName; }
  // A reversed tone starts at 255, as it would otherwise report its end at the first frame.
  std::int32_t Update(std::uint32_t now) override;
  // Finished at 255, or at 0 in reverse.
  std::int32_t GetState() const override;
  // 5 when a routine fails.
  std::int32_t Apply(const FilterApplyArea& area) override;
  // Arguments: duration, colour (0xAARRGGBB), reverse (non-zero).
  std::int32_t SetParam(CImagePart* target, const PluginArgs& args) override;

  std::uint8_t Level() const { return level_; }

 private:
  std::uint8_t level_ = 0;
  bool reverse_ = false;
  std::uint32_t colour_ = 0;
};
