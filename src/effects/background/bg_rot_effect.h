// "bg_rot": turns and zooms a layer's background from the roto-zoom view it shows now to a given
// one over a duration with an eased clock.
#pragma once

#include <cstdint>

#include "base/lifetime/watched_ptr.h"
#include "effects/background/bg_effect.h"
#include "scene/drawables/draw_layer.h"


class CBgRotEffect : public CBgEffect {
 public:
  static constexpr char kName[] = "bg_rot";
  // Results of Setup besides kRunning and kFinishedAtOnce (duration 0: the end view is shown).
  static constexpr std::int32_t kSetupBadArguments = 1;
  static constexpr std::int32_t kSetupNoBackground = 2;
  static constexpr std::int32_t kSetupRefused = 3;

  const char* GetName() const override { return kName; }
  // The target is a canvas's image part. Arguments: x, y, angle (512 steps a turn), zoom text
  // (null 1.0), acceleration text (null 0.0), duration in ms.
  std::int32_t Setup(CTimerManager* manager, void* target, const PluginArgs& args) override;
  std::uint32_t Update(std::uint32_t now) override;
  void Stop() override { Show(end_); }

 private:
  struct View {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t angle = 0;
    double zoom = 1.0;
  };
  void Show(const View& view);

  // Null once the canvas ends: the effect then ends at its next step without drawing.
  WatchedPtr<CDrawLayer, IDrawLayer> layer_;
  std::uint32_t duration_ = 0;
  double acceleration_ = 0.0;
  View start_;
  View end_;
};
