#include "effects/filters/hblur_filter.h"

#include <algorithm>

#include "effects/filters/filter_copy.h"
#include "effects/framework/effect_args.h"
#include "effects/framework/row_kernel_runner.h"
#include "gfx/images/image.h"
#include "pixel/kernels/box_blur_kernels.h"

namespace {

constexpr std::int32_t kFadeSpan = 255;

// The picture's area blurred along its rows with radius b onto the area's destination:
// written plainly at level 255, else blended over what the destination holds.
void WriteBlurred(const FilterApplyArea& area, const CImage& picture, std::int32_t x, std::int32_t y,
                  std::int32_t b, std::uint8_t level) {
  const plat::Rect rect{x, y, x + area.width, y + area.height};
  const WindowRowKernel kernel = [b, level](std::uint32_t* to, const std::uint32_t* from, std::int32_t to_skip,
                                            std::int32_t from_skip, std::int32_t width, std::int32_t height,
                                            std::int32_t left, std::int32_t right) {
    if (level == 255) {
      BoxBlurH32(to, from, to_skip, from_skip, width, height, left, right, b);
    } else {
      BoxBlurH32Level(to, from, to_skip, from_skip, width, height, left, right, b, level);
    }
  };
  if (RunWindowRowKernel(kernel, *area.destination, area.destination_x, area.destination_y, picture, rect)) {
    area.destination->MarkChanged(DestinationRect(area));
  }
}

}  // namespace

std::int32_t CHBlurFilter::SetParam(CImagePart* target, const PluginArgs& args) {
  const std::int32_t status = AcceptTarget(target, args);
  mode_ = static_cast<std::uint8_t>(ArgUnsigned(args, 1));
  radius_ = static_cast<std::uint8_t>(std::clamp<std::uint32_t>(ArgUnsigned(args, 2) & 0xFF, 1, kMaxRadius));
  span_ = mode_ == 0 ? 2 * radius_ + 1 : kFadeSpan;
  return status;
}

std::int32_t CHBlurFilter::Update(std::uint32_t now) {
  progress_ = static_cast<std::int32_t>(Ramp(now, static_cast<std::uint32_t>(span_)));
  return 0;
}

std::int32_t CHBlurFilter::Apply(const FilterApplyArea& area) {
  return mode_ == 0 ? BlurThrough(area) : BlurredFade(area);
}

std::int32_t CHBlurFilter::BlurThrough(const FilterApplyArea& area) const {
  const bool new_side = progress_ > radius_;
  const std::int32_t b = new_side ? span_ - progress_ : progress_;
  if (b == 0) {
    if (new_side) {
      CopyNewPicture(area);
    } else {
      CopyOldPicture(area);
    }
  } else if (new_side) {
    WriteBlurred(area, *area.new_picture, area.new_x, area.new_y, b, 255);
  } else {
    WriteBlurred(area, *area.old_picture, area.old_x, area.old_y, b, 255);
  }
  return 0;
}

std::int32_t CHBlurFilter::BlurredFade(const FilterApplyArea& area) const {
  const std::int32_t p = progress_;
  const std::int32_t weight = radius_ * (p < 128 ? p : kFadeSpan - p);
  const std::int32_t b = weight / kMaxRadius;
  const auto level = static_cast<std::uint8_t>(p);
  if (b == 0) return CrossFadePictures(area, level);
  CopyOldPicture(area);
  WriteBlurred(area, *area.new_picture, area.new_x, area.new_y, b, level);
  return 0;
}
