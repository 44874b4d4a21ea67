#include "effects/filters/filter_copy.h"

#include "effects/framework/row_kernel_runner.h"
#include "gfx/images/image.h"
#include "gfx/images/pixel_library.h"

plat::Rect DestinationRect(const FilterApplyArea& area) {
  return {area.destination_x, area.destination_y, area.destination_x + area.width,
          area.destination_y + area.height};
}

void CopyPictureArea(const FilterApplyArea& area, const CImage& picture, std::int32_t x, std::int32_t y) {
  const plat::Rect rect{x, y, x + area.width, y + area.height};
  if (RunRowKernel(RowCopyKernel(), *area.destination, area.destination_x, area.destination_y, picture, rect)) {
    area.destination->MarkChanged(DestinationRect(area));
  }
}

std::int32_t CrossFadePictures(const FilterApplyArea& area, std::uint8_t level) {
  PixelCrossFadeArgs args;
  args.level = level;
  args.area = {area.destination_x, area.destination_y, area.width, area.height};
  args.a = {area.old_x, area.old_y};
  args.b = {area.new_x, area.new_y};
  const bool faded = area.destination->PixelLibBlendTwo(area.old_picture, area.new_picture, args) == 0;
  return faded ? CTransCallback::kAccepted : CTransCallback::kRoutineFailed;
}
