// "mosaic": the old picture breaks into growing blocks until half time, where the new picture
// takes over in blocks of the largest size, which then shrink back to the plain picture.
#pragma once

#include <cstdint>

#include "effects/framework/timed_filter.h"

class CMosaicFilter : public CTimedFilter {
 public:
  static constexpr const char* kName = "mosaic";
  static constexpr std::uint8_t kType = 1;
  // Where the whole blocks are aligned: 0 centred, 1 top-left, 2 right, 3 bottom, 4 bottom-right.
  static constexpr std::uint8_t kLastAnchor = 4;

  std::uint8_t GetType() const override { return kType; }
  const char* GetName() const override { return kName; }
  std::int32_t Update(std::uint32_t now) override;
  // Finished when the block value reaches its target.
  std::int32_t GetState() const override { return value_ == target_ ? kStateFinished : kStateRunning; }
  std::int32_t Apply(const FilterApplyArea& area) override;
  // Arguments: duration, anchor (above 4: 0), largest block (below 1: 1), keep aspect (non-zero).
  std::int32_t SetParam(CImagePart* target, const PluginArgs& args) override;

  std::int32_t Value() const { return value_; }
  std::int32_t Target() const { return target_; }

 private:
  std::int32_t value_ = 0;
  std::int32_t target_ = 2;
  std::uint8_t anchor_ = 0;
  bool keep_aspect_ = false;
};
