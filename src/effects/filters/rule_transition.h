// "rule": the new picture appears over the old one in the order of an 8-bit rule image's values,
// with a soft edge, the level rising as the cross-fade's does.
#pragma once

#include <cstdint>

#include "base/lifetime/watched_ptr.h"
#include "effects/filters/cross_transition.h"

class CRuleTransition : public CCrossTransition {
 public:
  static constexpr const char* kName = "rule";

  const char* GetName() const override { return kName; }
  // The rule image is read at the area's own place; 5 when the routine fails.
  std::int32_t Apply(const FilterApplyArea& area) override;
  // Arguments: duration, rule image (an 8-bit image, not owned, else 2), vague (the width of the
  // soft edge in rule steps, passed on to the routine, which keeps it within 1 to 511).
  std::int32_t SetParam(CImagePart* target, const PluginArgs& args) override;

 private:
  // Null once the rule image ends: the filter then draws nothing.
  WatchedPtr<CImage, CImageInterface> rule_;
  std::uint32_t vague_ = 0;
};
