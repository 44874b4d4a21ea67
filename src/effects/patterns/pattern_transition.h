// "trans": the new picture drawn over the old one through one of the numbered transition
// patterns, the level running from 0 to 256 over the duration, or back from 256 to 0.
#pragma once

#include <cstdint>

#include "effects/framework/timed_filter.h"

class CPatternTransition : public CTimedFilter {
 public:
  static constexpr const char* kName = "trans";
  static constexpr std::uint8_t kType = 1;
  static constexpr std::uint32_t kFullLevel = 256;

  std::uint8_t GetType() const override { return kType; }
  const char* GetName() const override { return kName; }
  std::int32_t Update(std::uint32_t now) override;
  // Finished at the level it runs to: 256, or 0 in reverse.
  std::int32_t GetState() const override;
  // The old picture copied, then the pattern drawn with the new one; 5 when the pattern fails.
  std::int32_t Apply(const FilterApplyArea& area) override;
  // Arguments: duration, pattern number, reverse (non-zero).
  std::int32_t SetParam(CImagePart* target, const PluginArgs& args) override;

  std::uint32_t Level() const { return level_; }

 private:
  std::uint32_t level_ = 0;
  std::uint8_t pattern_ = 0;
  bool reverse_ = false;
};
