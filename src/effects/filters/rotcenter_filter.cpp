#include "effects/filters/rotcenter_filter.h"

#include "base/numbers/trig_tables.h"
#include "effects/filters/filter_copy.h"
#include "effects/framework/effect_args.h"
#include "gfx/images/image.h"
#include "gfx/images/pixel_library.h"

namespace {

constexpr std::uint8_t kTrailLevel = 16;
constexpr std::int32_t kSmallestSide = 2;

}  // namespace

std::int32_t CRotCenterFilter::SetParam(CImagePart* target, const PluginArgs& args) {
  if (g_TrigTable == nullptr || !g_TrigTable->EnsureCosTable()) return kMissingTable;
  const std::int32_t status = AcceptTarget(target, args);
  direction_ = static_cast<std::uint8_t>(ArgUnsigned(args, 1));
  draw_mode_ = static_cast<std::uint8_t>(ArgUnsigned(args, 2));
  return status;
}

std::int32_t CRotCenterFilter::Update(std::uint32_t now) {
  if (LatchStart(now)) last_drawn_ = -1;
  angle_ = static_cast<std::int32_t>(Ramp(now, kTurn));
  return 0;
}

std::int32_t CRotCenterFilter::Apply(const FilterApplyArea& area) {
  std::int32_t a = angle_;
  const bool turn_away = direction_ == 1;
  if (turn_away) a = kTurn - a;
  std::uint8_t level = 255;
  if (direction_ == 2) {
    if (a == last_drawn_) return 0;
    if (last_drawn_ != -1 && a != kTurn) level = kTrailLevel;
    last_drawn_ = a;
  }
  if (level == 255) {
    if (turn_away) {
      CopyNewPicture(area);
    } else {
      CopyOldPicture(area);
    }
  }
  const auto w = static_cast<std::int32_t>((std::int64_t{area.width} * a) >> 9);
  const auto h = static_cast<std::int32_t>((std::int64_t{area.height} * a) >> 9);
  if (w < kSmallestSide || h < kSmallestSide) return 0;
  const double left = area.destination_x + ((area.width - w) >> 1);
  const double top = area.destination_y + ((area.height - h) >> 1);
  const double cx = left + w / 2.0;
  const double cy = top + h / 2.0;
  const double c = g_TrigTable->double_cosine[a & 511];
  const double s = g_TrigTable->double_cosine[(a - 128) & 511];
  const auto turned = [&](double x, double y) {
    return ParallelogramPoint{c * (x - cx) - s * (y - cy) + cx, s * (x - cx) + c * (y - cy) + cy};
  };
  CImage* picture = turn_away ? area.old_picture : area.new_picture;
  const std::int32_t x = turn_away ? area.old_x : area.new_x;
  const std::int32_t y = turn_away ? area.old_y : area.new_y;
  const plat::Rect part{x, y, x + area.width, y + area.height};
  PixelTransformArgs args;
  args.points[0] = turned(left, top);
  args.points[1] = turned(left + w, top);
  args.points[2] = turned(left, top + h);
  args.src_rect = &part;
  args.level = level;
  args.mode = draw_mode_;
  area.destination->PixelLibTransform(picture, args);
  return 0;
}
