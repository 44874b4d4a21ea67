#include "effects/background/bg_loop_effect.h"

#include <algorithm>

#include "effects/framework/background_canvas.h"
#include "effects/framework/effect_args.h"
#include "scene/drawables/draw_layer.h"

std::int32_t CBgLoopEffect::Setup(CTimerManager* manager, void* target, const PluginArgs& args) {
  layer_ = CanvasLayer(target);
  if (manager == nullptr || layer_ == nullptr) return kSetupNoBackground;
  const CImage* background = Background();
  if (background == nullptr) return kSetupNoBackground;
  direction_ = static_cast<std::uint8_t>(ArgUnsigned(args, 0));
  period_ = std::max(ArgUnsigned(args, 1), 1u);
  loops_ = ArgInt(args, 2);
  if (layer_->CreateBackgroundCache(false) != 0) return kSetupNoCache;
  const CImage& cache = *layer_->GetBackgroundCache();
  std::int32_t status = 0;
  if (!IsVertical() && background->GetWidth() < cache.GetWidth()) status = kSetupNarrowBackground;
  if (IsVertical() && background->GetHeight() < cache.GetHeight()) status = kSetupShortBackground;
  span_ = static_cast<std::uint32_t>(IsVertical() ? background->GetHeight() : background->GetWidth());
  if (status == 0 && !AddTo(*manager, ArgFlag(args, 3))) status = kSetupRefused;
  if (status != 0) ReleaseCache();
  return status;
}

std::uint32_t CBgLoopEffect::Update(std::uint32_t now) {
  if (layer_ == nullptr) return 1;
  std::uint32_t elapsed = ElapsedAt(now);
  if (!WithinPeriod(elapsed, period_, loops_)) {
    ReleaseCache();
    return 1;
  }
  const auto position = static_cast<std::uint32_t>(std::uint64_t{span_} * elapsed / period_);
  if (position == last_position_) return 0;
  last_position_ = position;
  const bool reversed = direction_ == kHorizontalReversed || direction_ > kVertical;
  Draw(reversed && position != 0 ? span_ - position : position);
  return 0;
}

void CBgLoopEffect::Draw(std::uint32_t position) {
  CImage* cache = layer_->GetBackgroundCache();
  CImage* background = Background();
  // The copies are cut to the picture, also when the layer's owner has changed it since.
  if (cache == nullptr || background == nullptr) return;
  std::int32_t across_x = 0;
  std::int32_t across_y = 0;
  layer_->GetBackground(nullptr, &across_x, &across_y, nullptr, nullptr, nullptr);
  const auto start = static_cast<std::int32_t>(position);
  const auto span = static_cast<std::int32_t>(span_);
  // The part from the start to the background's end, then its beginning right behind it.
  if (IsVertical()) {
    const std::int32_t left = std::max(across_x, 0);
    const plat::Rect tail{left, start, left + cache->GetWidth(), span};
    cache->Copy(background, 0, 0, &tail, false);
    const plat::Rect head{left, 0, left + cache->GetWidth(), cache->GetHeight() - (span - start)};
    if (head.bottom > 0) cache->Copy(background, 0, span - start, &head, false);
  } else {
    const std::int32_t top = std::max(across_y, 0);
    const plat::Rect tail{start, top, span, top + cache->GetHeight()};
    cache->Copy(background, 0, 0, &tail, false);
    const plat::Rect head{0, top, cache->GetWidth() - (span - start), top + cache->GetHeight()};
    if (head.right > 0) cache->Copy(background, span - start, 0, &head, false);
  }
  layer_->InvalidateAll();
}
