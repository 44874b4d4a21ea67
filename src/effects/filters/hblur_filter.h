// "hblur": the picture change through a horizontal blur. Mode 0 blurs the old picture up to
// the radius, then sharpens the new one out of the same blur; the other modes cross-fade with a
// blur that is strongest half way.
#pragma once

#include <cstdint>

#include "effects/framework/timed_filter.h"

class CHBlurFilter : public CTimedFilter {
 public:
  static constexpr const char* kName = "hblur";
  static constexpr std::uint8_t kType = 1;
  static constexpr std::uint8_t kMaxRadius = 127;

  std::uint8_t GetType() const override { return kType; }
  const char* GetName() const override { return kName; }
  std::int32_t Update(std::uint32_t now) override;
  // Finished when the progress reaches the span.
  std::int32_t GetState() const override { return progress_ == span_ ? kStateFinished : kStateRunning; }
  // 5 when the cross-fade fails.
  std::int32_t Apply(const FilterApplyArea& area) override;
  // Arguments: duration, mode, radius (0 is 1, above 127 is 127). The span: 2 × radius + 1 in
  // mode 0, 255 otherwise.
  std::int32_t SetParam(CImagePart* target, const PluginArgs& args) override;

  std::int32_t Progress() const { return progress_; }
  std::int32_t Span() const { return span_; }
  std::uint8_t Radius() const { return radius_; }

 private:
  std::int32_t BlurThrough(const FilterApplyArea& area) const;
  std::int32_t BlurredFade(const FilterApplyArea& area) const;

  std::int32_t progress_ = 0;
  std::int32_t span_ = 0;
  std::uint8_t mode_ = 0;
  std::uint8_t radius_ = 1;
};
