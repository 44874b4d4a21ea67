#include "effects/screen/particle_effects.h"

namespace {

constexpr ParticleRules kPaperRules{.picture_format = "SYS\\PAPER_%d.ELG",
                                    .kinds = 8,
                                    .priority_divisor = 7,
                                    .rises = false,
                                    .speed_base = 7.9,
                                    .speed_per_kind = 0.8,
                                    .speed_from_fourth_kind = 4.3,
                                    .speed_random = 4.0,
                                    .sways = true,
                                    .sway_limit = 3.0,
                                    .acceleration_limit = 0.5,
                                    .acceleration_step = 0.6,
                                    .start_chance = 0.1,
                                    .frames = 24};

constexpr ParticleRules kLightRules{.picture_format = "SYS\\GR_LT%d.ELG",
                                    .kinds = 3,
                                    .priority_divisor = 2,
                                    .rises = true,
                                    .speed_base = 1.9,
                                    .speed_per_kind = 0.8,
                                    .speed_random = 2.0,
                                    .sway_start_base = 1.9,
                                    .sway_start_per_kind = 0.8,
                                    .sway_start_random = 0.2,
                                    .sways = true,
                                    .sway_limit = 5.0,
                                    .acceleration_limit = 0.5,
                                    .acceleration_step = 0.6,
                                    .start_chance = 0.1,
                                    .frames = 5,
                                    .pulses = true};

constexpr ParticleRules kSnowRules{.picture_format = "SYS\\SNOW_%d.ELG",
                                   .kinds = 5,
                                   .priority_divisor = 4,
                                   .speed_base = 5.7,
                                   .speed_per_kind = 2.4,
                                   .speed_random = 0.6,
                                   .sways = true,
                                   .sway_limit = 1.5,
                                   .acceleration_limit = 0.2,
                                   .acceleration_step = 0.3,
                                   .start_chance = 0.002};

// Rain falls straight: no sway.
constexpr ParticleRules kRainRules{.kinds = 6,
                                   .priority_divisor = 5,
                                   .speed_base = 225.0,
                                   .speed_per_kind = -30.0,
                                   .speed_random = 15.0,
                                   .start_chance = 0.002};

}  // namespace

CPaperEffect::CPaperEffect() : CParticleEffect(kName, kPaperRules) {}
CLightEffect::CLightEffect() : CParticleEffect(kName, kLightRules) {}
CSnowEffect::CSnowEffect() : CParticleEffect(kName, kSnowRules) {}
CRainEffect::CRainEffect() : CParticleEffect(kName, kRainRules) {}
