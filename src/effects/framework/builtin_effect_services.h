// What built-in effects use besides their arguments: the script random generator and the
// staff roll's sound channels. Null until the script host registers its effects; an effect
// that draws random numbers refuses its set-up without the generator.
#pragma once

#include <cstdint>

#include "base/numbers/subtractive_random.h"

class CSoundChannelManager;

struct BuiltinEffectServices {
  std::int16_t* random_index = nullptr;
  SubtractiveTable* random_state = nullptr;
  CSoundChannelManager* staff_roll_channels = nullptr;
};
extern BuiltinEffectServices g_BuiltinEffectServices;

// Whether the script random generator is set, and its next value (0 to 999,999,999), which the
// effects take times 1e-9 as a fraction.
bool HasEffectRandom();
std::int32_t DrawEffectRandom();
