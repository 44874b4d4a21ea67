// Random word programs for the script virtual machine, for fuzzing: mostly valid opcodes with the
// right number of operands, the operands drawn from values that matter to the machine (small
// numbers, addresses inside the program, its data and its stack, built-in function tokens) and
// plain random words. Every choice comes from a caller's source of 32-bit words, so a fuzzer's
// input can drive it as well as a seeded generator.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace kvxtools {

struct RandomProgramLayout {
  std::uint32_t code = 0;  // where the program will lie
  std::uint32_t code_words = 0;
  std::uint32_t library = 0;  // code of another module that the program may call and jump into, 0 for none
  std::uint32_t library_words = 0;
  std::uint32_t data = 0;
  std::uint32_t data_words = 0;
  std::uint32_t stack_base = 0;
  std::uint32_t stack_words = 0;
  std::uint32_t native_count = 0;
};

// Exactly layout.code_words words.
std::vector<std::uint32_t> MakeRandomScriptProgram(const RandomProgramLayout& layout, const std::function<std::uint32_t()>& next);

}  // namespace kvxtools
