#include <gtest/gtest.h>

#include <vector>

#include "base/numbers/mersenne_twister.h"
#include "base/numbers/subtractive_random.h"

namespace {

TEST(MersenneTwister, SeedsWithThe69069GeneratorAndDefaultsTo4357) {
  CMersenneTwister seeded;
  seeded.Seed(4357);
  EXPECT_EQ(seeded.Next(), 2867219139u);
  EXPECT_EQ(seeded.Next(), 1585203162u);
  EXPECT_EQ(seeded.Next(), 3113124129u);

  // Past the first regeneration too.
  CMersenneTwister unseeded;
  seeded.Seed(4357);
  for (int i = 0; i < 2000; ++i) ASSERT_EQ(unseeded.Next(), seeded.Next()) << i;
}

TEST(MersenneTwister, ReseedingRestartsTheSequence) {
  CMersenneTwister generator;
  generator.Seed(1);
  const std::uint32_t first = generator.Next();
  generator.Next();
  generator.Seed(1);
  EXPECT_EQ(generator.Next(), first);
  generator.Seed(2);
  EXPECT_NE(generator.Next(), first);
}

// The subtractive generator as the published incremental routine draws it: two running
// indices 31 apart instead of whole-table passes, with three warm-up passes, and no
// reduction of the seed.
class ReferenceSubtractive {
 public:
  explicit ReferenceSubtractive(std::int32_t seed) {
    std::int32_t mj = seed;
    m_Words[55] = mj;
    std::int32_t mk = 1;
    for (int i = 1; i <= 54; ++i) {
      const int ii = (21 * i) % 55;
      m_Words[ii] = mk;
      mk = mj - mk;
      if (mk < 0) mk += 1000000000;
      mj = m_Words[ii];
    }
    for (int pass = 0; pass < 3; ++pass) {
      for (int i = 1; i <= 55; ++i) {
        m_Words[i] -= m_Words[1 + (i + 30) % 55];
        if (m_Words[i] < 0) m_Words[i] += 1000000000;
      }
    }
  }

  std::int32_t Next() {
    if (++m_Next == 56) m_Next = 1;
    if (++m_Far == 56) m_Far = 1;
    std::int32_t value = m_Words[m_Next] - m_Words[m_Far];
    if (value < 0) value += 1000000000;
    m_Words[m_Next] = value;
    return value;
  }

 private:
  std::int32_t m_Words[56] = {};
  int m_Next = 0;
  int m_Far = 31;
};

TEST(SubtractiveRandom, SeedsBelowOneBillionGiveThePublishedSequence) {
  for (const std::uint32_t seed : {0u, 1u, 4357u, 86400000u, 999999999u}) {
    std::int16_t index = 0;
    SubtractiveTable table{};
    SeedSubtractive(index, table, seed);
    ReferenceSubtractive reference(static_cast<std::int32_t>(seed));
    for (int i = 0; i < 500; ++i) ASSERT_EQ(DrawSubtractive(index, table), reference.Next()) << seed << " " << i;
  }
}

TEST(SubtractiveRandom, FirstDrawAfterSeedingRefillsAndReturnsWordOne) {
  std::int16_t index = 0;
  SubtractiveTable table{};
  SeedSubtractive(index, table, 12345);
  EXPECT_EQ(index, 55);
  SubtractiveTable refilled = table;
  RefillSubtractive(refilled);
  EXPECT_EQ(DrawSubtractive(index, table), refilled[1]);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(table, refilled);
  EXPECT_EQ(DrawSubtractive(index, table), refilled[2]);
}

TEST(SubtractiveRandom, LargeSeedsAreReducedAndDrawOnlyInRange) {
  std::int16_t large_index = 0;
  SubtractiveTable large{};
  SeedSubtractive(large_index, large, 3000000000u);
  std::int16_t zero_index = 0;
  SubtractiveTable zero{};
  SeedSubtractive(zero_index, zero, 0);
  for (int i = 0; i < 10000; ++i) {
    const std::int32_t value = DrawSubtractive(large_index, large);
    ASSERT_GE(value, 0);
    ASSERT_LT(value, 1000000000);
    ASSERT_EQ(value, DrawSubtractive(zero_index, zero));
  }
  std::int16_t top_index = 0;
  SubtractiveTable top{};
  SeedSubtractive(top_index, top, 0xFFFFFFFFu);
  for (int i = 0; i < 10000; ++i) {
    const std::int32_t value = DrawSubtractive(top_index, top);
    ASSERT_GE(value, 0);
    ASSERT_LT(value, 1000000000);
  }
}

TEST(SubtractiveRandom, ProgramStateIsSeededAtStartAndApartFromTheScriptState) {
  EXPECT_GE(g_SubtractiveIndex, 1);
  EXPECT_LE(g_SubtractiveIndex, 55);
  for (int word = 1; word <= 55; ++word) {
    EXPECT_GE(g_SubtractiveState[word], 0);
    EXPECT_LT(g_SubtractiveState[word], 1000000000);
  }
  const SubtractiveTable program = g_SubtractiveState;
  SeedSubtractive(g_ScriptRandomIndex, g_ScriptRandomState, 77);
  DrawSubtractive(g_ScriptRandomIndex, g_ScriptRandomState);
  EXPECT_EQ(g_SubtractiveState, program);
  CSubtractiveRandom::Refill();
  EXPECT_NE(g_SubtractiveState, program);
  EXPECT_FALSE(g_SubtractiveRandom.m_WipeTable);
}

}  // namespace
