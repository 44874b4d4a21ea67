// The memory, trigonometry, random and arithmetic built-ins 75 to 93 by number: recorded blocks,
// fills and copies with their refusals, the table's angles, the subtractive generator against
// the algorithm written out here, floats and the first best index.
#include <bit>
#include <cstdint>

#include "base/numbers/subtractive_random.h"
#include "base/numbers/trig_tables.h"
#include "builtin_call.h"
#include "builtins/memory_builtins.h"
#include "script/script_fault.h"

namespace {

using builtin_test::BuiltinCallTest;

class MemoryMathBuiltinsTest : public BuiltinCallTest {
 protected:
  void SetUp() override {
    previous_ = g_TrigTable;
    g_TrigTable = &tables_;
  }
  void TearDown() override {
    g_TrigTable = previous_;
    g_NativeMap.Clear();
  }
  CTrigTables tables_;
  CTrigTables* previous_ = nullptr;
};

TEST_F(MemoryMathBuiltinsTest, BlocksAreRecordedAndOnlyRecordedBlocksAreFreed) {
  EXPECT_EQ(Call(75, {0}), 0u);
  EXPECT_EQ(Call(76, {static_cast<std::uint32_t>(-5)}), 0u);
  const std::uint32_t block = Call(75, {64});
  const std::uint32_t zeroed = Call(76, {64});
  ASSERT_NE(block, 0u);
  ASSERT_NE(zeroed, 0u);
  EXPECT_EQ(WordAt(zeroed + 60), 0u);
  const std::uint32_t foreign = memory_.Allocate(16);
  EXPECT_EQ(Call(77, {foreign}), 0u);
  EXPECT_TRUE(memory_.BlockSize(foreign).has_value());
  EXPECT_EQ(Call(77, {block}), 1u);
  EXPECT_FALSE(memory_.BlockSize(block).has_value());
  EXPECT_EQ(Call(77, {block}), 0u);
  EXPECT_EQ(Call(77, {0}), 0u);
}

TEST_F(MemoryMathBuiltinsTest, FillsAndCopiesStayInTheirCounts) {
  const std::uint32_t block = Block(16, 0xEE);
  EXPECT_EQ(Call(78, {block, 0x11223344, 2}), 1u);
  EXPECT_EQ(WordAt(block + 4), 0x11223344u);
  EXPECT_EQ(memory_.Byte(block + 8), 0xEE);
  EXPECT_EQ(Call(79, {block + 8, 0x1AB, 3}), 1u);
  EXPECT_EQ(memory_.Byte(block + 10), 0xAB);
  EXPECT_EQ(memory_.Byte(block + 11), 0xEE);
  EXPECT_EQ(Call(78, {0, 1, 1}), 0u);
  EXPECT_EQ(Call(79, {block, 1, 0}), 1u);
  EXPECT_EQ(Call(80, {block, 0, 1}), 0u);
  // Forward byte by byte: a copy one byte ahead repeats the first byte.
  const std::uint32_t row = Text("abcdef");
  EXPECT_EQ(Call(80, {row + 1, row, 4}), 1u);
  EXPECT_EQ(TextAt(row), "aaaaaf");
}

TEST_F(MemoryMathBuiltinsTest, RangesOutsideScriptMemoryFault) {
  const std::uint32_t block = Block(16);
  EXPECT_THROW(Call(78, {0x100, 1, 1}), ScriptFault);
  EXPECT_THROW(Call(78, {block, 1, 0x7FFFFFFF}), ScriptFault);
  EXPECT_THROW(Call(79, {static_cast<std::uint32_t>(memory_.UsableEnd() - 2), 1, 4}), ScriptFault);
  EXPECT_THROW(Call(80, {block, 0x2000, 4}), ScriptFault);
}

TEST_F(MemoryMathBuiltinsTest, SineCosineAndThePointOnACircle) {
  EXPECT_EQ(Call(82, {0}), 65536u);
  EXPECT_EQ(Call(82, {512}), 65536u);
  EXPECT_EQ(Call(81, {128}), 65536u);
  EXPECT_EQ(Call(81, {0}), 0u);
  EXPECT_EQ(Call(82, {256}), static_cast<std::uint32_t>(-65536));
  const std::uint32_t point = Block(8);
  EXPECT_EQ(Call(83, {128, 100, 10, 20, point, point + 4}), 0u);
  EXPECT_EQ(WordAt(point), 10u);
  EXPECT_EQ(static_cast<std::int32_t>(WordAt(point + 4)), -80);
  EXPECT_EQ(Call(83, {0, 50, 1, 2, point, 0}), 0u);
  EXPECT_EQ(WordAt(point), 51u);
  // Extreme centres wrap in 32 bits.
  EXPECT_EQ(Call(83, {128, 100, 0x7FFFFFFF, 0x80000000, point, point + 4}), 0u);
  EXPECT_EQ(WordAt(point), 0x7FFFFFFFu);
  EXPECT_EQ(WordAt(point + 4), 0x80000000u - 100);
  EXPECT_EQ(Call(83, {0, 100, 0x7FFFFFFF, 0, point, 0}), 0u);
  EXPECT_EQ(WordAt(point), 0x80000063u);
}

// The scripts' subtractive generator written out from its description.
struct ReferenceSubtractive {
  std::int64_t word[56] = {};
  int position = 0;

