// "bg_rast": shifts each row of a layer's background sideways along a sine wave that runs down
// the picture and moves with time (a raster wave).
#pragma once

#include <cstdint>

#include "effects/background/bg_wave_effect.h"

class CBgRastEffect : public CBgWaveEffect {
 public:
  static constexpr char kName[] = "bg_rast";
  // Result of Setup besides kRunning and the shared failures.
  static constexpr std::int32_t kSetupRefused = 6;

  const char* GetName() const override { return kName; }
  // The target is a canvas's image part. Arguments: amplitude (pixels), wavelength (rows a wave;
  // 0 counts as 1), cycle (ms a wave moves by one wavelength; 0 counts as 1), hold (ms; 0 until
  // SetParam), fade-in (ms), fade-out (ms), fill flag, lower-priority flag.
  std::int32_t Setup(CTimerManager* manager, void* target, const PluginArgs& args) override;

 private:
  RowSource SourceOf(std::int32_t row, std::uint32_t phase, std::uint32_t amplitude) const override;

  // The wave's angle grows by this much per row, in 65536ths of a table step.
  std::uint32_t angle_per_row_ = 0;
};
