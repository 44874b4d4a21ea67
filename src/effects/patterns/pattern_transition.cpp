#include "effects/patterns/pattern_transition.h"

#include <algorithm>

#include "effects/framework/effect_args.h"
#include "effects/framework/row_kernel_runner.h"
#include "effects/patterns/transition_patterns.h"
#include "gfx/images/image.h"

std::int32_t CPatternTransition::SetParam(CImagePart* target, const PluginArgs& args) {
  const std::int32_t status = AcceptTarget(target, args);
  pattern_ = static_cast<std::uint8_t>(ArgUnsigned(args, 1));
  reverse_ = ArgFlag(args, 2);
  return status;
}

std::int32_t CPatternTransition::Update(std::uint32_t now) {
  const std::uint32_t progress = Ramp(now, kFullLevel);
  level_ = reverse_ ? kFullLevel - progress : progress;
  return 0;
}

std::int32_t CPatternTransition::GetState() const {
  return level_ == (reverse_ ? 0 : kFullLevel) ? kStateFinished : kStateRunning;
}

std::int32_t CPatternTransition::Apply(const FilterApplyArea& area) {
  const plat::Rect rect{area.x, area.y, area.x + area.width, area.y + area.height};
  if (RunRowKernel(RowCopyKernel(), *area.destination, area.x, area.y, *area.old_picture, rect)) {
    area.destination->MarkChanged(rect);
  }
  const std::int32_t status = DrawTransitionPattern(pattern_, area.destination, area.new_picture,
                                                    static_cast<std::int32_t>(level_), area.x, area.y, 0, nullptr);
  return status == 0 ? 0 : kRoutineFailed;
}
