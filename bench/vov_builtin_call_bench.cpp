// The cost of one call of a trivial built-in through the game's table: a script loop that calls
// built-in 794 (the novel frame's configuration word, with index 6, which changes nothing) 10^6
// times, against the same loop without the call. The ratio is printed after the runs.
#include <benchmark/benchmark.h>

#include "game/game_script_host.h"
#include "ratio_reporter.h"
#include "script/script_native_table.h"
#include "script_code_builder.h"

namespace {

using kvxtools::ScriptCodeBuilder;
using Op = ESobOpcode;

constexpr std::uint32_t kPasses = 1'000'000;
constexpr std::uint32_t kSetParamBuiltin = 794;
constexpr std::uint32_t kIgnoredIndex = 6;

// Counts down from kPasses, calling built-in 794 (index 6, value 1) on every pass when asked.
std::uint32_t BuildLoop(ScriptMemory& memory, bool with_call) {
  const std::uint32_t vars = memory.Allocate(32, true);
  const std::uint32_t counter = vars, args = vars + 4, result = vars + 12;
  memory.SetWord(args, kIgnoredIndex);
  memory.SetWord(args + 4, 1);
  const std::uint32_t code_address = memory.Allocate(256, true);
  ScriptCodeBuilder code(code_address);
  const auto loop = code.NewLabel();
  code.Emit(Op::StoreImm, {kPasses, counter});
  code.Bind(loop);
  if (with_call) code.Emit(Op::CallNative, {ScriptNativeTable::Token(kSetParamBuiltin), args, result});
  code.EmitCountDown(loop, counter);
  code.Emit(Op::Return);
  code.WriteTo(memory);
  return code_address;
}

void RunLoop(benchmark::State& state, bool with_call) {
  CGameScriptHost host;
  const std::uint32_t entry = BuildLoop(host.Memory(), with_call);
  for (auto _ : state) {
    host.Context().ResetStack();
    benchmark::DoNotOptimize(host.Run(entry));
  }
}

void BM_LoopCallingBuiltin794(benchmark::State& state) { RunLoop(state, true); }
BENCHMARK(BM_LoopCallingBuiltin794)->Unit(benchmark::kMillisecond);

void BM_LoopWithoutCall(benchmark::State& state) { RunLoop(state, false); }
BENCHMARK(BM_LoopWithoutCall)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarksWithRatios(argc, argv, "built-in call",
                                 {{"BM_LoopCallingBuiltin794", "BM_LoopWithoutCall"}});
}
