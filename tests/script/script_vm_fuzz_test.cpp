// Random word programs must end, yield, fault or run out of their budget, and never take the
// process down or trip a sanitizer.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <random>
#include <string_view>

#include "platform/system/diagnostic_log.h"
#include "random_program_runner.h"
#include "script_code_builder.h"

namespace {

TEST(ScriptVmFuzz, HundredThousandRandomProgramsStayInsideTheMachine) {
  std::size_t log_lines = 0;
  std::optional<plat::ScopedDiagnosticSink> sink(std::in_place, [&log_lines](std::string_view) { ++log_lines; });

  kvxtools::RandomProgramRunner runner;
  std::mt19937 random(20240611);
  const std::function<std::uint32_t()> next = [&random] { return static_cast<std::uint32_t>(random()); };
  std::array<std::size_t, 4> outcomes{};
  for (int program = 0; program < 100000; ++program) {
    const std::uint32_t result = runner.RunOne(next, 200);
    ASSERT_LT(result, outcomes.size()) << "program " << program;
    ++outcomes[result];
  }
  sink.reset();

  // Every way a run can stop was reached, and every fault was logged.
  EXPECT_GT(outcomes[kScriptEnded], 0u);
  EXPECT_GT(outcomes[kScriptYielded], 0u);
  EXPECT_GT(outcomes[kScriptFaulted], 0u);
  EXPECT_GT(outcomes[kScriptOutOfSteps], 0u);
  EXPECT_EQ(log_lines, outcomes[kScriptFaulted]);

  // The machine still runs a sound program.
  CScriptVm& vm = runner.Vm();
  const std::uint32_t code = vm.Memory().Allocate(64);
  const std::uint32_t result = vm.Memory().Allocate(4, true);
  kvxtools::ScriptCodeBuilder builder(code);
  builder.Emit(ESobOpcode::Mul, {6, 7, result});
  builder.Emit(ESobOpcode::Return);
  builder.WriteTo(vm.Memory());
  vm.Context().ResetStack();
  EXPECT_EQ(vm.Run(code), kScriptEnded);
  EXPECT_EQ(vm.Memory().Word(result), 42u);
}

}  // namespace
