#include "effects/background/bg_wave_effect.h"

#include <algorithm>
#include <cstring>

#include "base/numbers/trig_tables.h"
#include "effects/background/cache_fill.h"
#include "effects/background/zoom_source.h"
#include "effects/framework/background_canvas.h"
#include "scene/drawables/draw_layer.h"

namespace {

bool Covers(const CImage& background, const CImage& cache) {
  return cache.GetWidth() <= background.GetWidth() && cache.GetHeight() <= background.GetHeight();
}

}  // namespace

std::int32_t CBgWaveEffect::PrepareCache(CTimerManager* manager, void* target, bool fill) {
  if (g_TrigTable == nullptr) return kSetupNoTrigTables;
  layer_ = CanvasLayer(target);
  if (manager == nullptr || layer_ == nullptr) return kSetupNoBackground;
  CImage* background = Background();
  if (background == nullptr) return kSetupNoBackground;
  if (layer_->GetBackgroundCache() != nullptr) return kSetupCacheInUse;
  if (layer_->CreateBackgroundCache(false) != 0) return kSetupNoCache;
  const CImage& cache = *layer_->GetBackgroundCache();
  std::int32_t status = 0;
  if (cache.GetBitsPerPixel() != background->GetBitsPerPixel()) {
    status = kSetupNoCache;
  } else if (!Covers(*background, cache)) {
    status = kSetupCacheTooLarge;
  }
  if (status != 0) {
    layer_->ReleaseBackgroundCache();
    return status;
  }
  fill_ = fill;
  if (!fill) {
    const Origin origin = ClampedOrigin(*background);
    const plat::Rect span = ToRect({origin.x, origin.y, cache.GetWidth(), cache.GetHeight()});
    layer_->GetBackgroundCache()->Copy(background, 0, 0, &span, false);
  }
  return 0;
}

void CBgWaveEffect::SetTiming(std::uint32_t cycle, std::uint32_t phase_steps, const CFadeEnvelope& envelope) {
  cycle_ = std::max(cycle, 1u);
  phase_steps_ = phase_steps;
  envelope_ = envelope;
}

std::uint32_t CBgWaveEffect::Update(std::uint32_t now) {
  if (layer_ == nullptr) return 1;
  const std::uint32_t elapsed = ElapsedAt(now);
  std::uint32_t strength = 0;
  if (!envelope_.StrengthAt(elapsed, strength)) {
    ReleaseCache();
    return 1;
  }
  const auto phase = static_cast<std::uint32_t>(std::uint64_t{elapsed % cycle_} * phase_steps_ / cycle_);
  if (phase == last_phase_ && strength == last_strength_) return 0;
  last_phase_ = phase;
  last_strength_ = strength;
  Draw(phase, strength);
  return 0;
}

void CBgWaveEffect::Draw(std::uint32_t phase, std::uint32_t strength) {
  CImage* cache = layer_->GetBackgroundCache();
  const CImage* background = Background();
  // The layer's owner may have changed the picture since the set-up.
  if (cache == nullptr || background == nullptr || background->GetBitsPerPixel() != cache->GetBitsPerPixel() ||
      !Covers(*background, *cache)) {
    return;
  }
  const Origin origin = ClampedOrigin(*background);
  const std::int32_t width = cache->GetWidth();
  const std::int32_t height = cache->GetHeight();
  const std::int32_t bytes = cache->GetBitsPerPixel() / 8;
  const std::uint32_t fill_value = layer_->FillValue();
  for (std::int32_t y = 0; y < height; ++y) {
    std::uint8_t* out = cache->GetRowPointer(y);
    const RowSource source = SourceOf(y, phase, strength);
    if (source.row < 0 || source.row >= height) {
      if (fill_) FillPixels(out, width, bytes, fill_value);
      continue;
    }
    // The cache columns whose source column lies within the span.
    const std::int64_t offset = source.column_offset;
    const auto first = static_cast<std::int32_t>(std::clamp<std::int64_t>(-offset, 0, width));
    const auto end = static_cast<std::int32_t>(std::clamp<std::int64_t>(width - offset, first, width));
    const std::uint8_t* in = background->GetRowPointer(origin.y + static_cast<std::int32_t>(source.row)) + std::int64_t{origin.x} * bytes;
    if (end > first) {
      std::memcpy(out + std::int64_t{first} * bytes, in + (first + offset) * bytes,
                  static_cast<std::size_t>(end - first) * bytes);
    }
    if (fill_) {
      FillPixels(out, first, bytes, fill_value);
      FillPixels(out + std::int64_t{end} * bytes, width - end, bytes, fill_value);
    }
  }
  cache->MarkAllChanged();
  layer_->InvalidateAll();
}
