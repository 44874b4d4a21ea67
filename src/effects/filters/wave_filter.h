// "wave": the rows of the picture swing sideways on a cosine wave whose amplitude swells to its
// height at half time and dies away by the end, while the old picture fades into the new one;
// the gap a row leaves takes a colour that moves from one colour to another.
#pragma once

#include <cstdint>

#include "effects/framework/timed_filter.h"

class CWaveFilter : public CTimedFilter {
 public:
  static constexpr const char* kName = "wave";
  static constexpr std::uint8_t kType = 0;

  std::uint8_t GetType() const override { return kType; }
  const char* GetName() const override { return kName; }
  // Computes the values from the first call on (the start is then 0 ms in).
  std::int32_t Update(std::uint32_t now) override;
  // Finished when the level reaches 255.
  std::int32_t GetState() const override { return level_ == 255 ? kStateFinished : kStateRunning; }
  // 5 when the row blend fails.
  std::int32_t Apply(const FilterApplyArea& area) override;
  // Arguments: duration (below 2: 2), mode (how the angle step runs: 0 with the wave, 1 falling,
  // 2 rising, 3 and above constant), amplitude in pixels, angle step per row, gap colour from
  // and to (0xAARRGGBB). 5 without the trigonometric table; 2 without an image.
  std::int32_t SetParam(CImagePart* target, const PluginArgs& args) override;

  std::int32_t AmplitudeNow() const { return amplitude_now_; }
  std::uint8_t Level() const { return level_; }
  std::uint32_t GapColour() const { return gap_colour_; }

 private:
  std::uint32_t half_duration_ = 1;
  std::int32_t layer_height_ = 0;
  std::uint32_t mode_ = 0;
  std::int32_t amplitude_ = 0;
  std::int32_t step_ = 0;
  std::uint32_t colour_from_ = 0;
  std::uint32_t colour_to_ = 0;
  std::int32_t amplitude_now_ = 0;
  std::int32_t step_now_ = 0;
  std::int64_t phase_ = 0;
  std::uint32_t elapsed_ = 0;
  std::uint8_t level_ = 0;
  std::uint32_t gap_colour_ = 0;
};
