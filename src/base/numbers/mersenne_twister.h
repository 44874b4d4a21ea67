// MT19937 in its first published form, seeded with the 69069 linear congruential generator.
#pragma once

#include <array>
#include <cstdint>

class CMersenneTwister {
 public:
  static constexpr std::uint32_t kDefaultSeed = 4357;

  void Seed(std::uint32_t seed);
  std::uint32_t Next();

 private:
  static constexpr int kWords = 624;
  // The index of a generator that was never seeded; its first draw seeds it with kDefaultSeed.
  static constexpr int kUnseeded = kWords + 1;

  void Regenerate();

  std::array<std::uint32_t, kWords> m_State{};
  int m_Index = kUnseeded;
};
