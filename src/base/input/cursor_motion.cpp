#include "base/input/cursor_motion.h"

#include <algorithm>
#include <memory>

#include "base/time/eased_time.h"
#include "base/time/timer_manager.h"

int32_t CCursorMotion::Start(CTimerManager& timers, CursorMotionHost& host, int32_t x, int32_t y, uint32_t duration,
                             double curve, uint8_t mode, CCursorMotion** started) {
  if (started != nullptr) *started = nullptr;
  const plat::Point target = host.GameToScreen(plat::Point{x, y});
  if (!host.IsActive()) {
    if (mode != kCursorMotionAlways) return -1;
    host.SetCursorPos(target);
    return 0;
  }
  timers.RemoveByKind(kTimedTaskCursorMove);
  std::unique_ptr<CCursorMotion> motion(new CCursorMotion(host, host.GetCursorPos(), target, duration, curve, mode));
  if (timers.Add(motion.get(), 0, 0, 0) != CTimerManager::kAdded) return 2;
  CCursorMotion* const running = motion.release();
  if (started != nullptr) *started = running;
  return 0;
}

CCursorMotion::CCursorMotion(CursorMotionHost& host, plat::Point from, plat::Point to, uint32_t duration, double curve,
                             uint8_t mode)
    : host_(host), from_(from), to_(to), duration_(duration), curve_(curve), mode_(mode) {}

uint32_t CCursorMotion::Update(uint32_t now) {
  if (!started_) {
    started_ = true;
    start_ = now;
  }
  const uint32_t elapsed = std::min(now - start_, duration_);
  const int64_t t = EaseElapsed(elapsed, duration_, curve_);
  if (MayMove()) {
    const auto along = [&](int32_t from, int32_t to) {
      // The way from one end of the range toward the other is wider than a coordinate holds.
      return duration_ == 0 ? to : static_cast<int32_t>(from + (int64_t{to} - from) * t / duration_);
    };
    host_.SetCursorPos(plat::Point{along(from_.x, to_.x), along(from_.y, to_.y)});
  }
  return elapsed >= duration_ ? 1 : 0;
}

void CCursorMotion::Stop() {
  if (mode_ == kCursorMotionWhileActive) return;
  if (MayMove()) host_.SetCursorPos(to_);
}
