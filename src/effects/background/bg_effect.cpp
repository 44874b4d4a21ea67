#include "effects/background/bg_effect.h"

#include "base/time/eased_time.h"
#include "base/time/timer_manager.h"
#include "scene/drawables/motion_curves.h"

std::uint32_t CBgEffect::ElapsedAt(std::uint32_t now) {
  if (start_time_ == 0) start_time_ = now;
  return now - start_time_;
}

bool CBgEffect::AddTo(CTimerManager& manager, bool lower_priority) {
  if (manager.Add(this, 0, 0, 0) != CTimerManager::kAdded) return false;
  if (lower_priority) LowerPriority();
  return true;
}

void CBgEffect::OnResumed(std::uint32_t paused_span) {
  if (start_time_ != 0) start_time_ += paused_span;
}

double EasedFraction(std::uint32_t elapsed, std::uint32_t duration, double acceleration) {
  if (duration == 0) return 1.0;
  // The eased time stays within the duration, so that the end of the curve is its end.
  return static_cast<double>(EaseElapsed(elapsed, duration, acceleration)) / duration;
}

std::int32_t Interpolate(std::int32_t from, std::int32_t to, double t) {
  return TruncateToInt32(from + (static_cast<double>(to) - from) * t);
}
