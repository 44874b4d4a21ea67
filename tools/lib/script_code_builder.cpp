#include "script_code_builder.h"

#include <stdexcept>

namespace kvxtools {

ScriptCodeBuilder::Label ScriptCodeBuilder::NewLabel() {
  label_addresses_.push_back(-1);
  return Label{label_addresses_.size() - 1};
}

void ScriptCodeBuilder::Bind(Label label) { label_addresses_.at(label.id) = Here(); }

std::uint32_t ScriptCodeBuilder::AddressOf(Label label) const {
  const std::int64_t address = label_addresses_.at(label.id);
  if (address < 0) throw std::logic_error("label used but never bound");
  return static_cast<std::uint32_t>(address);
}

std::uint32_t ScriptCodeBuilder::Emit(ESobOpcode opcode, std::initializer_list<Operand> operands) {
  const auto code = static_cast<std::uint32_t>(opcode);
  if (code >= kSobOpcodeCount || operands.size() != kSobOperandCount[code]) {
    throw std::invalid_argument("operand count does not fit the opcode");
  }
  const std::uint32_t address = Here();
  words_.emplace_back(code);
  words_.insert(words_.end(), operands);
  return address;
}

std::uint32_t ScriptCodeBuilder::EmitSwitch(Operand index, std::initializer_list<Operand> targets) {
  const std::uint32_t address = Emit(ESobOpcode::Switch, {index});
  words_.insert(words_.end(), targets);
  words_.emplace_back(kSwitchTableEnd);
  return address;
}

void ScriptCodeBuilder::EmitWord(Operand word) { words_.push_back(word); }

std::vector<std::uint32_t> ScriptCodeBuilder::Finish() const {
  std::vector<std::uint32_t> words;
  words.reserve(words_.size());
  for (const Operand& word : words_) {
    if (!word.is_label) {
      words.push_back(word.value);
      continue;
    }
    words.push_back(AddressOf(Label{word.label}) + word.value);
  }
  return words;
}

void ScriptCodeBuilder::WriteTo(ScriptMemory& memory) const {
  const std::vector<std::uint32_t> words = Finish();
  memory.Write(base_, words.data(), static_cast<std::uint32_t>(words.size() * sizeof(std::uint32_t)));
}

void ScriptCodeBuilder::EmitCountDown(Label loop, std::uint32_t counter) {
  const Label test = NewLabel(), done = NewLabel();
  Emit(ESobOpcode::DecMem, {counter});
  Emit(ESobOpcode::Copy, {counter, OperandOf(test, 1)});
  Bind(test);
  Emit(ESobOpcode::JumpIfZero, {1, done});
  Emit(ESobOpcode::Jump, {loop});
  Bind(done);
}

}  // namespace kvxtools
