#include "effects/framework/builtin_effect_services.h"

BuiltinEffectServices g_BuiltinEffectServices;

bool HasEffectRandom() {
  return g_BuiltinEffectServices.random_index != nullptr && g_BuiltinEffectServices.random_state != nullptr;
}

std::int32_t DrawEffectRandom() {
  return DrawSubtractive(*g_BuiltinEffectServices.random_index, *g_BuiltinEffectServices.random_state);
}
