#include "effects/cross_transition.h"

#include "gfx/image.h"
#include "gfx/pixel_library.h"

std::uint8_t FadeLevel(std::uint32_t elapsed, std::uint32_t duration) {
  const std::uint32_t level = (elapsed * 255u) / duration;
  return level >= 256 ? 255 : static_cast<std::uint8_t>(level);
}

std::int32_t CCrossTransition::Update(std::uint32_t now) {
  level_ = LatchStart(now) ? 0 : FadeLevel(Elapsed(now), duration_);
  return 0;
}

std::int32_t CCrossTransition::Apply(const FilterApplyArea& area) {
  PixelCrossFadeArgs args;
  args.level = level_;
  args.area = {area.destination_x, area.destination_y, area.width, area.height};
  args.a = {area.old_x, area.old_y};
  args.b = {area.new_x, area.new_y};
  return area.destination->PixelLibBlendTwo(area.old_picture, area.new_picture, args) == 0 ? 0 : kRoutineFailed;
}
