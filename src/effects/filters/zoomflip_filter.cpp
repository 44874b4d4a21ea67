#include "effects/filters/zoomflip_filter.h"

#include <algorithm>

#include "effects/filters/filter_copy.h"
#include "effects/framework/effect_args.h"
#include "gfx/image_operations/image_part.h"
#include "gfx/images/image.h"

namespace {

constexpr std::int32_t kWhole = 256;
constexpr std::uint8_t kTrailLevel = 8;

// Stretches the whole picture (or its rectangle) into w × h at (x, y); nothing for an empty one.
void Stretch(CImage& destination, CImage& picture, std::uint8_t draw_mode, std::int32_t x, std::int32_t y,
             std::int32_t w, std::int32_t h, const plat::Rect* part, std::uint8_t level) {
  if (w <= 0 || h <= 0) return;
  if (part != nullptr && (part->left >= part->right || part->top >= part->bottom)) return;
  const ImageSize size{w, h};
  destination.PixelLibStretchBlend(&picture, 0, draw_mode, level, 0, &size, x, y, part);
}

}  // namespace

std::int32_t CZoomFlipFilter::SetParam(CImagePart* target, const PluginArgs& args) {
  const std::int32_t status = AcceptTarget(target, args);
  if (status != kAccepted) return status;
  mode_ = static_cast<std::uint8_t>(ArgUnsigned(args, 1));
  draw_mode_ = static_cast<std::uint8_t>(ArgUnsigned(args, 2));
  const CImage& image = *target->GetImage();
  switch (mode_) {
    case 0:
    case 2: span_ = image.GetWidth(); break;
    case 1:
    case 3: span_ = image.GetHeight(); break;
    case 6: span_ = kWhole; break;
    default: span_ = 2 * kWhole; break;
  }
  return kAccepted;
}

std::int32_t CZoomFlipFilter::Update(std::uint32_t now) {
  if (LatchStart(now)) last_drawn_ = -1;
  progress_ = static_cast<std::int32_t>(Ramp(now, static_cast<std::uint32_t>(std::max(span_, 0))));
  return 0;
}

std::int32_t CZoomFlipFilter::Apply(const FilterApplyArea& area) {
  const std::int32_t w = area.old_picture->GetWidth();
  const std::int32_t h = area.old_picture->GetHeight();
  const std::int32_t p = progress_;
  switch (mode_) {
    case 0: Slide(area, p, 0, w - p, h, 0, 0, p, h); break;
    case 1: Slide(area, 0, p, w, h - p, 0, 0, w, p); break;
    case 2: Slide(area, 0, 0, w - p, h, w - p, 0, p, h); break;
    case 3: Slide(area, 0, 0, w, h - p, 0, h - p, w, p); break;
    case 4: ZoomThrough(area, false); break;
    case 5: ZoomThrough(area, true); break;
    case 6:
      if (p < 255) CopyOldPicture(area);
      Zoom(area, *area.new_picture, p, static_cast<std::uint8_t>(std::min(p, 255)));
      break;
    default: break;
  }
  return 0;
}

void CZoomFlipFilter::Slide(const FilterApplyArea& area, std::int32_t old_x, std::int32_t old_y, std::int32_t old_w,
                            std::int32_t old_h, std::int32_t new_x, std::int32_t new_y, std::int32_t new_w,
                            std::int32_t new_h) {
  CImage& destination = *area.destination;
  Stretch(destination, *area.old_picture, draw_mode_, area.destination_x + old_x, area.destination_y + old_y, old_w,
          old_h, nullptr, 255);
  Stretch(destination, *area.new_picture, draw_mode_, area.destination_x + new_x, area.destination_y + new_y, new_w,
          new_h, nullptr, 255);
}

void CZoomFlipFilter::Zoom(const FilterApplyArea& area, CImage& picture, std::int32_t size, std::uint8_t level) {
  const std::int32_t w = area.old_picture->GetWidth();
  const std::int32_t h = area.old_picture->GetHeight();
  const auto part_w = static_cast<std::int32_t>((std::int64_t{size} * w) >> 8);
  const auto part_h = static_cast<std::int32_t>((std::int64_t{size} * h) >> 8);
  const std::int32_t left = (w - part_w) >> 1;
  const std::int32_t top = (h - part_h) >> 1;
  const plat::Rect part{left, top, left + part_w, top + part_h};
  Stretch(*area.destination, picture, draw_mode_, area.destination_x, area.destination_y, w, h, &part, level);
}

// The old picture's centre grows to fill the area over the first half, then the new picture
// shrinks from its centre back to the whole. With trails a frame repeats nothing and lies
// faintly over the ones before, save the whole pictures at both ends.
void CZoomFlipFilter::ZoomThrough(const FilterApplyArea& area, bool trails) {
  const std::int32_t p = progress_;
  if (trails && p == last_drawn_) return;
  const bool old_half = p <= kWhole;
  const std::int32_t size = old_half ? std::max(kWhole - p, 1) : p - kWhole;
  const std::uint8_t level = trails && last_drawn_ != -1 && size != kWhole ? kTrailLevel : 255;
  if (trails) last_drawn_ = p;
  Zoom(area, old_half ? *area.old_picture : *area.new_picture, size, level);
}
