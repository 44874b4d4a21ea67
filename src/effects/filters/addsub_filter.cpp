#include "effects/filters/addsub_filter.h"

#include "effects/filters/filter_copy.h"
#include "effects/framework/effect_args.h"
#include "gfx/images/image.h"

std::int32_t CAddSubFilter::SetParam(CImagePart* target, const PluginArgs& args) {
  const std::int32_t status = AcceptTarget(target, args);
  mode_ = static_cast<std::uint8_t>(ArgUnsigned(args, 1));
  return status;
}

std::int32_t CAddSubFilter::Update(std::uint32_t now) {
  level_ = static_cast<std::uint8_t>(Ramp(now, 255));
  return 0;
}

std::int32_t CAddSubFilter::Apply(const FilterApplyArea& area) {
  if (level_ == 255) {
    CopyNewPicture(area);
    return 0;
  }
  const bool into_new = (mode_ & 1) != 0;
  const std::uint32_t v = into_new ? 255u - level_ : level_;
  if (into_new) {
    CopyNewPicture(area);
  } else {
    CopyOldPicture(area);
  }
  const plat::Rect rect = DestinationRect(area);
  if (mode_ < 2) {
    area.destination->AddColor(v, v, v, &rect);
  } else {
    area.destination->SubtractColor(v, v, v, &rect);
  }
  return 0;
}
