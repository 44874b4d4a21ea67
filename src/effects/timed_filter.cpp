#include "effects/timed_filter.h"

#include <algorithm>

#include "effects/effect_args.h"
#include "gfx/image_part.h"

std::int32_t CTimedFilter::AcceptTarget(CImagePart* target, const PluginArgs& args) {
  if (target == nullptr || args.count == 0) return kMissingArgument;
  duration_ = ArgUnsigned(args, 0);
  if (duration_ == 0) return kMissingArgument;
  if (target->GetDepth() != 32) return kUnfitTarget;
  started_ = true;
  return kAccepted;
}

bool CTimedFilter::LatchStart(std::uint32_t now) {
  if (!started_) return false;
  started_ = false;
  start_ = now;
  return true;
}

std::uint32_t CTimedFilter::Progress(std::uint32_t now, std::uint32_t span) const {
  const std::uint64_t elapsed = std::min(Elapsed(now), duration_);
  return static_cast<std::uint32_t>(elapsed * span / duration_);
}
