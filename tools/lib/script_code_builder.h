// Assembles word code for the script virtual machine at a known address: instructions with their
// operands, labels for jump and call targets, Switch tables. Used by the tests, benchmarks and
// fuzz targets to make programs without a script compiler.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "script/script_memory.h"
#include "script/sob_opcode.h"

namespace kvxtools {

class ScriptCodeBuilder {
 public:
  struct Label {
    std::size_t id;
  };
  // An operand word: a number, or the address of a label (plus an offset), filled in when the code
  // is finished.
  struct Operand {
    Operand(std::uint32_t number) : value(number) {}
    Operand(Label target, std::uint32_t offset = 0) : value(offset), label(target.id), is_label(true) {}
    std::uint32_t value = 0;
    std::size_t label = 0;
    bool is_label = false;
  };

  // The code will live at `base`.
  explicit ScriptCodeBuilder(std::uint32_t base) : base_(base) {}

  std::uint32_t Base() const { return base_; }
  // The address of the next word.
  std::uint32_t Here() const { return base_ + static_cast<std::uint32_t>(4 * words_.size()); }

  Label NewLabel();
  // The label stands for the next word's address.
  void Bind(Label label);
  // The address a label was bound to; throws std::logic_error for a label never bound.
  std::uint32_t AddressOf(Label label) const;

  // Appends one instruction; throws std::invalid_argument when the operand count does not fit the
  // opcode. Returns the address of its opcode word.
  std::uint32_t Emit(ESobOpcode opcode, std::initializer_list<Operand> operands = {});
  // Switch on `index` with its target table and the closing word.
  std::uint32_t EmitSwitch(Operand index, std::initializer_list<Operand> targets);
  void EmitWord(Operand word);
  // The end of a loop that runs until the word `counter`, decremented here, counts down to 0: back
  // to `loop`, or on behind.
  void EmitCountDown(Label loop, std::uint32_t counter);

  // The address of operand n (counted from 1) of the instruction whose opcode word the label marks:
  // the destination of code that rewrites a later instruction's operand.
  static Operand OperandOf(Label instruction, std::uint32_t n) { return Operand(instruction, 4 * n); }

  // The words with every label filled in; throws std::logic_error for a label never bound.
  std::vector<std::uint32_t> Finish() const;
  // Writes the finished code into script memory at its base.
  void WriteTo(ScriptMemory& memory) const;

 private:
  std::uint32_t base_;
  std::vector<Operand> words_;
  std::vector<std::int64_t> label_addresses_;
};

}  // namespace kvxtools
