// The subtractive generator (55 words, lags 24 and 55, modulus 10^9) whose program-wide state
// the visual effects draw from, and the separate state that the script random functions use.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

inline constexpr std::int32_t kSubtractiveModulus = 1000000000;
inline constexpr std::int16_t kSubtractiveWords = 55;

// Words 1 to 55 are used; word 0 is not.
using SubtractiveTable = std::array<std::int32_t, kSubtractiveWords + 1>;

// Seeds a state. The seed is first reduced into 0 to 999,999,999: larger seeds would leave
// words outside that range, and every later draw would be out of range or negative. Index 55
// makes the first draw refill the table.
void SeedSubtractive(std::int16_t& index, SubtractiveTable& table, std::uint32_t seed);

// One regeneration pass over the 55 words.
void RefillSubtractive(SubtractiveTable& table);

// The next value of a state, in 0 to 999,999,999. Inline: the patterns draw once a block.
inline std::int32_t DrawSubtractive(std::int16_t& index, SubtractiveTable& table) {
  if (++index > kSubtractiveWords) {
    RefillSubtractive(table);
    index = 1;
  }
  return table[static_cast<std::size_t>(index)];
}

// The program-wide state, seeded from the clock before the program starts.
extern std::int16_t g_SubtractiveIndex;
extern SubtractiveTable g_SubtractiveState;

// The script random generator's state, seeded by the script host.
extern std::int16_t g_ScriptRandomIndex;
extern SubtractiveTable g_ScriptRandomState;

// A state of its own for a user that draws apart from the program-wide one.
class CSubtractiveGenerator {
 public:
  explicit CSubtractiveGenerator(std::uint32_t seed) { SeedSubtractive(index_, table_, seed); }
  std::int32_t Next() { return DrawSubtractive(index_, table_); }

 private:
  std::int16_t index_ = 0;
  SubtractiveTable table_{};
};

class CSubtractiveRandom {
 public:
  static constexpr std::size_t kWipeTableSize = 256;

  // Seeds the program-wide state from the millisecond clock.
  CSubtractiveRandom();

  // Refills the program-wide state.
  static void Refill();

  // The table of random values that the wipe patterns build from the program-wide state
  // and keep here; empty until they build it.
  std::unique_ptr<std::array<std::uint8_t, kWipeTableSize>> m_WipeTable;
};

extern CSubtractiveRandom g_SubtractiveRandom;
