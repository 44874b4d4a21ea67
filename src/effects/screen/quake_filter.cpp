#include "effects/screen/quake_filter.h"

#include "effects/framework/builtin_effect_services.h"
#include "effects/framework/effect_args.h"
#include "effects/framework/row_kernel_runner.h"
#include "gfx/image_operations/image_part.h"
#include "gfx/images/image.h"

std::int32_t CQuakeFilter::SetParam(CImagePart* target, const PluginArgs& args) {
  if (!HasEffectRandom()) return kNoRandomGenerator;
  if (args.count == 0 || target == nullptr) return kMissingArgument;
  if (target->GetDepth() != 32) return kUnfitTarget;
  shake_.Configure(ArgInt(args, 0), ArgInt(args, 1), ArgInt(args, 2), ArgUnsigned(args, 3), ArgDecimal(args, 4, 0.0));
  state_ = State::kNotStarted;
  shift_ = {};
  border_fill_ = ArgFlag(args, 5);
  return kAccepted;
}

std::int32_t CQuakeFilter::Update(std::uint32_t now) {
  if (state_ == State::kFinished) return 0;
  state_ = State::kRunning;
  const std::optional<QuakeShift> shift = shake_.Step(now, &DrawEffectRandom);
  if (!shift) state_ = State::kFinished;
  shift_ = shift.value_or(QuakeShift{});
  return 0;
}

std::int32_t CQuakeFilter::Apply(const FilterApplyArea& area) {
  CImage& destination = *area.destination;
  const CImage& picture = *area.old_picture;
  const plat::Rect whole{area.destination_x, area.destination_y, area.destination_x + area.width,
                         area.destination_y + area.height};
  plat::Rect source{area.old_x - shift_.dx, area.old_y - shift_.dy, 0, 0};
  source.right = source.left + area.width;
  source.bottom = source.top + area.height;
  plat::Rect shown = whole;
  if (source.left < 0) {
    shown.left -= source.left;
    source.left = 0;
  }
  if (source.top < 0) {
    shown.top -= source.top;
    source.top = 0;
  }
  if (source.right > picture.GetWidth()) {
    shown.right -= source.right - picture.GetWidth();
    source.right = picture.GetWidth();
  }
  if (source.bottom > picture.GetHeight()) {
    shown.bottom -= source.bottom - picture.GetHeight();
    source.bottom = picture.GetHeight();
  }
  const bool empty = source.left >= source.right || source.top >= source.bottom;
  // A shift beyond the area shows nothing of the picture: all of the area is border.
  if (empty) shown = {whole.left, whole.top, whole.left, whole.top};
  if (border_fill_) {
    const plat::Rect strips[4] = {
        {whole.left, whole.top, whole.right, shown.top},
        {whole.left, shown.top, shown.left, whole.bottom},
        {shown.right, shown.top, whole.right, whole.bottom},
        {shown.left, shown.bottom, shown.right, whole.bottom},
    };
    for (const plat::Rect& strip : strips) {
      if (strip.left < strip.right && strip.top < strip.bottom) destination.FillRect(0, 0, 0, &strip);
    }
  }
  if (!empty && RunRowKernel(RowCopyKernel(), destination, shown.left, shown.top, picture, source)) {
    destination.MarkChanged(shown);
  }
  return 0;
}
