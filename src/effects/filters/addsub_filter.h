// "addsub": the picture change through white or black: modes 0 and 2 brighten (darken) the old
// picture until the new one takes over at the end, modes 1 and 3 come out of white (black) into
// the new picture.
#pragma once

#include <cstdint>

#include "effects/framework/timed_filter.h"

class CAddSubFilter : public CTimedFilter {
 public:
  static constexpr const char* kName = "addsub";
  static constexpr std::uint8_t kType = 0;

  std::uint8_t GetType() const override { return kType; }
  const char* GetName() const override { return kName; }
  std::int32_t Update(std::uint32_t now) override;
  // Finished at level 255.
  std::int32_t GetState() const override { return level_ == 255 ? kStateFinished : kStateRunning; }
  std::int32_t Apply(const FilterApplyArea& area) override;
  // Arguments: duration, mode (bit 0: into the new picture; 2 and above: through black).
  std::int32_t SetParam(CImagePart* target, const PluginArgs& args) override;

  std::uint8_t Level() const { return level_; }

 private:
  std::uint8_t level_ = 0;
  std::uint8_t mode_ = 0;
};
