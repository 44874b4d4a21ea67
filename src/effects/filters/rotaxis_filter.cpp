#include "effects/filters/rotaxis_filter.h"

#include <algorithm>
#include <cmath>

#include "base/numbers/trig_tables.h"
#include "effects/framework/effect_args.h"
#include "gfx/images/image.h"
#include "gfx/images/pixel_library.h"

std::int32_t CRotAxisFilter::SetParam(CImagePart* target, const PluginArgs& args) {
  std::int32_t status = AcceptTarget(target, args);
  if (status == kAccepted && (g_TrigTable == nullptr || !g_TrigTable->EnsureCosTable())) {
    started_ = false;
    status = kMissingTable;
  }
  axis_ = static_cast<std::uint8_t>(ArgUnsigned(args, 1));
  return status;
}

std::int32_t CRotAxisFilter::Update(std::uint32_t now) {
  angle_ = Ramp(now, kHalfTurn);
  return 0;
}

std::int32_t CRotAxisFilter::Apply(const FilterApplyArea& area) {
  CImage& destination = *area.destination;
  if (destination.GetKind() != ESurfaceKind::kImage) return kNotSoftware;
  // Past the quarter turn the picture is seen from the front again, never mirrored.
  const std::uint32_t turned = angle_ > kHalfTurn / 2 ? angle_ + kHalfTurn : angle_;
  const double c = g_TrigTable->double_cosine[turned & 511];
  const double s = g_TrigTable->double_cosine[(turned - 128) & 511];
  struct Point {
    double x, y;
  };
  // Top-left, top-right, bottom-left, bottom-right of the unit square.
  const Point corners[4] = {{-1, 1}, {1, 1}, {-1, -1}, {1, -1}};
  QuadCorners quad;
  for (std::size_t i = 0; i < 4; ++i) {
    double x = corners[i].x;
    double y = corners[i].y;
    double z = 0;
    switch (axis_) {
      case 0: z = -x * s; x *= c; break;
      case 1: z = x * s; x *= c; break;
      case 2: z = y * s; y *= c; break;
      default: z = -y * s; y *= c; break;
    }
    const double d = z + 2.0;
    quad[i].x = area.destination_x + static_cast<std::int32_t>(std::trunc((2 * x / d + 1.0) * area.width / 2));
    quad[i].y = area.destination_y + static_cast<std::int32_t>(std::trunc((1.0 - 2 * y / d) * area.height / 2));
  }
  const plat::Rect rect{area.destination_x, area.destination_y, area.destination_x + area.width,
                        area.destination_y + area.height};
  if (angle_ != 0 && angle_ != kHalfTurn) {
    // The whole area goes black first: the quad leaves the corners of its own box uncovered too.
    CPixelLibrary* library = ActivePixelLib();
    const PixelRoutineResult filled =
        library != nullptr ? library->Routines().fill32(destination, 0, &rect) : PixelRoutineResult{};
    if (!filled.ok) return kRoutineFailed;
    destination.MarkChanged(filled.changed);
  }
  const bool old_side = angle_ <= kHalfTurn / 2;
  CImage* source = old_side ? area.old_picture : area.new_picture;
  const std::int32_t source_x = old_side ? area.old_x : area.new_x;
  const std::int32_t source_y = old_side ? area.old_y : area.new_y;
  const plat::Rect from{source_x, source_y, source_x + area.width, source_y + area.height};
  destination.MapRectToQuad(source, quad, &from, &rect);
  return 0;
}