  void Refill() {
    for (int i = 1; i <= 24; ++i) word[i] = Wrap(word[i] - word[i + 31]);
    for (int i = 25; i <= 55; ++i) word[i] = Wrap(word[i] - word[i - 24]);
  }
  static std::int64_t Wrap(std::int64_t v) { return v < 0 ? v + 1000000000 : v; }
  void Seed(std::int64_t s) {
    word[55] = s;
    std::int64_t j = s;
    std::int64_t k = 1;
    for (int step = 1; step <= 54; ++step) {
      const int p = (21 * step) % 55;
      word[p] = k;
      k = Wrap(j - k);
      j = word[p];
    }
    Refill();
    Refill();
    Refill();
    position = 55;
  }
  std::uint32_t Draw(std::uint32_t n) {
    if (++position >= 56) {
      Refill();
      position = 1;
    }
    return static_cast<std::uint32_t>(word[position]) % n;
  }
};

TEST_F(MemoryMathBuiltinsTest, RandomAfterSeedingFollowsTheAlgorithm) {
  EXPECT_EQ(Call(85, {12345}), 0u);
  EXPECT_EQ(g_ScriptRandomIndex, 55);
  ReferenceSubtractive reference;
  reference.Seed(12345);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Call(84, {1000}), reference.Draw(1000)) << i;
  const auto state = g_ScriptRandomState;
  EXPECT_EQ(Call(84, {0}), 0u);
  EXPECT_EQ(g_ScriptRandomState, state);
}

TEST_F(MemoryMathBuiltinsTest, MersenneSeedRepeatsItsSequence) {
  EXPECT_EQ(Call(87, {99}), 1u);
  const std::uint32_t first = Call(86, {1000000});
  const std::uint32_t second = Call(86, {1000000});
  Call(87, {99});
  EXPECT_EQ(Call(86, {1000000}), first);
  EXPECT_EQ(Call(86, {1000000}), second);
  EXPECT_EQ(Call(86, {0}), 0u);
}

TEST_F(MemoryMathBuiltinsTest, FloatArithmetic) {
  const auto bits = [](float f) { return std::bit_cast<std::uint32_t>(f); };
  EXPECT_EQ(Call(88, {bits(1.5f), bits(2.25f)}), bits(3.75f));
  EXPECT_EQ(Call(89, {bits(1.5f), bits(2.25f)}), bits(-0.75f));
  EXPECT_EQ(Call(90, {bits(1.5f), bits(-2.0f)}), bits(-3.0f));
  EXPECT_EQ(Call(91, {bits(1.0f), bits(4.0f)}), bits(0.25f));
}

TEST_F(MemoryMathBuiltinsTest, IndexOfTheFirstLargestAndSmallest) {
  EXPECT_EQ(Call(92, {4, 3, 7, 7, 1}), 1u);
  EXPECT_EQ(Call(93, {4, 3, static_cast<std::uint32_t>(-2), 9, static_cast<std::uint32_t>(-2)}), 1u);
  EXPECT_EQ(Call(92, {3, 5, 5, 5}), 0u);
  EXPECT_EQ(Call(92, {1, 1}), 0u);
  EXPECT_EQ(Call(93, {0}), 0u);
}

}  // namespace
