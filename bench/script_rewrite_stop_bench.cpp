// A loop that rewrites one of its own instructions on every pass, at the start of a 1 MB module
// of code, run until the first stop check ends it (a close request, answered at once): the time
// the translated mode takes to reach that stop check, against the interpreter's on the same
// module. The machine is made and its code translated afresh, outside the time, before every
// run. The ratio is printed after the runs.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "base/system/app_hooks.h"
#include "script/script_vm.h"
#include "script_code_builder.h"

#include "ratio_reporter.h"

namespace {

using kvxtools::ScriptCodeBuilder;
using Op = ESobOpcode;

constexpr std::uint32_t kModuleBytes = 1 << 20;

// The loop turns the IncMem at `step` into a DecMem and back on every pass; IncMem instructions
// fill the rest of the module. Returns the module's address.
std::uint32_t BuildRewritingModule(ScriptMemory& memory) {
  const std::uint32_t vars = memory.Allocate(16, true);
  const std::uint32_t count = vars, inc = vars + 4, dec = vars + 8;
  memory.SetWord(inc, static_cast<std::uint32_t>(Op::IncMem));
  memory.SetWord(dec, static_cast<std::uint32_t>(Op::DecMem));
  const std::uint32_t base = memory.Allocate(kModuleBytes, true);
  ScriptCodeBuilder code(base);
  const auto loop = code.NewLabel(), step = code.NewLabel();
  code.Bind(loop);
  code.Emit(Op::Copy, {dec, step});
  code.Bind(step);
  code.Emit(Op::IncMem, {count});
  code.Emit(Op::Copy, {inc, step});
  code.Emit(Op::Jump, {loop});
  while (code.Here() - base < kModuleBytes) code.Emit(Op::IncMem, {count});
  code.WriteTo(memory);
  return base;
}

void RunUntilStopped(benchmark::State& state, bool translated) {
  const auto stop_check = g_ScriptStopCheckHook;
  g_ScriptStopCheckHook = [] { return true; };
  for (auto _ : state) {
    state.PauseTiming();
    auto vm = std::make_unique<CScriptVm>();
    const std::uint32_t module = BuildRewritingModule(vm->Memory());
    if (translated) {
      vm->EnableTranslation(true);
      if (vm->Translations().Translate(module, kModuleBytes) != CScriptTranslator::kTranslated) {
        state.SkipWithError("the module cannot be translated");
        break;
      }
    }
    vm->Context().ResetStack();
    state.ResumeTiming();
    if (vm->Run(module) != kScriptStopped) {
      state.SkipWithError("the loop did not stop at the stop check");
      break;
    }
    state.PauseTiming();
    vm.reset();
    state.ResumeTiming();
  }
  g_ScriptStopCheckHook = stop_check;
}

void BM_TranslatedRewritingLoop(benchmark::State& state) { RunUntilStopped(state, true); }
BENCHMARK(BM_TranslatedRewritingLoop)->Unit(benchmark::kMillisecond);

void BM_InterpretedRewritingLoop(benchmark::State& state) { RunUntilStopped(state, false); }
BENCHMARK(BM_InterpretedRewritingLoop)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarksWithRatios(argc, argv, "until stopped",
                                 {{"BM_TranslatedRewritingLoop", "BM_InterpretedRewritingLoop"}});
}
