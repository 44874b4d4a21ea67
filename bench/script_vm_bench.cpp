// Interpreter speed on the loop-heavy script, an integer loop and recursive fib. Reports instructions per second.
#include <benchmark/benchmark.h>

#include "script_vm_workloads.h"

namespace {

using namespace script_vm_workloads;

constexpr std::uint32_t kFibArgument = 27;

// Runs the program to its end once per iteration. The count of instructions is checked first:
// one fewer leaves the run unfinished. Every run rewrites the operands it reads before it reads
// them, so the program can run again as it stands.
void MeasureRuns(benchmark::State& state, CScriptVm& vm, const Program& program, std::uint64_t instructions) {
  CScriptContext& context = vm.Context();
  context.SetIp(program.entry);
  context.PushEndMarker();
  if (context.InterpretSteps(instructions - 1) != kScriptOutOfSteps || context.InterpretSteps(1) != kScriptEnded) {
    state.SkipWithError("the benchmark program does not run as counted");
    return;
  }
  for (auto _ : state) {
    context.ResetStack();
    benchmark::DoNotOptimize(vm.Run(program.entry));
  }
  state.counters["instructions_per_second"] =
      benchmark::Counter(static_cast<double>(instructions * state.iterations()), benchmark::Counter::kIsRate);
}

void BM_InterpretLoopHeavyScript(benchmark::State& state) {
  CScriptVm vm;
  vm.RegisterNative(&Increment);
  MeasureRuns(state, vm, BuildLoop(vm.Memory()), kLoopInstructions);
}
BENCHMARK(BM_InterpretLoopHeavyScript)->Unit(benchmark::kMillisecond);

void BM_InterpretIntegerLoop(benchmark::State& state) {
  CScriptVm vm;
  MeasureRuns(state, vm, BuildIntegerLoop(vm.Memory()), kIntegerLoopInstructions);
}
BENCHMARK(BM_InterpretIntegerLoop)->Unit(benchmark::kMillisecond);

void BM_InterpretRecursiveFib(benchmark::State& state) {
  CScriptVm vm;
  MeasureRuns(state, vm, BuildFib(vm.Memory(), kFibArgument), FibInstructions(kFibArgument));
}
BENCHMARK(BM_InterpretRecursiveFib)->Unit(benchmark::kMillisecond);

}  // namespace
