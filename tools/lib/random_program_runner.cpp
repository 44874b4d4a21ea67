#include "random_program_runner.h"

#include <cstring>
#include <vector>

namespace kvxtools {

namespace {

// Reads a string, a rectangle, a size and two handles, and writes through an out-parameter.
std::uint32_t ReadEverything(const NativeArgs& args) {
  const char* text = args.Str(0);
  std::uint32_t result = text == nullptr ? 0 : static_cast<std::uint32_t>(std::strlen(text));
  if (const auto rect = args.Rect(1)) result += static_cast<std::uint32_t>(rect->right);
  if (const auto size = args.From(2).Size(0)) result += static_cast<std::uint32_t>(size->height);
  if (args.Handle<FuzzTarget>(3) != nullptr) ++result;
  args.HandleRef<FuzzTarget>(4);
  args.Out(5).Set(result);
  return result;
}

std::uint32_t ReturnFirst(const NativeArgs& args) { return args.U32(0) + args.U8(1) + args.U16(2); }

}  // namespace

RandomProgramRunner::RandomProgramRunner() {
  vm_.SetStackSize(kStackWords);
  vm_.RegisterNative(&ReadEverything);
  vm_.RegisterNative(&ReturnFirst);
  layout_.code_words = kCodeWords;
  layout_.code = vm_.Memory().Allocate(4 * kCodeWords, true);
  layout_.data_words = kDataWords;
  layout_.data = vm_.Memory().Allocate(4 * kDataWords, true);
  layout_.stack_base = vm_.Context().StackBase();
  layout_.stack_words = kStackWords;
  layout_.native_count = vm_.Natives().Count();
}

std::uint32_t RandomProgramRunner::RunOne(const std::function<std::uint32_t()>& next, std::uint64_t max_instructions) {
  ScriptMemory& memory = vm_.Memory();
  const std::vector<std::uint32_t> code = MakeRandomScriptProgram(layout_, next);
  memory.Write(layout_.code, code.data(), 4 * kCodeWords);
  std::vector<std::uint32_t> data(kDataWords);
  for (std::uint32_t& word : data) word = next();
  // Handles and pointers to handles among the data, so that built-in functions find some.
  data[0] = first_target_.ScriptHandle(vm_.Handles());
  data[1] = second_target_.ScriptHandle(vm_.Handles());
  data[2] = layout_.data;
  data[3] = 65535;
  memory.Write(layout_.data, data.data(), 4 * kDataWords);

  CScriptContext& context = vm_.Context();
  context.ResetStack();
  context.SetIp(layout_.code);
  context.PushEndMarker();
  std::uint32_t result = context.InterpretSteps(max_instructions);
  if (result == kScriptYielded) result = context.InterpretSteps(max_instructions);
  return result;
}

}  // namespace kvxtools
