// What the built-in transitions and filters share: a duration read as their first argument,
// a start time latched by the first update after the set-up, and the checks of the part they
// work on.
#pragma once

#include <cstdint>

#include "effects/framework/trans_callback.h"

class CTimedFilter : public CTransCallback {
 protected:
  // The common checks: a part and arguments, a duration other than 0 (1 otherwise), a part of
  // 32 bits (2 otherwise). On acceptance the filter waits for its first update.
  std::int32_t AcceptTarget(CImagePart* target, const PluginArgs& args);
  // True once, at the first update after the set-up, with `now` taken as the start.
  bool LatchStart(std::uint32_t now);
  // Milliseconds since the start (unsigned, as the clock wraps).
  std::uint32_t Elapsed(std::uint32_t now) const { return now - start_; }
  // Where a value rising from 0 to `full` over the duration stands at `now`: 0 at the first
  // update, `full` from the end on.
  std::uint32_t Ramp(std::uint32_t now, std::uint32_t full);

  std::uint32_t duration_ = 0;
  std::uint32_t start_ = 0;
  bool started_ = false;
};
