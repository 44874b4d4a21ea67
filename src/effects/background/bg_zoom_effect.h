// "bg_zoom": glides the shown area of a layer's background from the area it shows now to the
// area that a zoom about a point shows, over a duration with an eased clock.
#pragma once

#include <cstdint>

#include "base/lifetime/watched_ptr.h"
#include "effects/background/bg_effect.h"
#include "effects/background/zoom_source.h"
#include "scene/drawables/draw_layer.h"


class CBgZoomEffect : public CBgEffect {
 public:
  static constexpr char kName[] = "bg_zoom";
  // Results of Setup besides kRunning and kFinishedAtOnce (duration 0: the end area is shown).
  static constexpr std::int32_t kSetupBadArguments = 1;
  static constexpr std::int32_t kSetupNoSource = 2;
  static constexpr std::int32_t kSetupRefused = 3;

  const char* GetName() const override { return kName; }
  // The target is a canvas's image part. Arguments: centre x, centre y, zoom text (null 1.0; 0
  // is refused), acceleration text (null 0.0), duration in ms.
  std::int32_t Setup(CTimerManager* manager, void* target, const PluginArgs& args) override;
  // Four optional int32_t pointers receive the end area's x, y, width and height: 0.
  std::int32_t GetParam(const PluginArgs& args) override;
  std::uint32_t Update(std::uint32_t now) override;
  void Stop() override { Show(end_); }

  // The class's assist entry: (canvas object, centre x, centre y, zoom text, four optional
  // int32_t pointers for x, y, width and height) shows the zoomed area at once: 0; -1 when the
  // object is no canvas; else the failure of ComputeZoomSource.
  static std::int32_t Assist(const PluginArgs* args);

 private:
  void Show(const ZoomRect& rect);

  // Null once the canvas ends: the effect then ends without drawing.
  WatchedPtr<CDrawLayer, IDrawLayer> layer_;
  std::uint32_t duration_ = 0;
  double acceleration_ = 0.0;
  ZoomRect start_;
  ZoomRect end_;
};
