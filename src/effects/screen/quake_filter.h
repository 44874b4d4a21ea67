// "quake": shakes one picture by the quake rule; with border fill the strips that the shift
// uncovers are black, else they keep what the destination held.
#pragma once

#include <cstdint>

#include "effects/framework/trans_callback.h"
#include "effects/screen/quake_shake.h"

class CQuakeFilter : public CTransCallback {
 public:
  static constexpr const char* kName = "quake";
  static constexpr std::uint8_t kType = 2;
  static constexpr std::int32_t kNoRandomGenerator = 5;

  std::uint8_t GetType() const override { return kType; }
  const char* GetName() const override { return kName; }
  // The start is latched at the first update; at the end of the duration the shift is (0, 0).
  std::int32_t Update(std::uint32_t now) override;
  std::int32_t GetState() const override { return state_ == State::kFinished ? kStateFinished : kStateRunning; }
  std::int32_t Apply(const FilterApplyArea& area) override;
  // Arguments: count or period, amplitude x, amplitude y, duration (0 endless), decay text
  // (null 0.0), border fill. 5 without the script random generator.
  std::int32_t SetParam(CImagePart* target, const PluginArgs& args) override;

  QuakeShift Shift() const { return shift_; }

 private:
  enum class State : std::uint8_t { kNotStarted, kRunning, kFinished };

  CQuakeShake shake_;
  QuakeShift shift_;
  State state_ = State::kNotStarted;
  bool border_fill_ = false;
};
