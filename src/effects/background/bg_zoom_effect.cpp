#include "effects/background/bg_zoom_effect.h"

#include "base/time/timer_manager.h"
#include "effects/framework/background_canvas.h"
#include "effects/framework/effect_args.h"
#include "scene/drawables/draw_layer.h"

namespace {

// Shows the area over the whole target.
void ShowArea(CDrawLayer& layer, const ZoomRect& rect) {
  const CImage* target = layer.GetTarget();
  if (target == nullptr) return;
  const plat::Rect source = ToRect(rect);
  layer.SetBackgroundArea(0, 0, target->GetWidth(), target->GetHeight(), &source);
}

}  // namespace

std::int32_t CBgZoomEffect::Setup(CTimerManager* manager, void* target, const PluginArgs& args) {
  layer_ = CanvasLayer(target);
  const double zoom = ArgDecimal(args, 2, 1.0);
  if (manager == nullptr || layer_ == nullptr || zoom == 0.0) return kSetupBadArguments;
  if (ComputeZoomSource(layer_, ArgInt(args, 0), ArgInt(args, 1), zoom, end_) != kZoomSourceOk) return kSetupNoSource;
  acceleration_ = ArgDecimal(args, 3, 0.0);
  duration_ = ArgUnsigned(args, 4);
  const CImage& shown = *layer_->GetTarget();
  if (plat::Rect area; layer_->GetBackgroundArea(&area)) {
    start_ = {area.left, area.top, area.right - area.left, area.bottom - area.top};
  } else {
    layer_->GetBackground(nullptr, &start_.x, &start_.y, nullptr, nullptr, nullptr);
    start_.width = shown.GetWidth();
    start_.height = shown.GetHeight();
  }
  if (duration_ == 0) {
    Show(end_);
    return kFinishedAtOnce;
  }
  return AddTo(*manager, true) ? kRunning : kSetupRefused;
}

std::int32_t CBgZoomEffect::GetParam(const PluginArgs& args) {
  StoreZoomRect(args, 0, end_);
  return 0;
}

std::uint32_t CBgZoomEffect::Update(std::uint32_t now) {
  if (layer_ == nullptr) return 1;
  const std::uint32_t elapsed = ElapsedAt(now);
  if (elapsed >= duration_) {
    Show(end_);
    return 1;
  }
  double t = EasedFraction(elapsed, duration_, acceleration_);
  if (t >= 0.999 && t <= 1.001) t = 1.0;
  Show({Interpolate(start_.x, end_.x, t), Interpolate(start_.y, end_.y, t), Interpolate(start_.width, end_.width, t),
        Interpolate(start_.height, end_.height, t)});
  return 0;
}

void CBgZoomEffect::Show(const ZoomRect& rect) {
  if (layer_ != nullptr) ShowArea(*layer_, rect);
}

std::int32_t CBgZoomEffect::Assist(const PluginArgs* args) {
  const PluginArgs list = ArgsOrNone(args);
  CImagePart* part = GetCanvasPart(ArgObject<CImageInterface>(list, 0));
  if (part == nullptr) return -1;
  CDrawLayer* layer = CanvasLayer(part);
  ZoomRect rect;
  const std::uint32_t status = ComputeZoomSource(layer, ArgInt(list, 1), ArgInt(list, 2), ArgDecimal(list, 3, 1.0), rect);
  if (status != kZoomSourceOk) return static_cast<std::int32_t>(status);
  StoreZoomRect(list, 4, rect);
  ShowArea(*layer, rect);
  return 0;
}
