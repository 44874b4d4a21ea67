#include "base/numbers/subtractive_random.h"

#include "platform/system/clock.h"

std::int16_t g_SubtractiveIndex = 0;
SubtractiveTable g_SubtractiveState{};
std::int16_t g_ScriptRandomIndex = 0;
SubtractiveTable g_ScriptRandomState{};

namespace {

// A difference of two words in range, brought back into range.
std::int32_t Subtract(std::int32_t minuend, std::int32_t subtrahend) {
  const std::int32_t difference = minuend - subtrahend;
  return difference < 0 ? difference + kSubtractiveModulus : difference;
}

}  // namespace

void SeedSubtractive(std::int16_t& index, SubtractiveTable& table, std::uint32_t seed) {
  std::int32_t mj = static_cast<std::int32_t>(seed % static_cast<std::uint32_t>(kSubtractiveModulus));
  table[kSubtractiveWords] = mj;
  std::int32_t mk = 1;
  for (int i = 1; i < kSubtractiveWords; ++i) {
    const int ii = (21 * i) % kSubtractiveWords;
    table[ii] = mk;
    mk = Subtract(mj, mk);
    mj = table[ii];
  }
  for (int pass = 0; pass < 3; ++pass) RefillSubtractive(table);
  index = kSubtractiveWords;
}

void RefillSubtractive(SubtractiveTable& table) {
  for (int i = 1; i <= 24; ++i) table[i] = Subtract(table[i], table[i + 31]);
  for (int i = 25; i <= kSubtractiveWords; ++i) table[i] = Subtract(table[i], table[i - 24]);
}

CSubtractiveRandom::CSubtractiveRandom() {
  SeedSubtractive(g_SubtractiveIndex, g_SubtractiveState, plat::PreciseMilliseconds());
}

void CSubtractiveRandom::Refill() { RefillSubtractive(g_SubtractiveState); }

CSubtractiveRandom g_SubtractiveRandom;
