// The four particle effects, each the shared shape under its rules: "paper" (pieces of paper
// drifting down, turning through 24 frames), "light" (points of light rising and pulsing through
// 5 frames), "snow" (flakes drifting down) and "rain" (streaks falling, drawn as thin coloured
// boxes).
#pragma once

#include "effects/screen/particle_effect.h"

class CPaperEffect : public CParticleEffect {
 public:
  static constexpr char kName[] = "paper";
  CPaperEffect();
};

class CLightEffect : public CParticleEffect {
 public:
  static constexpr char kName[] = "light";
  CLightEffect();
};

class CSnowEffect : public CParticleEffect {
 public:
  static constexpr char kName[] = "snow";
  CSnowEffect();
};

class CRainEffect : public CParticleEffect {
 public:
  static constexpr char kName[] = "rain";
  CRainEffect();
};
