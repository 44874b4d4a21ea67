// "ripple": the picture change through circular waves that run outward from a centre while the
// two pictures cross-fade; the waves grow from nothing to full height at half time and die
// away at the end, where the new picture stands alone.
#pragma once

#include <cstdint>
#include <memory>

#include "effects/filters/ripple_rows.h"
#include "effects/filters/ripple_table.h"
#include "effects/framework/trans_callback.h"

class CRippleTransition : public CTransCallback {
 public:
  static constexpr const char* kName = "ripple";
  static constexpr std::uint8_t kType = 0;
  static constexpr std::uint32_t kShortestDuration = 2;

  std::uint8_t GetType() const override { return kType; }
  const char* GetName() const override { return kName; }
  // The start is latched at the first update after the set-up.
  std::int32_t Update(std::uint32_t now) override;
  // Finished at level 255.
  std::int32_t GetState() const override { return level_ == 255 ? kStateFinished : kStateRunning; }
  std::int32_t Apply(const FilterApplyArea& area) override;
  // Arguments: duration (below 2: refused with 2), centre x and y (negative: the middle; past
  // the picture: its last column or row), wave steps (16, 32, 64 or 128; else 16), vertical
  // factor text (null, not above 0 or not finite: 1.0), speed text (null: 6.0), amplitude
  // (below 1: 24; above 127: 127). The layer must have a 32-bit image (2 otherwise).
  std::int32_t SetParam(CImagePart* target, const PluginArgs& args) override;

  const CRippleTable* Table() const { return table_.get(); }
  std::int32_t Level() const { return level_; }
  std::int32_t Phase() const { return phase_; }
  std::int32_t AmplitudeStep() const { return amplitude_step_; }
  float Speed() const { return speed_; }

 private:
  void ApplyRow(const FilterApplyArea& area, std::int32_t y, std::int32_t left, std::int32_t right) const;

  std::uint32_t duration_ = 0;
  bool started_ = false;
  std::uint32_t start_ = 0;
  float speed_ = 6.0f;
  std::shared_ptr<const CRippleTable> table_;
  std::int32_t level_ = 0;
  std::int32_t phase_ = 0;
  std::int32_t amplitude_step_ = 0;
  CRippleReadOffsets offsets_;
};
