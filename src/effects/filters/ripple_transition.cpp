#include "effects/filters/ripple_transition.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "effects/filters/ripple_rows.h"
#include "effects/framework/effect_args.h"
#include "gfx/image_operations/image_part.h"
#include "gfx/images/image.h"

namespace {

constexpr std::int32_t kDefaultAmplitude = 24;
constexpr std::int32_t kLargestAmplitude = 127;
// Turns per second × wave steps → rings per millisecond: 1 / (1000 × 2π).
constexpr double kRingsPerTurnMillisecond = 0.00015915494398817547;

std::int32_t Centre(std::int32_t given, std::int32_t size) {
  if (given < 0) return size >> 1;
  return std::min(given, size - 1);
}

std::int32_t WaveSteps(std::int32_t given) {
  return given == 16 || given == 32 || given == 64 || given == 128 ? given : 16;
}

}  // namespace

std::int32_t CRippleTransition::SetParam(CImagePart* target, const PluginArgs& args) {
  if (args.count == 0 || target == nullptr) return kMissingArgument;
  const CImage& image = *target->GetImage();
  if (target->GetDepth() != 32 || !image.HasPixels()) return kUnfitTarget;
  duration_ = ArgUnsigned(args, 0);
  if (duration_ < kShortestDuration) return kUnfitTarget;
  RippleKey key;
  key.width = image.GetWidth();
  key.height = image.GetHeight();
  key.centre_x = Centre(ArgInt(args, 1), key.width);
  key.centre_y = Centre(ArgInt(args, 2), key.height);
  key.steps = WaveSteps(ArgInt(args, 3));
  const auto factor = static_cast<float>(ArgDecimal(args, 4, 1.0));
  key.vertical_factor = factor > 0 && std::isfinite(factor) ? factor : 1.0f;
  speed_ = static_cast<float>(ArgDecimal(args, 5, 6.0));
  const std::int32_t amplitude = ArgInt(args, 6);
  key.amplitude = amplitude < 1 ? kDefaultAmplitude : std::min(amplitude, kLargestAmplitude);
  // Let go of the table of a setting before, so that a rebuild does not hold both.
  table_.reset();
  table_ = g_RippleTables.Acquire(key);
  // A new table may lie where the old one lay: the offsets of the old one's rows must go.
  offsets_ = CRippleReadOffsets{};
  started_ = true;
  return kAccepted;
}

std::int32_t CRippleTransition::Update(std::uint32_t now) {
  if (started_) {
    start_ = now;
    started_ = false;
  }
  const std::uint32_t e = now - start_;
  level_ = static_cast<std::int32_t>(std::min<std::uint64_t>(std::uint64_t{e} * 255 / duration_, 255));
  const RippleKey& key = table_->Key();
  const std::int32_t steps = key.steps;
  const double rings = std::trunc(e * static_cast<double>(speed_) * steps * kRingsPerTurnMillisecond);
  // A speed that is not a number, or one so large that the ring count leaves the integers,
  // stands still.
  const double place = std::isfinite(rings) ? std::fmod(rings, steps) : 0.0;
  phase_ = steps - std::max(static_cast<std::int32_t>(place), 0) - 1;
  const std::int32_t blocks = 4 * key.amplitude;
  const double height = std::trunc(std::sin(e * std::numbers::pi / duration_) * key.amplitude * 4.0);
  amplitude_step_ = static_cast<std::int32_t>(std::clamp(height, 0.0, static_cast<double>(blocks - 1)));
  return 0;
}

