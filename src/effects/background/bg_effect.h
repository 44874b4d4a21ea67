// The shape shared by the effects that animate the background of a canvas's layer: their kind
// and type, a clock that starts at the first update and moves on by every paused span, and the
// last step of their set-up.
#pragma once

#include <cstdint>

#include "effects/framework/effect.h"

class CTimerManager;

class CBgEffect : public CEffect {
 public:
  static constexpr std::uint8_t kType = 0;

  std::uint32_t GetTypeId() const override { return kTimedTaskBackgroundEffect; }
  std::uint8_t GetType() const override { return kType; }

 protected:
  // The time since the first update, which starts the clock.
  std::uint32_t ElapsedAt(std::uint32_t now);
  // Moves the clock past `periods` whole periods of `period` ms.
  void SkipPeriods(std::uint32_t periods, std::uint32_t period) { start_time_ += periods * period; }
  // Hands the effect to the manager, then lowers the priority when asked: true when the manager
  // took it.
  bool AddTo(CTimerManager& manager, bool lower_priority);

 private:
  void OnResumed(std::uint32_t paused_span) override;

  // 0: not started yet.
  std::uint32_t start_time_ = 0;
};

// How far along an eased motion of `duration` ms stands after `elapsed` ms (0 to 1): the elapsed
// time eased by the acceleration and truncated to whole milliseconds.
double EasedFraction(std::uint32_t elapsed, std::uint32_t duration, double acceleration);

// The point at t of the way from `from` to `to`, truncated toward zero.
std::int32_t Interpolate(std::int32_t from, std::int32_t to, double t);
