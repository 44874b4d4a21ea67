#include "effects/framework/timed_filter.h"

#include <algorithm>

#include "effects/framework/effect_args.h"
#include "gfx/image_operations/image_part.h"

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

std::uint32_t CTimedFilter::Ramp(std::uint32_t now, std::uint32_t full) {
  if (LatchStart(now)) return 0;
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t{Elapsed(now)} * full / duration_, full));
}
