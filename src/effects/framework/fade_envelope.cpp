#include "effects/framework/fade_envelope.h"

namespace {

std::uint32_t Part(std::uint32_t whole, std::uint32_t numerator, std::uint32_t denominator) {
  return static_cast<std::uint32_t>(std::uint64_t{whole} * numerator / denominator);
}

}  // namespace

bool CFadeEnvelope::StrengthAt(std::uint32_t elapsed, std::uint32_t& strength) {
  if (phase_ == kFadingIn) {
    if (elapsed < fade_in_) {
      strength = Part(full_, elapsed, fade_in_);
      return true;
    }
    phase_ = kHolding;
  }
  if (phase_ == kHolding) {
    if (hold_ == 0 || elapsed - fade_in_ < hold_) {
      strength = full_;
      return true;
    }
    phase_ = kFadeOutRequested;
    base_ = full_;
  }
  if (phase_ == kFadeOutRequested) {
    phase_ = kFadingOut;
    fade_out_start_ = elapsed;
  }
  const std::uint32_t since = elapsed - fade_out_start_;
  if (since >= fade_out_) return false;
  strength = base_ - Part(base_, since, fade_out_);
  return true;
}

std::int32_t CFadeEnvelope::RequestFadeOut(std::uint32_t reached) {
  if (phase_ >= kFadeOutRequested) return 1;
  base_ = phase_ == kFadingIn ? reached : full_;
  phase_ = kFadeOutRequested;
  return 0;
}
