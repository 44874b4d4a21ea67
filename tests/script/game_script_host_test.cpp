// The game script host: its 809 built-in functions, the seeding of the script random generator
// and the restart of the main script.
#include "script/game_script_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/subtractive_random.h"
#include "builtins/builtin_table.h"
#include "builtins/transfer_builtins.h"
#include "script/script_transfer.h"
#include "sob_test_files.h"
#include "support/log_capture.h"

namespace {

class GameScriptHostTest : public sob_test::ScriptFilesTest {
 protected:
  ScriptNativeFunc Native(std::uint32_t id) const { return host_.Natives().Find(ScriptNativeTable::Token(id)); }

  // An argument array of `count` words, each set to `fill`.
  NativeArgs Args(std::uint32_t count, std::uint32_t fill) {
    const std::uint32_t address = host_.Memory().Allocate(std::max(count, 1u) * 4, true);
    for (std::uint32_t i = 0; i < count; ++i) host_.Memory().SetWord(address + i * 4, fill);
    return NativeArgs(host_.Memory(), handles_, address);
  }

  LogCapture log_;
  HandleTable handles_;
  CGameScriptHost host_;
};

TEST_F(GameScriptHostTest, RegistersAllBuiltInsInTheOrderOfTheirNumbers) {
  EXPECT_EQ(host_.Natives().Count(), kBuiltinCount);
  EXPECT_EQ(Native(2), &NativeScriptEnd);
  EXPECT_EQ(Native(kBuiltinCount), nullptr);
  ASSERT_EQ(GameBuiltins().size(), kBuiltinCount - kFirstGameBuiltin);
  EXPECT_EQ(GameBuiltins().front().id, kFirstGameBuiltin);
  EXPECT_EQ(std::string(GameBuiltins().front().name), "NativeSetWindowOption");
  EXPECT_EQ(Native(3), GameBuiltins().front().function);
  EXPECT_EQ(GameBuiltins().back().id, kBuiltinCount - 1);
  EXPECT_EQ(std::string(GameBuiltins()[791 - kFirstGameBuiltin].name), "NativeVovCreate");
  for (const GameBuiltin& builtin : GameBuiltins()) {
    EXPECT_EQ(Native(builtin.id), builtin.function) << builtin.id;
  }
}

TEST_F(GameScriptHostTest, TheSharedReturnZeroStandsAtItsSixNumbers) {
  const std::uint32_t zero_ids[] = {37, 55, 56, 795, 800, 801};
  for (std::uint32_t id : zero_ids) {
    EXPECT_EQ(std::string(GameBuiltins()[id - kFirstGameBuiltin].name), "NativeReturnZero") << id;
    EXPECT_EQ(Native(id), Native(37)) << id;
    EXPECT_EQ(Native(id)(Args(0, 0)), 0u) << id;
    EXPECT_EQ(Native(id)(Args(8, 0xFFFFFFFF)), 0u) << id;
    EXPECT_EQ(Native(id)(Args(3, 12345)), 0u) << id;
  }
  const auto zero_count = std::count_if(GameBuiltins().begin(), GameBuiltins().end(),
                                        [&](const GameBuiltin& b) { return b.function == Native(37); });
  EXPECT_EQ(zero_count, 6);
  EXPECT_TRUE(log_.Lines().empty());
}

TEST_F(GameScriptHostTest, AFunctionNotBuiltYetLogsItsNumberOnceAndReturnsZero) {
  EXPECT_EQ(Native(12)(Args(2, 7)), 0u);
  EXPECT_EQ(Native(12)(Args(2, 7)), 0u);
  const std::string name = GameBuiltins()[12 - kFirstGameBuiltin].name;
  ASSERT_EQ(log_.Lines().size(), 1u);
  EXPECT_NE(log_.Last().find("built-in function 12 " + name), std::string::npos) << log_.Last();
  EXPECT_NE(Native(13), Native(12));
}

// The seeding written out step by step: the table is filled in the order 21, 42, 8, ... and
// regenerated three times.
SubtractiveTable ThreePassSeed(std::uint32_t seed) {
  constexpr std::int64_t kModulus = 1000000000;
  std::int64_t words[56] = {};
  std::int64_t mj = seed;
  std::int64_t mk = 1;
  words[55] = mj;
  for (int i = 1; i <= 54; ++i) {
    const int ii = (21 * i) % 55;
    words[ii] = mk;
    mk = ((mj - mk) % kModulus + kModulus) % kModulus;
    mj = words[ii];
  }
  for (int pass = 0; pass < 3; ++pass) {
    for (int i = 1; i <= 24; ++i) words[i] = ((words[i] - words[i + 31]) % kModulus + kModulus) % kModulus;
    for (int i = 25; i <= 55; ++i) words[i] = ((words[i] - words[i - 24]) % kModulus + kModulus) % kModulus;
  }
  SubtractiveTable table{};
  for (int i = 1; i <= 55; ++i) table[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(words[i]);
  return table;
}

TEST(GameScriptRandomTest, AFixedClockGivesTheStateOfTheThreePassSeeding) {
  for (std::uint32_t clock : {0u, 1u, 123456789u, 999999999u}) {
    g_ScriptRandomIndex = 3;
    SeedScriptRandom(clock);
    EXPECT_EQ(g_ScriptRandomIndex, 55);
    EXPECT_EQ(g_ScriptRandomState, ThreePassSeed(clock)) << clock;
  }
  // The program-wide state is a different generator and stays as it was.
  const SubtractiveTable program_state = g_SubtractiveState;
  SeedScriptRandom(42);
  EXPECT_EQ(g_SubtractiveState, program_state);
}

TEST_F(GameScriptHostTest, ConstructionSeedsTheScriptGenerator) {
  g_ScriptRandomIndex = 0;
  CGameScriptHost other;
  EXPECT_EQ(g_ScriptRandomIndex, 55);
}

TEST_F(GameScriptHostTest, RestartMainResetsWithTheBootValueAndLoadsMain) {
  WriteScript("MAIN", ".kind script\n  Return\n");
  EXPECT_EQ(host_.BootValue(), 1u);
  host_.SetBootValue(5);
  g_ScriptCallDepth = 2;
  ASSERT_EQ(host_.RestartMain(false), 0u);
  EXPECT_EQ(host_.ScriptBootFlg(), static_cast<std::uint32_t>(-5));
  EXPECT_EQ(g_ScriptCallDepth, 0u);
  EXPECT_EQ(host_.RunLoop(), CScriptHost::kRunFinished);

  ASSERT_EQ(host_.RestartMain(true), 0u);
  EXPECT_EQ(host_.ScriptBootFlg(), 5u);
}

TEST_F(GameScriptHostTest, RestartMainWithoutAMainScriptFails) {
  host_.SetBootValue(2);
  EXPECT_EQ(host_.RestartMain(true), 1u);
  EXPECT_EQ(host_.ScriptBootFlg(), 2u);
}

}  // namespace
