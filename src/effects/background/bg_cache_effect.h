// The background effects that draw each step into the layer's background cache, which the layer
// shows in place of its background while it exists. Each ends, and stops, by dropping the cache
// and repainting the layer.
#pragma once

#include <cstdint>

#include "base/lifetime/watched_ptr.h"
#include "effects/background/bg_effect.h"
#include "scene/drawables/draw_layer.h"

class CImage;

class CBgCacheEffect : public CBgEffect {
 public:
  void Stop() override { ReleaseCache(); }

 protected:
  // Drops the layer's cache, when it has one, and repaints the layer.
  void ReleaseCache();
  // The layer's background image as it is now (the layer's owner may change it while the effect
  // runs); null when it has none.
  CImage* Background() const;
  // Where the cache's span of the background starts: the layer's background offset, each
  // coordinate held so that the cache lies within the background.
  struct Origin {
    std::int32_t x = 0;
    std::int32_t y = 0;
  };
  Origin ClampedOrigin(const CImage& background) const;
  // The elapsed time of a repeating effect of `loops` periods (0: endless): at or past a period
  // a loop is counted, and the clock moves on by whole periods to within the period. False once
  // the last loop has run.
  bool WithinPeriod(std::uint32_t& elapsed, std::uint32_t period, std::int32_t& loops);

  // Null once the canvas ends: the effect then ends at its next step.
  WatchedPtr<CDrawLayer, IDrawLayer> layer_;
};
