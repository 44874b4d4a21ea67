#include "effects/background/bg_cross_effect.h"

#include <algorithm>
#include <new>

#include "effects/framework/background_canvas.h"
#include "effects/framework/effect_args.h"
#include "gfx/image_operations/image_part.h"
#include "scene/drawables/draw_layer.h"

namespace {

// A level step of the period: 0 to 255 and back over 510 steps.
constexpr std::int32_t kSteps = 510;

}  // namespace

std::int32_t CBgCrossEffect::Setup(CTimerManager* manager, void* target, const PluginArgs& args) {
  layer_ = CanvasLayer(target);
  const CImage* background = Background();
  if (manager == nullptr || background == nullptr) return kSetupNoBackground;
  partner_layer_ = CanvasLayer(static_cast<CImagePart*>(target)->GetPartner());
  const CImage* partner_background = LayerBackground(partner_layer_);
  if (partner_background == nullptr) return kSetupNoPartner;
  width_ = background->GetWidth();
  height_ = background->GetHeight();
  if (partner_background->GetWidth() != width_ || partner_background->GetHeight() != height_) return kSetupSizesDiffer;
  period_ = std::max(ArgUnsigned(args, 0), 1u);
  loops_ = ArgInt(args, 1);
  mode_ = static_cast<std::uint8_t>(ArgUnsigned(args, 2));
  if (mode_ == kPartnerTaken || mode_ == kTakenToLive) {
    taken_.reset(new (std::nothrow) CImage);
    if (taken_ == nullptr || taken_->Duplicate(partner_background, 0) != 0) return kSetupNoCache;
  }
  if (layer_->CreateBackgroundCache(false) != 0) return kSetupNoCache;
  if (AddTo(*manager, ArgFlag(args, 3))) return kRunning;
  ReleaseCache();
  return kSetupNoPartner;
}

std::uint32_t CBgCrossEffect::Update(std::uint32_t now) {
  if (layer_ == nullptr || partner_layer_ == nullptr) {
    ReleaseCache();
    return 1;
  }
  std::uint32_t elapsed = ElapsedAt(now);
  if ((elapsed >= period_ && stop_requested_) || !WithinPeriod(elapsed, period_, loops_)) {
    ReleaseCache();
    return 1;
  }
  const auto step = static_cast<std::int32_t>(std::uint64_t{elapsed} * kSteps / period_);
  if (step == last_step_) return 0;
  last_step_ = step;
  Draw(static_cast<std::uint8_t>(step <= 255 ? step : kSteps - step));
  return 0;
}

void CBgCrossEffect::Draw(std::uint8_t level) {
  CImage* cache = layer_->GetBackgroundCache();
  CImage* a = mode_ == kTakenToLive ? taken_.get() : Background();
  CImage* b = mode_ == kPartnerTaken ? taken_.get() : LayerBackground(partner_layer_);
  if (cache == nullptr || a == nullptr || b == nullptr || b->GetWidth() != width_ || b->GetHeight() != height_) return;
  PixelCrossFadeArgs fade;
  fade.level = level;
  fade.area = {0, 0, width_, height_};
  cache->PixelLibBlendTwo(a, b, fade);
  layer_->InvalidateAll();
}
