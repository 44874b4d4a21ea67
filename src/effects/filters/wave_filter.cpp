#include "effects/filters/wave_filter.h"

#include <algorithm>

#include "base/numbers/trig_tables.h"
#include "effects/framework/effect_args.h"
#include "gfx/image_operations/image_part.h"
#include "gfx/images/image.h"
#include "gfx/images/pixel_library.h"
#include "pixel/kernels/pixel_tables.h"

namespace {

// The cosine table entry of a 512-step angle.
std::int32_t Cosine(std::int64_t angle) { return g_TrigTable->cosine[static_cast<std::size_t>(angle & 511)]; }

// From `from` toward `to` by the weight (of 256), channel by channel; the alpha byte is from's.
std::uint32_t MoveColour(std::uint32_t from, std::uint32_t to, std::int32_t weight) {
  std::uint32_t colour = from & 0xFF000000u;
  for (const int shift : {16, 8, 0}) {
    const auto a = static_cast<std::int32_t>((from >> shift) & 0xFF);
    const auto b = static_cast<std::int32_t>((to >> shift) & 0xFF);
    colour |= static_cast<std::uint32_t>((((b - a) * weight) >> 8) + a) << shift;
  }
  return colour;
}

}  // namespace

std::int32_t CWaveFilter::SetParam(CImagePart* target, const PluginArgs& args) {
  std::int32_t status = AcceptTarget(target, args);
  if (status == kAccepted && g_TrigTable == nullptr) status = kMissingTable;
  if (status == kAccepted && !target->GetImage()->HasPixels()) status = kUnfitTarget;
  if (status != kAccepted) {
    started_ = false;
    return status;
  }
  duration_ = std::max(duration_, 2u);
  half_duration_ = duration_ / 2;
  layer_height_ = target->GetImage()->GetHeight();
  mode_ = ArgUnsigned(args, 1);
  amplitude_ = ArgInt(args, 2);
  step_ = ArgInt(args, 3);
  colour_from_ = ArgUnsigned(args, 4);
  colour_to_ = ArgUnsigned(args, 5);
  return kAccepted;
}

std::int32_t CWaveFilter::Update(std::uint32_t now) {
  LatchStart(now);
  const std::uint32_t e = Elapsed(now);
  elapsed_ = std::min(e, duration_);
  const std::uint32_t t = e < half_duration_ ? e : e < duration_ ? duration_ - e : 0;
  const std::int64_t u = std::int64_t{t} * 128 / half_duration_;
  const std::int64_t f = Cosine(u - 128);
  amplitude_now_ = static_cast<std::int32_t>((amplitude_ * f) >> 16);
  const std::int64_t step = step_;
  const std::int64_t duration = duration_;
  const std::int64_t elapsed = elapsed_;
  switch (mode_) {
    case 0: step_now_ = static_cast<std::int32_t>((step * f) >> 16); break;
    case 1: step_now_ = static_cast<std::int32_t>((duration - elapsed) * step / duration); break;
    case 2: step_now_ = static_cast<std::int32_t>(step * elapsed / duration); break;
    default: step_now_ = step_; break;
  }
  phase_ = mode_ <= 2 ? -(std::int64_t{layer_height_} / 2) * step_now_ : step * elapsed / duration * amplitude_;
  level_ = static_cast<std::uint8_t>(std::min<std::uint64_t>(std::uint64_t{elapsed_} * 255 / duration_, 255));
  gap_colour_ = MoveColour(colour_from_, colour_to_, g_PixelTables.weight[level_][0]);
  return 0;
}

std::int32_t CWaveFilter::Apply(const FilterApplyArea& area) {
  CPixelLibrary* library = ActivePixelLib();
  if (library == nullptr) return kRoutineFailed;
  CImage& destination = *area.destination;
  const std::int32_t width = destination.GetWidth();
  const std::int32_t left = area.x;
  const std::int32_t right = area.x + area.width;
  const auto column = [&](std::int32_t c) { return area.destination_x + (c - left); };
  std::int64_t angle = std::int64_t{area.y} * step_now_ + phase_;
  for (std::int32_t row = 0; row < area.height; ++row, angle += step_now_) {
    const std::int32_t to_y = area.destination_y + row;
    const std::int32_t old_y = area.old_y + row;
    const std::int32_t new_y = area.new_y + row;
    if (to_y < 0 || to_y >= destination.GetHeight() || old_y < 0 || old_y >= area.old_picture->GetHeight() ||
        new_y < 0 || new_y >= area.new_picture->GetHeight()) {
      continue;
    }
    const auto shift = static_cast<std::int32_t>((std::int64_t{Cosine((angle >> 9) - 128)} * amplitude_now_) >> 16);
    auto* to = reinterpret_cast<std::uint32_t*>(destination.GetRowPointer(to_y));
    const auto fill = [&](std::int32_t from, std::int32_t until) {
      for (std::int32_t c = from; c < until; ++c) {
        if (column(c) >= 0 && column(c) < width) to[column(c)] = gap_colour_;
      }
    };
    if (shift > 0) fill(std::max(0, left), std::min(shift, right));
    if (shift < 0) fill(std::max(width + shift, left), std::min(right, width));
    // Destination column c reads column c - shift of the pictures; the run is kept inside the
    // destination and both pictures.
    const std::int32_t old_shift = area.old_x - left - shift;
    const std::int32_t new_shift = area.new_x - left - shift;
    const std::int32_t from = std::max({shift, left, left - area.destination_x, -old_shift, -new_shift});
    const std::int32_t until = std::min({shift + width, right, width + left - area.destination_x,
                                         area.old_picture->GetWidth() - old_shift,
                                         area.new_picture->GetWidth() - new_shift});
    if (from >= until) continue;
    const auto* old_row = reinterpret_cast<const std::uint32_t*>(area.old_picture->GetRowPointer(old_y));
    const auto* new_row = reinterpret_cast<const std::uint32_t*>(area.new_picture->GetRowPointer(new_y));
    if (!library->Routines().row_blend(to + column(from), old_row + from + old_shift, new_row + from + new_shift,
                                       until - from, level_)) {
      return kRoutineFailed;
    }
  }
  destination.MarkChanged(plat::Rect{area.destination_x, area.destination_y, area.destination_x + area.width,
                                     area.destination_y + area.height});
  return 0;
}
