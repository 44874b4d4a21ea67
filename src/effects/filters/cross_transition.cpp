#include "effects/filters/cross_transition.h"

#include "effects/filters/filter_copy.h"

std::uint8_t FadeLevel(std::uint32_t elapsed, std::uint32_t duration) {
  const std::uint32_t level = (elapsed * 255u) / duration;
  return level >= 256 ? 255 : static_cast<std::uint8_t>(level);
}

std::int32_t CCrossTransition::Update(std::uint32_t now) {
  level_ = LatchStart(now) ? 0 : FadeLevel(Elapsed(now), duration_);
  return 0;
}

std::int32_t CCrossTransition::Apply(const FilterApplyArea& area) { return CrossFadePictures(area, level_); }
