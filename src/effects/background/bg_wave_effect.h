// The shape of "bg_rast" and "bg_haze": effects that draw the layer's background into its cache
// with every row displaced along a wave, fading the displacement in, holding it and fading it
// out. A pixel whose source lies outside the cache's span of the background takes the layer's
// colour with the fill flag; without it the pixel keeps what the cache holds, which starts as the
// unshifted picture.
#pragma once

#include <cstdint>

#include "effects/background/bg_cache_effect.h"
#include "effects/framework/fade_envelope.h"

class CBgWaveEffect : public CBgCacheEffect {
 public:
  // Results of Setup shared by the two besides kRunning.
  static constexpr std::int32_t kSetupNoTrigTables = 1;
  static constexpr std::int32_t kSetupNoBackground = 2;
  static constexpr std::int32_t kSetupCacheInUse = 3;
  static constexpr std::int32_t kSetupNoCache = 4;
  static constexpr std::int32_t kSetupCacheTooLarge = 5;

  // Asks for the fade-out (the arguments are not read): 1 when it is already asked for or
  // running; else 0.
  std::int32_t SetParam(const PluginArgs&) override { return envelope_.RequestFadeOut(last_strength_); }
  // The phase of the envelope (CFadeEnvelope::EPhase).
  std::int32_t GetParam(const PluginArgs&) override { return envelope_.GetPhase(); }
  std::uint32_t Update(std::uint32_t now) override;

 protected:
  // Where a cache row takes its pixels from: the row of the background's cache span, and how far
  // right of the cache column its source column lies.
  struct RowSource {
    std::int64_t row = 0;
    std::int64_t column_offset = 0;
  };

  // The checks and the cache shared by the two: 0 or the failures above. The cache of a
  // background of another depth than the target's counts as one that cannot be made. Without
  // fill the cache starts as the unshifted picture.
  std::int32_t PrepareCache(CTimerManager* manager, void* target, bool fill);
  void SetTiming(std::uint32_t cycle, std::uint32_t phase_steps, const CFadeEnvelope& envelope);
  virtual RowSource SourceOf(std::int32_t row, std::uint32_t phase, std::uint32_t strength) const = 0;

 private:
  void Draw(std::uint32_t phase, std::uint32_t strength);

  bool fill_ = false;
  std::uint32_t cycle_ = 1;
  // The phase runs through this many steps over a cycle.
  std::uint32_t phase_steps_ = 1;
  CFadeEnvelope envelope_;
  std::int64_t last_phase_ = -1;
  std::uint32_t last_strength_ = 0;
};
