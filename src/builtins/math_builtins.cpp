#include "builtins/math_builtins.h"

#include <bit>
#include <functional>
#include <optional>

#include "base/numbers/mersenne_twister.h"
#include "base/numbers/subtractive_random.h"
#include "base/numbers/trig_tables.h"
#include "platform/system/clock.h"

namespace {

constexpr std::uint32_t kQuarterTurn = 128;

std::int32_t Cosine(std::uint32_t angle) {
  return g_TrigTable == nullptr ? 0 : g_TrigTable->cosine[angle % CTrigTables::kSteps];
}

std::int32_t Sine(std::uint32_t angle) { return Cosine(angle - kQuarterTurn); }

// The scripts' Mersenne Twister, made on first use and seeded from the clock then.
CMersenneTwister& ScriptTwister() {
  static std::optional<CMersenneTwister> twister;
  if (!twister) {
    twister.emplace();
    twister->Seed(static_cast<std::uint32_t>(plat::PreciseMilliseconds()));
  }
  return *twister;
}

template <class Operation>
std::uint32_t FloatOperation(const NativeArgs& args) {
  const double a = std::bit_cast<float>(args.U32(0));
  const double b = std::bit_cast<float>(args.U32(1));
  return std::bit_cast<std::uint32_t>(static_cast<float>(Operation()(a, b)));
}

template <class Better>
std::uint32_t IndexOfFirstBest(const NativeArgs& args) {
  const std::int32_t count = args.I32(0);
  if (count < 2) return 0;
  std::uint32_t best = 0;
  std::int32_t best_value = args.I32(1);
  for (std::uint32_t i = 1; i < static_cast<std::uint32_t>(count); ++i) {
    const std::int32_t value = args.I32(1 + i);
    if (Better()(value, best_value)) {
      best = i;
      best_value = value;
    }
  }
  return best;
}

}  // namespace

std::uint32_t NativeSin(const NativeArgs& args) { return static_cast<std::uint32_t>(Sine(args.U32(0))); }

std::uint32_t NativeCos(const NativeArgs& args) { return static_cast<std::uint32_t>(Cosine(args.U32(0))); }

std::uint32_t NativePointOnCircle(const NativeArgs& args) {
  const std::uint32_t angle = args.U32(0);
  const std::uint32_t radius = args.U32(1);
  // Products wrap in 32 bits as the table's users have always computed them.
  const auto x_offset = static_cast<std::int32_t>(static_cast<std::uint32_t>(Cosine(angle)) * radius) >> 16;
  const auto y_offset = static_cast<std::int32_t>(static_cast<std::uint32_t>(Sine(angle)) * radius) >> 16;
  args.Out(4).Set(args.U32(2) + static_cast<std::uint32_t>(x_offset));
  args.Out(5).Set(args.U32(3) - static_cast<std::uint32_t>(y_offset));
  return 0;
}

std::uint32_t NativeRandom(const NativeArgs& args) {
  const std::uint32_t n = args.U32(0);
  if (n == 0) return 0;
  return static_cast<std::uint32_t>(DrawSubtractive(g_ScriptRandomIndex, g_ScriptRandomState)) % n;
}

std::uint32_t NativeRandomSeed(const NativeArgs& args) {
  SeedSubtractive(g_ScriptRandomIndex, g_ScriptRandomState, args.U32(0));
  return 0;
}

std::uint32_t NativeRandomMt(const NativeArgs& args) {
  const std::uint32_t n = args.U32(0);
  if (n == 0) return 0;
  return ScriptTwister().Next() % n;
}

std::uint32_t NativeRandomMtSeed(const NativeArgs& args) {
  ScriptTwister().Seed(args.U32(0));
  return 1;
}

std::uint32_t NativeFloatAdd(const NativeArgs& args) { return FloatOperation<std::plus<double>>(args); }
std::uint32_t NativeFloatSub(const NativeArgs& args) { return FloatOperation<std::minus<double>>(args); }
std::uint32_t NativeFloatMul(const NativeArgs& args) { return FloatOperation<std::multiplies<double>>(args); }
std::uint32_t NativeFloatDiv(const NativeArgs& args) { return FloatOperation<std::divides<double>>(args); }

std::uint32_t NativeIndexOfMax(const NativeArgs& args) { return IndexOfFirstBest<std::greater<std::int32_t>>(args); }
std::uint32_t NativeIndexOfMin(const NativeArgs& args) { return IndexOfFirstBest<std::less<std::int32_t>>(args); }
