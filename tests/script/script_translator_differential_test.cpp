// The translated mode against the interpreter: the same random programs, run by two machines that
// start alike, must end alike in every respect that anything can observe: result, ip, sp, result
// register, stop-check counter, all of script memory, the log and the built-in calls. Each program
// runs under an instruction budget, and again without one until a stop check ends it.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "platform/diagnostic_log.h"
#include "random_program_runner.h"

namespace {

using kvxtools::RandomProgramRunner;

struct Outcome {
  std::uint32_t result = 0;
  std::uint32_t ip = 0;
  std::uint32_t sp = 0;
  std::uint32_t result_register = 0;
  std::uint32_t transfers = 0;
  std::uint64_t memory = 0;
  std::vector<std::string> log;
  std::vector<std::uint32_t> builtin_calls;

  bool operator==(const Outcome&) const = default;
};

// Runs one program through `run` and notes everything that can be seen of its end.
template <class Run>
Outcome Observe(RandomProgramRunner& runner, Run run) {
  Outcome outcome;
  {
    const plat::ScopedDiagnosticSink sink([&outcome](std::string_view line) { outcome.log.emplace_back(line); });
    outcome.result = run();
  }
  const CScriptContext& context = runner.Vm().Context();
  outcome.ip = context.Ip();
  outcome.sp = context.Sp();
  outcome.result_register = context.ResultRegister();
  outcome.transfers = context.TransfersUntilStopCheck();
  outcome.memory = runner.MemoryHash();
  outcome.builtin_calls = runner.BuiltinTrace();
  return outcome;
}

std::string Describe(const Outcome& o) {
  std::string text = "result " + std::to_string(o.result) + " ip " + std::to_string(o.ip) + " sp " + std::to_string(o.sp) +
                     " register " + std::to_string(o.result_register) + " transfers " + std::to_string(o.transfers) +
                     " memory " + std::to_string(o.memory) + " calls " + std::to_string(o.builtin_calls.size());
  for (const std::string& line : o.log) text += " | " + line;
  return text;
}

constexpr int kShards = 4;
constexpr int kProgramsPerShard = 25000;  // 10^5 programs in all
constexpr std::uint64_t kBudget = 200;
constexpr std::uint32_t kTransfersBeforeStop = 40;

class ScriptTranslatorDifferential : public ::testing::TestWithParam<int> {};

TEST_P(ScriptTranslatorDifferential, RandomProgramsEndAlikeInterpretedAndTranslated) {
  RandomProgramRunner interpreted;
  RandomProgramRunner translated(true);
  std::mt19937 random(20240611 + GetParam());
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

    const Outcome expected = Observe(interpreted, [&] { return interpreted.RunOne(record, kBudget); });
    const Outcome actual = Observe(translated, [&] { return translated.RunOne(replay, kBudget); });
    ASSERT_EQ(expected, actual) << "program " << program << " under a budget\n interpreted: " << Describe(expected)
                                << "\n translated:  " << Describe(actual);
    translated_programs += translated.LastTranslated() ? 1 : 0;
    ++budgeted_results.at(expected.result);

    replayed = 0;
    std::size_t replayed_again = 0;
    const auto replay_again = [&] { return choices[replayed_again++]; };
    const Outcome expected_stop = Observe(interpreted, [&] { return interpreted.RunOneUntilStopCheck(replay, kTransfersBeforeStop); });
    const Outcome actual_stop =
        Observe(translated, [&] { return translated.RunOneUntilStopCheck(replay_again, kTransfersBeforeStop); });
    ASSERT_EQ(expected_stop, actual_stop) << "program " << program << " until the stop check\n interpreted: "
                                          << Describe(expected_stop) << "\n translated:  " << Describe(actual_stop);
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

INSTANTIATE_TEST_SUITE_P(Shards, ScriptTranslatorDifferential, ::testing::Range(0, kShards));

}  // namespace