std::int32_t CRippleTransition::Apply(const FilterApplyArea& area) {
  const RippleKey& key = table_->Key();
  // Both pictures are read at the layer's own coordinates.
  for (const CImage* picture : {area.old_picture, area.new_picture}) {
    if (picture->GetBitsPerPixel() != 32 || picture->GetWidth() < key.width || picture->GetHeight() < key.height) {
      return kUnfitTarget;
    }
  }
  const CImage& destination = *area.destination;
  if (destination.GetBitsPerPixel() != 32) return kUnfitTarget;
  // The area cut to the layer and to where it lands in the destination.
  const std::int32_t shift_x = area.destination_x - area.x;
  const std::int32_t shift_y = area.destination_y - area.y;
  const std::int32_t left = std::max({area.x, 0, -shift_x});
  const std::int32_t right = std::min({area.x + area.width, key.width, destination.GetWidth() - shift_x});
  const std::int32_t top = std::max({area.y, 0, -shift_y});
  const std::int32_t bottom = std::min({area.y + area.height, key.height, destination.GetHeight() - shift_y});
  if (left >= right || top >= bottom) return 0;
  offsets_.Prepare(table_->WaveRows(amplitude_step_, phase_), key.steps * CRippleTable::kAngles,
                   area.old_picture->GetPitch() / 4, area.new_picture->GetPitch() / 4);
  for (std::int32_t y = top; y < bottom; ++y) ApplyRow(area, y, left, right);
  area.destination->MarkChanged({left + shift_x, top + shift_y, right + shift_x, bottom + shift_y});
  return 0;
}

// The row in up to six runs: on each side of the centre, which walks its distance row the
// other way, the fast rows where every displacement of the frame reads inside the picture and
// the edge-safe rows elsewhere.
void CRippleTransition::ApplyRow(const FilterApplyArea& area, std::int32_t y, std::int32_t left,
                                 std::int32_t right) const {
  const RippleKey& key = table_->Key();
  const std::int32_t cx = key.centre_x;
  const bool above = y < key.centre_y;
  const std::uint16_t* distance = table_->DistanceRow(above ? key.centre_y - y - 1 : y - key.centre_y);
  RippleRowJob job;
  job.old_pixels = reinterpret_cast<const std::uint32_t*>(area.old_picture->GetRowPointer(0));
  job.new_pixels = reinterpret_cast<const std::uint32_t*>(area.new_picture->GetRowPointer(0));
  job.old_stride = area.old_picture->GetPitch() / 4;
  job.new_stride = area.new_picture->GetPitch() / 4;
  job.width = key.width;
  job.height = key.height;
  job.wave = table_->WaveRows(amplitude_step_, phase_);
  job.y = y;
  job.dy_sign = above ? 1 : -1;
  job.level = static_cast<std::uint32_t>(level_);
  auto* row = reinterpret_cast<std::uint32_t*>(area.destination->GetRowPointer(y + area.destination_y - area.y));
  const std::int32_t shift_x = area.destination_x - area.x;
  const auto run = [&](std::int32_t start, std::int32_t end, bool forward, bool edge) {
    if (start >= end) return;
    job.destination = row + start + shift_x;
    job.distance = distance + (forward ? start - cx : cx - start - 1);
    job.offsets = offsets_.Table(forward, above);
    job.x = start;
    job.count = end - start;
    const RippleRow row_function = forward ? (edge ? &RippleRowForwardEdge : g_RippleKernel.forward)
                                           : (edge ? &RippleRowBackwardEdge : g_RippleKernel.backward);
    row_function(job);
  };
  // Above the centre a row reads y + dy, below it y − dy; left of the centre a column reads
  // x + dx, right of it x − dx.
  const RippleReach rows = offsets_.Rows();
  const RippleReach columns = offsets_.Columns();
  const bool row_inside = above ? y + rows.low >= 0 && y + rows.high < key.height
                                : y - rows.high >= 0 && y - rows.low < key.height;
  for (const bool forward : {false, true}) {
    const std::int32_t start = forward ? std::max(left, cx) : left;
    const std::int32_t end = forward ? right : std::min(right, cx);
    const std::int32_t inside_from = row_inside ? (forward ? columns.high : -columns.low) : end;
    const std::int32_t inside_to = forward ? key.width + columns.low : key.width - columns.high;
    const std::int32_t fast_from = std::clamp(inside_from, start, std::max(start, end));
    const std::int32_t fast_to = std::clamp(inside_to, fast_from, std::max(fast_from, end));
    run(start, fast_from, forward, true);
    run(fast_from, fast_to, forward, false);
    run(fast_to, end, forward, true);
  }
}
