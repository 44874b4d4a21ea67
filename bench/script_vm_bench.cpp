// Interpreter speed on a loop-heavy script: arithmetic on rewritten operands, memory moves, calls
// of a script routine and of a built-in function. Reports instructions per second.
#include <benchmark/benchmark.h>

#include "script/script_vm.h"
#include "script_code_builder.h"

namespace {

using kvxtools::ScriptCodeBuilder;
using Op = ESobOpcode;

constexpr std::uint32_t kLoopCount = 100000;
// Instructions of one pass of the loop, the routine and the built-in call included.
constexpr std::uint64_t kInstructionsPerPass = 17;
constexpr std::uint64_t kInstructionsPerRun = kInstructionsPerPass * kLoopCount + 1;

std::uint32_t Increment(NativeArgs args) { return args.U32(0) + 1; }

// Variables: counter, accumulator, two temporaries, the built-in's argument and result.
std::uint32_t BuildProgram(CScriptVm& vm) {
  ScriptMemory& memory = vm.Memory();
  const std::uint32_t vars = memory.Allocate(64, true);
  const std::uint32_t counter = vars, acc = vars + 4, tmp = vars + 8, tmp2 = vars + 12, arg = vars + 16, ret = vars + 20;
  const std::uint32_t code_address = memory.Allocate(1024, true);
  ScriptCodeBuilder code(code_address);
  const auto loop = code.NewLabel(), mul = code.NewLabel(), add = code.NewLabel(), test = code.NewLabel(), done = code.NewLabel(),
             routine = code.NewLabel(), xor_op = code.NewLabel();
  code.Emit(Op::StoreImm, {kLoopCount, counter});
  code.Bind(loop);
  code.Emit(Op::Copy, {counter, ScriptCodeBuilder::OperandOf(mul, 1)});
  code.Emit(Op::Copy, {acc, ScriptCodeBuilder::OperandOf(add, 1)});
  code.Bind(mul);
  code.Emit(Op::Mul, {0, 3, tmp});
  code.Emit(Op::Copy, {tmp, ScriptCodeBuilder::OperandOf(add, 2)});
  code.Bind(add);
  code.Emit(Op::Add, {0, 0, acc});
  code.Emit(Op::Call, {routine});
  code.Emit(Op::CallNative, {ScriptNativeTable::Token(0), arg, ret});
  code.Emit(Op::DecMem, {counter});
  code.Emit(Op::Copy, {counter, ScriptCodeBuilder::OperandOf(test, 1)});
  code.Bind(test);
  code.Emit(Op::JumpIfZero, {0, done});
  code.Emit(Op::Jump, {loop});
  code.Bind(done);
  code.Emit(Op::Return);
  code.Bind(routine);
  code.Emit(Op::PushMem, {acc});
  code.Emit(Op::LoadStack, {4, ScriptCodeBuilder::OperandOf(xor_op, 1)});
  code.Emit(Op::Copy, {acc, tmp2});
  code.Bind(xor_op);
  code.Emit(Op::Xor, {0, 0x5A5A, arg});
  code.Emit(Op::SubSp, {4});
  code.Emit(Op::Return);
  code.WriteTo(memory);
  return code_address;
}

void BM_InterpretLoopHeavyScript(benchmark::State& state) {
  CScriptVm vm;
  vm.RegisterNative(&Increment);
  const std::uint32_t entry = BuildProgram(vm);
  CScriptContext& context = vm.Context();
  // The count of instructions is exact: one fewer leaves the run unfinished. Every run rewrites the
  // operands it reads before it reads them, so the program can run again as it stands.
  context.SetIp(entry);
  context.PushEndMarker();
  if (context.InterpretSteps(kInstructionsPerRun - 1) != kScriptOutOfSteps || context.InterpretSteps(1) != kScriptEnded) {
    state.SkipWithError("the benchmark program does not run as counted");
    return;
  }
  for (auto _ : state) {
    context.ResetStack();
    benchmark::DoNotOptimize(vm.Run(entry));
  }
  state.counters["instructions_per_second"] =
      benchmark::Counter(static_cast<double>(kInstructionsPerRun * state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_InterpretLoopHeavyScript)->Unit(benchmark::kMillisecond);

}  // namespace
