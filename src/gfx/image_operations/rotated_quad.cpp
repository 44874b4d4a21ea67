#include "gfx/image_operations/rotated_quad.h"

#include <algorithm>
#include <cmath>

#include "base/numbers/trig_tables.h"
#include "pixel/formats/image_limits.h"

namespace {

// Far enough for any box an image can show, near enough that positions added to it stay in range.
constexpr double kFarthestBoxCorner = 1 << 30;

}  // namespace

bool ComputeRotatedQuad(const RotationRequest& request, RotatedQuad& out) {
  if (g_TrigTable == nullptr || !g_TrigTable->EnsureCosTable()) return false;
  const double scale = request.scale;
  if (!(scale > 0.0)) return false;
  constexpr uint32_t kMask = CTrigTables::kSteps - 1;
  // The table is read at the negated angle; unsigned, so that every angle negates.
  const uint32_t steps = (0u - static_cast<uint32_t>(request.angle)) & kMask;
  if (steps == 0 && scale == 1.0 && request.centre_x == 0 && request.centre_y == 0) return false;

  const double cosine = g_TrigTable->double_cosine[steps];
  const double sine = g_TrigTable->double_cosine[(steps - 128u) & kMask];
  const double centre_x = request.centre_x * scale;
  const double centre_y = request.centre_y * scale;
  const double right = request.width * scale;
  const double bottom = request.height * scale;
  const std::array<RotatedPoint, 4> unturned{{{0.0, 0.0}, {right, 0.0}, {right, bottom}, {0.0, bottom}}};
  std::array<RotatedPoint, 4> turned{};
  for (size_t i = 0; i < turned.size(); ++i) {
    const double dx = unturned[i].x - centre_x;
    const double dy = unturned[i].y - centre_y;
    turned[i] = {centre_x + dx * cosine - dy * sine, centre_y + dx * sine + dy * cosine};
  }

  const auto [min_x, max_x] = std::minmax({turned[0].x, turned[1].x, turned[2].x, turned[3].x});
  const auto [min_y, max_y] = std::minmax({turned[0].y, turned[1].y, turned[2].y, turned[3].y});
  // A scale or centre from outside data may ask for a box that no image holds or that lies
  // beyond what whole pixels count; it is refused before it is counted.
  const bool countable = max_x - min_x <= kMaxImageSide && max_y - min_y <= kMaxImageSide &&
                         std::abs(min_x) <= kFarthestBoxCorner && std::abs(min_y) <= kFarthestBoxCorner;
  if (!countable) return false;
  out.width = static_cast<int32_t>(max_x - min_x);
  out.height = static_cast<int32_t>(max_y - min_y);
  // Rounded down from the half, not toward zero, so that a box reaching left of or above the
  // origin still holds its corners.
  out.x = static_cast<int32_t>(std::floor(min_x + 0.5));
  out.y = static_cast<int32_t>(std::floor(min_y + 0.5));
  for (size_t i = 0; i < turned.size(); ++i) {
    out.corners[i] = {turned[i].x - out.x + request.x, turned[i].y - out.y + request.y};
  }
  return true;
}
