#include "effects/background/bg_rot_effect.h"

#include "effects/framework/background_canvas.h"
#include "effects/framework/effect_args.h"
#include "scene/drawables/draw_layer.h"

std::int32_t CBgRotEffect::Setup(CTimerManager* manager, void* target, const PluginArgs& args) {
  layer_ = CanvasLayer(target);
  if (manager == nullptr || layer_ == nullptr) return kSetupBadArguments;
  if (!layer_->HasBackgroundImage()) return kSetupNoBackground;
  end_ = {ArgInt(args, 0), ArgInt(args, 1), ArgInt(args, 2), ArgDecimal(args, 3, 1.0)};
  acceleration_ = ArgDecimal(args, 4, 0.0);
  duration_ = ArgUnsigned(args, 5);
  const CDrawLayer::RotoZoom now = layer_->GetRotoZoom();
  // A layer that shows no roto-zoom view yet starts from the plain picture.
  start_ = now.angle == 0 && now.zoom == 0.0 ? View{} : View{now.x, now.y, now.angle, now.zoom};
  if (duration_ == 0) {
    Show(end_);
    return kFinishedAtOnce;
  }
  return AddTo(*manager, true) ? kRunning : kSetupRefused;
}

std::uint32_t CBgRotEffect::Update(std::uint32_t now) {
  if (layer_ == nullptr) return 1;
  const std::uint32_t elapsed = ElapsedAt(now);
  if (elapsed >= duration_) {
    Show(end_);
    return 1;
  }
  const double t = EasedFraction(elapsed, duration_, acceleration_);
  Show({Interpolate(start_.x, end_.x, t), Interpolate(start_.y, end_.y, t), Interpolate(start_.angle, end_.angle, t),
        start_.zoom + (end_.zoom - start_.zoom) * t});
  return 0;
}

void CBgRotEffect::Show(const View& view) {
  if (layer_ != nullptr) layer_->SetBackgroundRotoZoom(view.x, view.y, view.angle, view.zoom);
}
