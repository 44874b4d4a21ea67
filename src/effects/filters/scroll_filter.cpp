#include "effects/filters/scroll_filter.h"

#include <algorithm>

#include "base/time/eased_time.h"
#include "effects/framework/effect_args.h"
#include "effects/framework/row_kernel_runner.h"
#include "gfx/image_operations/image_part.h"
#include "gfx/images/image.h"
#include "gfx/images/pixel_library.h"

namespace {

// A picture of the area record at its offset, with the rectangle it covers (the picture's own,
// maybe trimmed), in layer coordinates.
struct PlacedPicture {
  CImage* image;
  std::int32_t x;  // where the area's corner lies in the picture
  std::int32_t y;
  std::int32_t dx;
  std::int32_t dy;
  plat::Rect cover;
};

// Cuts `rect` where `cover` lies over it along the moving axis.
void TrimAlong(plat::Rect& rect, const plat::Rect& cover, bool horizontal) {
  if (horizontal) {
    if (cover.left > rect.left) {
      rect.right = std::min(rect.right, cover.left);
    } else {
      rect.left = std::max(rect.left, cover.right);
    }
  } else if (cover.top > rect.top) {
    rect.bottom = std::min(rect.bottom, cover.top);
  } else {
    rect.top = std::max(rect.top, cover.bottom);
  }
}

// Copies (or, with `blend`, blends at the level) the part of the picture inside the area.
bool DrawPart(const FilterApplyArea& area, const PlacedPicture& picture, bool blend, std::uint8_t level) {
  const plat::Rect part{std::max(picture.cover.left, area.x), std::max(picture.cover.top, area.y),
                        std::min(picture.cover.right, area.x + area.width),
                        std::min(picture.cover.bottom, area.y + area.height)};
  if (part.left >= part.right || part.top >= part.bottom) return true;
  const std::int32_t to_x = area.destination_x + (part.left - area.x);
  const std::int32_t to_y = area.destination_y + (part.top - area.y);
  const std::int32_t from_x = part.left - picture.dx + (picture.x - area.x);
  const std::int32_t from_y = part.top - picture.dy + (picture.y - area.y);
  const plat::Rect source{from_x, from_y, from_x + (part.right - part.left), from_y + (part.bottom - part.top)};
  CImage& destination = *area.destination;
  if (blend) return destination.PixelLibBlend(picture.image, kPixelBlendLevel, level, 0, to_x, to_y, &source) == 0;
  if (RunRowKernel(RowCopyKernel(), destination, to_x, to_y, *picture.image, source)) {
    destination.MarkChanged(plat::Rect{to_x, to_y, to_x + source.right - source.left,
                                       to_y + source.bottom - source.top});
  }
  return true;
}

}  // namespace

std::int32_t CScrollFilter::SetParam(CImagePart* target, const PluginArgs& args) {
  const std::int32_t status = AcceptTarget(target, args);
  if (status != kAccepted) return status;
  direction_ = ArgUnsigned(args, 1) <= kUp ? static_cast<std::uint8_t>(ArgUnsigned(args, 1)) : kRight;
  const std::uint32_t kind = ArgUnsigned(args, 2);
  fade_ = kind >= 3;
  motion_ = kind <= kBothMove ? static_cast<std::uint8_t>(kind) : kind == 4 ? kOldSlidesOut : kNewSlidesIn;
  acceleration_ = ArgDecimal(args, 3, 0.0);
  const CImage& image = *target->GetImage();
  distance_ = static_cast<std::uint32_t>(Horizontal() ? image.GetWidth() : image.GetHeight());
  return kAccepted;
}

std::int32_t CScrollFilter::Update(std::uint32_t now) {
  const std::uint32_t eased = LatchStart(now) ? 0 : EaseElapsed(Elapsed(now), duration_, acceleration_);
  position_ = static_cast<std::uint32_t>(std::uint64_t{distance_} * eased / duration_);
  if (fade_) {
    const auto level = static_cast<std::uint8_t>(std::uint64_t{eased} * 255 / duration_);
    fade_level_ = motion_ == kOldSlidesOut ? 255 - level : level;
  }
  return 0;
}

std::int32_t CScrollFilter::Apply(const FilterApplyArea& area) {
  const std::int32_t width = area.old_picture->GetWidth();
  const std::int32_t height = area.old_picture->GetHeight();
  const auto p = static_cast<std::int32_t>(position_);
  // Offsets of the old and the new picture, by direction and motion.
  std::int32_t old_dx = 0, old_dy = 0, new_dx = 0, new_dy = 0;
  std::int32_t& old_offset = Horizontal() ? old_dx : old_dy;
  std::int32_t& new_offset = Horizontal() ? new_dx : new_dy;
  const std::int32_t span = Horizontal() ? width : height;
  const bool forward = direction_ == kRight || direction_ == kDown;
  if (motion_ != kNewSlidesIn) old_offset = forward ? p : -p;
  if (motion_ != kOldSlidesOut) new_offset = forward ? p - span : span - p;

  PlacedPicture old_picture{area.old_picture, area.old_x, area.old_y, old_dx, old_dy,
                            plat::Rect{old_dx, old_dy, old_dx + width, old_dy + height}};
  PlacedPicture new_picture{area.new_picture, area.new_x, area.new_y, new_dx, new_dy,
                            plat::Rect{new_dx, new_dy, new_dx + width, new_dy + height}};
  if (fade_ && motion_ == kOldSlidesOut) {
    const bool ok = DrawPart(area, new_picture, false, 255) && DrawPart(area, old_picture, true, fade_level_);
    return ok ? 0 : kRoutineFailed;
  }
  if (!fade_ && motion_ == kOldSlidesOut) TrimAlong(new_picture.cover, old_picture.cover, Horizontal());
  if (!fade_ && motion_ == kNewSlidesIn) TrimAlong(old_picture.cover, new_picture.cover, Horizontal());
  const bool ok = DrawPart(area, old_picture, false, 255) && DrawPart(area, new_picture, fade_, fade_level_);
  return ok ? 0 : kRoutineFailed;
}
