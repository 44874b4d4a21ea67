// Scenario objects on arbitrary bytes: what the TOB parser accepts is loaded into script memory,
// and its body is walked as the novel frame walks it, every command read with its condition and
// operands (whether or not the condition holds) and every code block linked, against a runtime
// with user variables, built-in functions and host variables. Expressions run with a bounded
// number of instructions. Whatever is accepted must lie inside the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include "novel/scenario/tob_file.h"
#include "novel/scenario/vov_command.h"
#include "novel/scenario/vov_script.h"
#include "platform/system/diagnostic_log.h"
#include "sob_builder.h"

namespace {

constexpr std::uint64_t kInstructionsPerExpression = 2000;

std::uint32_t NativeNothing(const NativeArgs&) { return 0; }

CScriptVm& Runtime() {
  static plat::ScopedDiagnosticSink quiet([](std::string_view) {});
  static CScriptVm vm;
  static const bool ready = [] {
    for (int n = 0; n < 4; ++n) vm.RegisterNative(NativeNothing);
    kvxtools::UserVarBuilder variables;
    variables.AddVariable(0, 1, 8, {1, 0, 0, 0, 2});
    variables.AddVariable(1, 2, 16, {3});
    UserVarObject object;
    return ParseUserVarObject(variables.Build(), object) == 0 && vm.Variables().Install(object, false, false);
  }();
  (void)ready;
  return vm;
}

// Runs an expression from a fresh stack for a bounded number of instructions.
class BoundedExpressions : public VovExpressionRunner {
 public:
  explicit BoundedExpressions(CScriptVm& vm) : vm_(vm), context_(vm.Memory(), vm.Natives(), vm.Handles()) {
    context_.SetStackSize(1024);
  }
  std::optional<std::uint32_t> Evaluate(std::uint32_t code_address) override {
    context_.ResetStack();
    context_.SetIp(code_address);
    context_.PushEndMarker();
    if (context_.InterpretSteps(kInstructionsPerExpression) == kScriptFaulted) return std::nullopt;
    return vm_.RetVovExp();
  }

 private:
  CScriptVm& vm_;
  CScriptContext context_;
};

void WalkBody(const VovDecoder& decoder) {
  VovOperandArea area;
  std::uint32_t at = 0;
  while (at < decoder.body.size()) {
    std::uint32_t next = at + 1;
    if (decoder.body[at] == '[' && at + 1 < decoder.body.size()) {
      if (decoder.body[at + 1] == ' ') {
        if (const std::optional<VovCommandHead> head = ReadVovCommandHead(decoder, at)) {
          if (head->end <= at || head->end > decoder.body.size()) std::abort();
          const std::size_t mark = area.Mark();
          if (!DecodeVovOperands(decoder, *head, area) && area.Mark() != mark) std::abort();
          for (const VovOperand& operand : area.From(mark)) {
            if ((operand.flags & kVovStringFlag) != 0 && !operand.text.empty() &&
                (operand.value < decoder.body_address || operand.value >= decoder.body_address + decoder.body.size())) {
              std::abort();
            }
          }
          area.Release(mark);
          next = head->end;
        }
      } else if (decoder.body[at + 1] == 's') {
        if (const std::optional<VovCode> code = ReadVovCodeBlock(decoder, at)) {
          if (code->end <= at || code->end > decoder.body.size()) std::abort();
          next = code->end;
        }
      }
    }
    at = next;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  TobLayout layout;
  if (ParseTob(input, layout) != TobStatus::kOk) return 0;
  if (layout.body_offset > size) std::abort();
  CScriptVm& vm = Runtime();
  const std::unique_ptr<VovScript> script = VovScript::Create(vm.Memory(), input, std::move(layout), "FUZZ", -1);
  if (!script) return 0;
  for (std::uint32_t line = 0; line < script->LineTableSize(); ++line) {
    if (!script->IsPosition(static_cast<std::uint64_t>(script->LineOffset(line)))) std::abort();
  }
  static BoundedExpressions expressions(vm);
  WalkBody(VovDecoder{vm, expressions, script->Body(), script->BodyAddress()});
  return 0;
}
