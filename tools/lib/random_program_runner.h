// Runs random word programs on a script virtual machine of its own: a small stack, a code block,
// a data block seeded with live handles, and built-in functions that read their arguments in every
// way built-in functions do, and a second code block, a library of random code that the program's
// operands may name. Shared by the fuzz tests and the fuzz target. In the translated mode the
// machine runs translated code: each program's two code blocks are translated apart, as two
// modules are, before it runs (a block that cannot be translated runs interpreted), so that the
// two modes can be compared.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/lifetime/handle_table.h"
#include "random_script_program.h"
#include "script/script_vm.h"

namespace kvxtools {

// The kind of object that the random programs hold handles of.
struct FuzzTarget : ScriptVisible<FuzzTarget> {};

// Everything that can be seen of a run's end.
struct RandomRunOutcome {
  std::uint32_t result = 0;
  std::uint32_t ip = 0;
  std::uint32_t sp = 0;
  std::uint32_t result_register = 0;
  std::uint32_t transfers_until_stop_check = 0;
  std::uint64_t memory_hash = 0;
  std::vector<std::string> log;
  std::vector<std::uint32_t> builtin_calls;  // as BuiltinTrace

  bool operator==(const RandomRunOutcome&) const = default;
  std::string Describe() const;
};

class RandomProgramRunner {
 public:
  static constexpr std::uint32_t kCodeWords = 64;
  static constexpr std::uint32_t kLibraryWords = 24;
  static constexpr std::uint32_t kDataWords = 64;
  static constexpr std::uint32_t kStackWords = 256;

  explicit RandomProgramRunner(bool translated = false);

  // Makes a program from the choices and runs it for at most `max_instructions` instructions,
  // resuming once after a Yield. The result of the last Interpret.
  std::uint32_t RunOne(const std::function<std::uint32_t()>& next, std::uint64_t max_instructions);
  // The same without a budget: the stop check comes after `transfers` control transfers and ends
  // the run (result 4), resuming once after a Yield.
  std::uint32_t RunOneUntilStopCheck(const std::function<std::uint32_t()>& next, std::uint32_t transfers);

  // RunOne and RunOneUntilStopCheck with everything that can be seen of the end; the log lines
  // of the run are kept there instead of reaching the log.
  RandomRunOutcome ObserveOne(const std::function<std::uint32_t()>& next, std::uint64_t max_instructions);
  RandomRunOutcome ObserveOneUntilStopCheck(const std::function<std::uint32_t()>& next, std::uint32_t transfers);

  CScriptVm& Vm() { return vm_; }
  // Whether the last program's code block ran as translated code.
  bool LastTranslated() const { return last_translated_; }
  // The built-in calls of the last program: for each its number, the argument address and the
  // first argument words (kUnreadable for those outside the usable memory).
  static constexpr std::uint32_t kUnreadable = 0xDEADDEAD;
  const std::vector<std::uint32_t>& BuiltinTrace() const { return trace_; }
  // A hash of all of the usable script memory.
  std::uint64_t MemoryHash() const;

 private:
  void Prepare(const std::function<std::uint32_t()>& next);
  template <class Run>
  std::uint32_t RunTwice(Run run);
  template <class Run>
  RandomRunOutcome Observe(Run run);

  bool translated_;
  bool last_translated_ = false;
  std::vector<std::uint32_t> trace_;
  CScriptVm vm_;
  RandomProgramLayout layout_;
  FuzzTarget first_target_;
  FuzzTarget second_target_;
};

}  // namespace kvxtools
