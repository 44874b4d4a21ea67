// Runs random word programs on a script virtual machine of its own: a small stack, a code block,
// a data block seeded with live handles, and built-in functions that read their arguments in every
// way built-in functions do. Shared by the fuzz test and the fuzz target.
#pragma once

#include <cstdint>
#include <functional>

#include "random_script_program.h"
#include "script/handle_table.h"
#include "script/script_vm.h"

namespace kvxtools {

// The kind of object that the random programs hold handles of.
struct FuzzTarget : ScriptVisible<FuzzTarget> {};

class RandomProgramRunner {
 public:
  static constexpr std::uint32_t kCodeWords = 64;
  static constexpr std::uint32_t kDataWords = 64;
  static constexpr std::uint32_t kStackWords = 256;

  RandomProgramRunner();

  // Makes a program from the choices and runs it for at most `max_instructions` instructions,
  // resuming once after a Yield. The result of the last Interpret.
  std::uint32_t RunOne(const std::function<std::uint32_t()>& next, std::uint64_t max_instructions);

  CScriptVm& Vm() { return vm_; }

 private:
  CScriptVm vm_;
  RandomProgramLayout layout_;
  FuzzTarget first_target_;
  FuzzTarget second_target_;
};

}  // namespace kvxtools
