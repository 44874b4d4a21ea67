#include "random_program_runner.h"

#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "base/system/app_hooks.h"
#include "platform/system/diagnostic_log.h"

namespace kvxtools {

namespace {

constexpr std::uint32_t kTracedArguments = 6;
std::vector<std::uint32_t>* g_trace = nullptr;

// Notes the call in the running runner's trace.
void Trace(std::uint32_t number, const NativeArgs& args) {
  if (g_trace == nullptr) return;
  g_trace->push_back(number);
  g_trace->push_back(args.Address());
  for (std::uint32_t n = 0; n < kTracedArguments; ++n) {
    const std::uint32_t address = args.Address() + 4 * n;
    g_trace->push_back(args.Memory().Contains(address, 4) ? args.Memory().Word(address) : RandomProgramRunner::kUnreadable);
  }
}

// Reads a string, a rectangle, a size and two handles, and writes through an out-parameter.
std::uint32_t ReadEverything(const NativeArgs& args) {
  Trace(0, args);
  const char* text = args.Str(0);
  std::uint32_t result = text == nullptr ? 0 : static_cast<std::uint32_t>(std::strlen(text));
  if (const auto rect = args.Rect(1)) result += static_cast<std::uint32_t>(rect->right);
  if (const auto size = args.From(2).Size(0)) result += static_cast<std::uint32_t>(size->height);
  if (args.Handle<FuzzTarget>(3) != nullptr) ++result;
  args.HandleRef<FuzzTarget>(4);
  args.Out(5).Set(result);
  return result;
}

std::uint32_t ReturnFirst(const NativeArgs& args) {
  Trace(1, args);
  return args.U32(0) + args.U8(1) + args.U16(2);
}

bool StopNow() { return true; }

}  // namespace

RandomProgramRunner::RandomProgramRunner(bool translated) : translated_(translated) {
  if (translated_) vm_.EnableTranslation(true);
  vm_.SetStackSize(kStackWords);
  vm_.RegisterNative(&ReadEverything);
  vm_.RegisterNative(&ReturnFirst);
  layout_.code_words = kCodeWords;
  layout_.code = vm_.Memory().Allocate(4 * kCodeWords, true);
  layout_.library_words = kLibraryWords;
  layout_.library = vm_.Memory().Allocate(4 * kLibraryWords, true);
  layout_.data_words = kDataWords;
  layout_.data = vm_.Memory().Allocate(4 * kDataWords, true);
  layout_.stack_base = vm_.Context().StackBase();
  layout_.stack_words = kStackWords;
  layout_.native_count = vm_.Natives().Count();
}

void RandomProgramRunner::Prepare(const std::function<std::uint32_t()>& next) {
  ScriptMemory& memory = vm_.Memory();
  const std::vector<std::uint32_t> code = MakeRandomScriptProgram(layout_, next);
  memory.Write(layout_.code, code.data(), 4 * kCodeWords);
  // The library sees the program as its library in turn.
  RandomProgramLayout library_layout = layout_;
  std::swap(library_layout.code, library_layout.library);
  std::swap(library_layout.code_words, library_layout.library_words);
  const std::vector<std::uint32_t> library = MakeRandomScriptProgram(library_layout, next);
  memory.Write(layout_.library, library.data(), 4 * kLibraryWords);
  std::vector<std::uint32_t> data(kDataWords);
  for (std::uint32_t& word : data) word = next();
  // Handles and pointers to handles among the data, so that built-in functions find some.
  data[0] = first_target_.ScriptHandle(vm_.Handles());
  data[1] = second_target_.ScriptHandle(vm_.Handles());
  data[2] = layout_.data;
  data[3] = 65535;
  memory.Write(layout_.data, data.data(), 4 * kDataWords);
  last_translated_ = false;
  if (translated_) {
    // Code that cannot be translated is expected here; it runs interpreted, as it would in a game.
    const plat::ScopedDiagnosticSink quiet([](std::string_view) {});
    vm_.Translations().Translate(layout_.library, 4 * kLibraryWords);
    last_translated_ = vm_.Translations().Translate(layout_.code, 4 * kCodeWords) == CScriptTranslator::kTranslated;
  }

  CScriptContext& context = vm_.Context();
  context.ResetStack();
  context.SetIp(layout_.code);
  context.PushEndMarker();
  trace_.clear();
}

template <class Run>
std::uint32_t RandomProgramRunner::RunTwice(Run run) {
  g_trace = &trace_;
  std::uint32_t result = run();
  if (result == kScriptYielded) result = run();
  g_trace = nullptr;
  return result;
}

std::uint32_t RandomProgramRunner::RunOne(const std::function<std::uint32_t()>& next, std::uint64_t max_instructions) {
  Prepare(next);
  return RunTwice([&] { return vm_.Context().InterpretSteps(max_instructions); });
}

std::uint32_t RandomProgramRunner::RunOneUntilStopCheck(const std::function<std::uint32_t()>& next, std::uint32_t transfers) {
  Prepare(next);
  vm_.Context().SetTransfersUntilStopCheck(transfers);
  bool (*const previous)() = g_ScriptStopCheckHook;
  g_ScriptStopCheckHook = &StopNow;
  const std::uint32_t result = RunTwice([&] { return vm_.Context().Interpret(); });
  g_ScriptStopCheckHook = previous;
  return result;
}

template <class Run>
RandomRunOutcome RandomProgramRunner::Observe(Run run) {
  RandomRunOutcome outcome;
  {
    const plat::ScopedDiagnosticSink sink([&outcome](std::string_view line) { outcome.log.emplace_back(line); });
    outcome.result = run();
  }
  const CScriptContext& context = vm_.Context();
  outcome.ip = context.Ip();
  outcome.sp = context.Sp();
  outcome.result_register = context.ResultRegister();
  outcome.transfers_until_stop_check = context.TransfersUntilStopCheck();
  outcome.memory_hash = MemoryHash();
  outcome.builtin_calls = trace_;
  return outcome;
}

RandomRunOutcome RandomProgramRunner::ObserveOne(const std::function<std::uint32_t()>& next, std::uint64_t max_instructions) {
  return Observe([&] { return RunOne(next, max_instructions); });
}

RandomRunOutcome RandomProgramRunner::ObserveOneUntilStopCheck(const std::function<std::uint32_t()>& next, std::uint32_t transfers) {
  return Observe([&] { return RunOneUntilStopCheck(next, transfers); });
}

std::string RandomRunOutcome::Describe() const {
  std::string text = "result " + std::to_string(result) + " ip " + std::to_string(ip) + " sp " + std::to_string(sp) + " register " +
                     std::to_string(result_register) + " transfers " + std::to_string(transfers_until_stop_check) + " memory " +
                     std::to_string(memory_hash) + " built-in words " + std::to_string(builtin_calls.size());
  for (const std::string& line : log) text += " | " + line;
  return text;
}

std::uint64_t RandomProgramRunner::MemoryHash() const {
  const ScriptMemory& memory = vm_.Memory();
  const std::uint32_t start = ScriptMemory::kLowestAddress;
  const auto bytes = memory.Range(start, static_cast<std::uint32_t>(memory.UsableEnd() - start));
  std::uint64_t hash = 0xCBF29CE484222325u;
  for (std::size_t at = 0; at + 8 <= bytes.size(); at += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes.data() + at, sizeof word);
    hash = (hash ^ word) * 0x100000001B3u;
  }
  return hash;
}

}  // namespace kvxtools
