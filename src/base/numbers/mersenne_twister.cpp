#include "base/numbers/mersenne_twister.h"

namespace {

constexpr int kMiddle = 397;
constexpr std::uint32_t kUpperMask = 0x80000000u;
constexpr std::uint32_t kLowerMask = 0x7FFFFFFFu;
constexpr std::array<std::uint32_t, 2> kMatrix = {0, 0x9908B0DFu};

std::uint32_t Twist(std::uint32_t upper_word, std::uint32_t lower_word, std::uint32_t far_word) {
  const std::uint32_t y = (upper_word & kUpperMask) | (lower_word & kLowerMask);
  return far_word ^ (y >> 1) ^ kMatrix[y & 1];
}

}  // namespace

void CMersenneTwister::Seed(std::uint32_t seed) {
  std::uint32_t x = seed;
  for (auto& word : m_State) {
    word = x & 0xFFFF0000u;
    x = 69069 * x + 1;
    word |= x >> 16;
    x = 69069 * x + 1;
  }
  m_Index = kWords;
}

void CMersenneTwister::Regenerate() {
  int k = 0;
  for (; k < kWords - kMiddle; ++k) m_State[k] = Twist(m_State[k], m_State[k + 1], m_State[k + kMiddle]);
  for (; k < kWords - 1; ++k) m_State[k] = Twist(m_State[k], m_State[k + 1], m_State[k + kMiddle - kWords]);
  m_State[kWords - 1] = Twist(m_State[kWords - 1], m_State[0], m_State[kMiddle - 1]);
  m_Index = 0;
}

std::uint32_t CMersenneTwister::Next() {
  if (m_Index >= kWords) {
    if (m_Index == kUnseeded) Seed(kDefaultSeed);
    Regenerate();
  }
  std::uint32_t y = m_State[m_Index++];
  y ^= y >> 11;
  y ^= (y << 7) & 0x9D2C5680u;
  y ^= (y << 15) & 0xEFC60000u;
  y ^= y >> 18;
  return y;
}
