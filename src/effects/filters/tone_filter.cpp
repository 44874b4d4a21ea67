#include "effects/filters/tone_filter.h"

#include <algorithm>

#include "effects/framework/effect_args.h"
#include "effects/framework/row_kernel_runner.h"
#include "gfx/images/image.h"
#include "gfx/images/pixel_library.h"

std::int32_t CToneFilter::SetParam(CImagePart* target, const PluginArgs& args) {
  const std::int32_t status = AcceptTarget(target, args);
  colour_ = ArgUnsigned(args, 1);
  reverse_ = ArgFlag(args, 2);
  return status;
}

std::int32_t CToneFilter::Update(std::uint32_t now) {
  const auto level = static_cast<std::uint8_t>(Ramp(now, 255));
  level_ = static_cast<std::uint8_t>(reverse_ ? 255 - level : level);
  return 0;
}

std::int32_t CToneFilter::GetState() const {
  return level_ == (reverse_ ? 0 : 255) ? kStateFinished : kStateRunning;
}

std::int32_t CToneFilter::Apply(const FilterApplyArea& area) {
  CPixelLibrary* library = ActivePixelLib();
  if (library == nullptr) return kRoutineFailed;
  const plat::Rect rect{area.x, area.y, area.x + area.width, area.y + area.height};
  CImage& destination = *area.destination;
  PixelRoutineResult result{true, {}};
  if (level_ == 255) {
    result = library->Routines().fill32(destination, colour_, &rect);
  } else {
    if (RunRowKernel(RowCopyKernel(), destination, area.x, area.y, *area.old_picture, rect)) {
      destination.MarkChanged(rect);
    }
    if (level_ != 0) result = library->Routines().blend_colour(destination, PixelColourArgs{colour_, level_, &rect, 0});
  }
  if (!result.ok) return kRoutineFailed;
  destination.MarkChanged(result.changed);
  return 0;
}
