// The translated mode against the interpreter: the same random programs, run by two machines that
// start alike, must end alike in every respect that anything can observe: result, ip, sp, result
// register, stop-check counter, all of script memory, the log and the built-in calls. Each program
// runs under an instruction budget, and again without one until a stop check ends it. The
// programs run once more with the translated block cut into ranges of a few instructions, the
// instructions whose opcode words change resting at once and translated again after one quiet
// entry, so that the runs cross from range to range and meet code cut out and made again.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

#include "random_program_runner.h"
#include "script/script_translations.h"

namespace {

using kvxtools::RandomProgramRunner;
using kvxtools::RandomRunOutcome;

constexpr int kShards = 4;
constexpr int kProgramsPerShard = 25000;  // 10^5 programs in all
constexpr std::uint64_t kBudget = 200;
constexpr std::uint32_t kTransfersBeforeStop = 40;

// The translations' sizes of the runs that cross ranges: the instructions that change rest at
// once; no stop check comes from translation work, which the interpreter does not do.
constexpr ScriptTranslations::Limits kSmallRanges{24, 0, 1, UINT32_MAX};

void ExpectRandomProgramsEndAlike(int seed, const ScriptTranslations::Limits& limits) {
  RandomProgramRunner interpreted;
  RandomProgramRunner translated(true);
  translated.Vm().Translations().SetLimits(limits);
  std::mt19937 random(20240611 + seed);
  std::vector<std::uint32_t> choices;
  std::array<int, 5> budgeted_results{}, stopped_results{};
  int translated_programs = 0;
  for (int program = 0; program < kProgramsPerShard; ++program) {
    choices.clear();
    const auto record = [&] {
      choices.push_back(static_cast<std::uint32_t>(random()));
      return choices.back();
    };
    std::size_t replayed = 0;
    const auto replay = [&] { return choices[replayed++]; };

    const RandomRunOutcome expected = interpreted.ObserveOne(record, kBudget);
    const RandomRunOutcome actual = translated.ObserveOne(replay, kBudget);
    ASSERT_TRUE(expected == actual) << "program " << program << " under a budget\n interpreted: " << expected.Describe()
                                    << "\n translated:  " << actual.Describe();
    translated_programs += translated.LastTranslated() ? 1 : 0;
    ++budgeted_results.at(expected.result);

    replayed = 0;
    std::size_t replayed_again = 0;
    const auto replay_again = [&] { return choices[replayed_again++]; };
    const RandomRunOutcome expected_stop = interpreted.ObserveOneUntilStopCheck(replay, kTransfersBeforeStop);
    const RandomRunOutcome actual_stop = translated.ObserveOneUntilStopCheck(replay_again, kTransfersBeforeStop);
    ASSERT_TRUE(expected_stop == actual_stop) << "program " << program << " until the stop check\n interpreted: "
                                              << expected_stop.Describe() << "\n translated:  " << actual_stop.Describe();
    ++stopped_results.at(expected_stop.result);
  }
  // The programs reached every way a run can end, and a good share of them ran translated.
  for (const std::uint32_t result : {kScriptEnded, kScriptYielded, kScriptFaulted, kScriptOutOfSteps}) {
    EXPECT_GT(budgeted_results[result], 0) << "budgeted result " << result;
  }
  EXPECT_GT(stopped_results[kScriptStopped], 0);
  EXPECT_EQ(stopped_results[kScriptOutOfSteps], 0);
  EXPECT_GT(translated_programs, kProgramsPerShard / 10);
  std::printf("%d of %d programs ran translated; stopped by the stop check: %d\n", translated_programs, kProgramsPerShard,
              stopped_results[kScriptStopped]);
}

class ScriptTranslatorDifferential : public ::testing::TestWithParam<int> {};

TEST_P(ScriptTranslatorDifferential, RandomProgramsEndAlikeInterpretedAndTranslated) {
  ExpectRandomProgramsEndAlike(GetParam(), {});
}

TEST(ScriptTranslatorDifferentialSmallRanges, RandomProgramsEndAlikeAcrossSmallRangesAndRests) {
  ExpectRandomProgramsEndAlike(kShards, kSmallRanges);
}

INSTANTIATE_TEST_SUITE_P(Shards, ScriptTranslatorDifferential, ::testing::Range(0, kShards));

}  // namespace
