#include "effects/background/bg_rast_effect.h"

#include <algorithm>

#include "base/numbers/trig_tables.h"
#include "effects/framework/effect_args.h"

namespace {

// A full turn of the table (512 steps) in 65536ths of a step.
constexpr std::uint32_t kTurn = 512u << 16;
constexpr std::uint32_t kPhaseSteps = 512;

}  // namespace

std::int32_t CBgRastEffect::Setup(CTimerManager* manager, void* target, const PluginArgs& args) {
  const std::int32_t status = PrepareCache(manager, target, ArgFlag(args, 6));
  if (status != 0) return status;
  angle_per_row_ = kTurn / std::max(ArgUnsigned(args, 1), 1u);
  SetTiming(ArgUnsigned(args, 2), kPhaseSteps,
            CFadeEnvelope(ArgUnsigned(args, 0), ArgUnsigned(args, 3), ArgUnsigned(args, 4), ArgUnsigned(args, 5)));
  if (AddTo(*manager, ArgFlag(args, 7))) return kRunning;
  ReleaseCache();
  return kSetupRefused;
}

CBgWaveEffect::RowSource CBgRastEffect::SourceOf(std::int32_t row, std::uint32_t phase, std::uint32_t amplitude) const {
  const std::uint32_t angle = (phase << 16) + static_cast<std::uint32_t>(row) * angle_per_row_;
  const std::int64_t sine = g_TrigTable->cosine[((angle >> 16) - 128) & 511];
  return {row, -((sine * amplitude) >> 16)};
}
