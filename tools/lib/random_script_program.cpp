#include "random_script_program.h"

#include "script/script_native_table.h"
#include "script/sob_opcode.h"

namespace kvxtools {

namespace {

std::uint32_t Pick(std::uint32_t choice, std::uint32_t count) { return count == 0 ? 0 : choice % count; }

// Addresses that work are drawn most often, so that programs run long enough to reach deep states.
std::uint32_t RandomOperand(const RandomProgramLayout& layout, const std::function<std::uint32_t()>& next) {
  const std::uint32_t kind = next() % 32;
  if (kind < 4) return next() % 64;
  if (kind < 8) return layout.code + 4 * Pick(next(), layout.code_words);
  if (kind < 10) {
    const bool library = layout.library != 0 && next() % 2 == 0;
    return library ? layout.library + 4 * Pick(next(), layout.library_words) : layout.code + 4 * Pick(next(), layout.code_words);
  }
  if (kind < 11) return layout.code + Pick(next(), 4 * layout.code_words);  // any byte, operands too
  if (kind < 20) return layout.data + 4 * Pick(next(), layout.data_words);
  if (kind < 24) return 4 * (next() % 8);  // a stack slot or a stack adjustment
  if (kind < 27) return layout.stack_base + 4 * Pick(next(), layout.stack_words);
  if (kind < 29) return ScriptNativeTable::Token(next() % (layout.native_count + 2));
  if (kind < 30) return 0;
  return next();
}

}  // namespace

std::vector<std::uint32_t> MakeRandomScriptProgram(const RandomProgramLayout& layout, const std::function<std::uint32_t()>& next) {
  std::vector<std::uint32_t> words;
  words.reserve(layout.code_words);
  while (words.size() < layout.code_words) {
    // A few opcodes above the last one, to reach the machine's refusal.
    const std::uint32_t opcode = next() % (kSobOpcodeCount + 3);
    words.push_back(opcode);
    const std::uint32_t operands = opcode < kSobOpcodeCount ? kSobOperandCount[opcode] : next() % 4;
    for (std::uint32_t i = 0; i < operands; ++i) words.push_back(RandomOperand(layout, next));
    if (opcode == static_cast<std::uint32_t>(ESobOpcode::Switch)) {
      const std::uint32_t targets = next() % 4;
      for (std::uint32_t i = 0; i < targets; ++i) words.push_back(layout.code + 4 * Pick(next(), layout.code_words));
      if (next() % 8 != 0) words.push_back(kSwitchTableEnd);  // sometimes the table runs on
    }
  }
  words.resize(layout.code_words);
  return words;
}

}  // namespace kvxtools
