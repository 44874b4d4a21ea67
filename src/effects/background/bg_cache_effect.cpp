#include "effects/background/bg_cache_effect.h"

#include <algorithm>

#include "effects/framework/background_canvas.h"
#include "scene/drawables/draw_layer.h"

void CBgCacheEffect::ReleaseCache() {
  if (layer_ == nullptr || layer_->GetBackgroundCache() == nullptr) return;
  layer_->ReleaseBackgroundCache();
  layer_->InvalidateAll();
}

CImage* CBgCacheEffect::Background() const { return LayerBackground(layer_); }

CBgCacheEffect::Origin CBgCacheEffect::ClampedOrigin(const CImage& background) const {
  Origin origin;
  layer_->GetBackground(nullptr, &origin.x, &origin.y, nullptr, nullptr, nullptr);
  const CImage* cache = layer_->GetBackgroundCache();
  const auto hold = [](std::int32_t offset, std::int32_t room) { return std::max(0, std::min(offset, room)); };
  origin.x = hold(origin.x, background.GetWidth() - cache->GetWidth());
  origin.y = hold(origin.y, background.GetHeight() - cache->GetHeight());
  return origin;
}

bool CBgCacheEffect::WithinPeriod(std::uint32_t& elapsed, std::uint32_t period, std::int32_t& loops) {
  if (elapsed < period) return true;
  if (loops > 0) {
    if (loops == 1) return false;
    --loops;
  }
  // Within the period, so that a step that lands on its end starts the next one.
  const std::uint32_t periods = elapsed / period;
  SkipPeriods(periods, period);
  elapsed -= periods * period;
  return true;
}
