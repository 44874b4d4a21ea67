// One execution context of the script virtual machine: instruction pointer, a word stack in script
// memory that grows towards higher addresses, and the result register. The runtime owns one; the
// novel frame owns a second one for the code blocks embedded in scenario text.
#pragma once

#include <cstdint>

#include "base/lifetime/handle_table.h"
#include "script/script_fault.h"
#include "script/script_memory.h"
#include "script/script_native_table.h"

// Results of Interpret and Run.
inline constexpr std::uint32_t kScriptEnded = 0;    // a return popped the end marker 0
inline constexpr std::uint32_t kScriptYielded = 1;  // Yield: the next Interpret continues behind it
inline constexpr std::uint32_t kScriptFaulted = 2;  // a script fault stopped the run (logged)
inline constexpr std::uint32_t kScriptOutOfSteps = 3;  // only InterpretSteps: its budget ran out
inline constexpr std::uint32_t kScriptStopped = 4;  // the stop check (g_ScriptStopCheckHook) ended the run

// Control transfers between two stop checks of a running script.
inline constexpr std::uint32_t kTransfersPerStopCheck = std::uint32_t{1} << 20;

class ScriptTranslations;

class CScriptContext {
 public:
  CScriptContext(ScriptMemory& memory, const ScriptNativeTable& natives, HandleTable& handles);
  virtual ~CScriptContext();

  CScriptContext(const CScriptContext&) = delete;
  CScriptContext& operator=(const CScriptContext&) = delete;

  // Frees the old stack and allocates `words` words in script memory; sp := the new base. 0 on
  // success, 1 when the memory cannot hold it (the context then has no stack). ip is unchanged.
  std::uint32_t SetStackSize(std::uint32_t words);
  std::uint32_t SetIp(std::uint32_t address);
  // The stack operations return 0, or 1 (logged) when the stack is full or empty.
  std::uint32_t PushEndMarker();
  // The host parks a caller's resume point on the stack across a script Call with these two.
  std::uint32_t PushIp();
  std::uint32_t PopIp();
  // sp := the stack base.
  void ResetStack() { sp_ = stack_base_; }

  // ip := entry, push the end marker 0, Interpret.
  std::uint32_t Run(std::uint32_t entry);
  // Runs from ip until a Yield (1) or a return to the end marker (0); a script fault stops it with
  // 2, the stop check with 4 (ip on the next instruction, so a later Interpret would go on).
  std::uint32_t Interpret();
  // Interpret, stopped with 3 after `max_instructions` instructions if it has not ended by then;
  // the next call continues where it stopped. For fuzzing and measuring, where a run must be bounded.
  std::uint32_t InterpretSteps(std::uint64_t max_instructions);

  // The translations that runs of this context may use (the runtime's), null for none.
  void SetTranslations(ScriptTranslations* translations) { translations_ = translations; }
  // With the flag set, runs go to translated code wherever the translations hold some: 0, or 2
  // (logged once) when this machine cannot run translated code; the context then interprets.
  std::uint32_t EnableTranslation(bool flag);
  bool UsesTranslation() const { return use_translated_; }

  // The control transfers left before the next stop check. Tests and tools set it to reach the
  // stop check soon.
  std::uint32_t TransfersUntilStopCheck() const { return transfers_until_stop_check_; }
  void SetTransfersUntilStopCheck(std::uint32_t transfers) { transfers_until_stop_check_ = transfers; }

  std::uint32_t Ip() const { return ip_; }
  std::uint32_t Sp() const { return sp_; }
  std::uint32_t StackBase() const { return stack_base_; }
  std::uint32_t StackEnd() const { return stack_end_; }
  std::uint32_t ResultRegister() const { return result_; }

  ScriptMemory& Memory() const { return memory_; }

 private:
  friend struct SobInterpreter;
  friend struct SobTranslatedRun;

  void Push(std::uint32_t value) {
    if (stack_end_ - sp_ < 4) throw ScriptFault(ScriptFaultKind::kStackOverflow);
    memory_.SetWord(sp_, value);
    sp_ += 4;
  }
  std::uint32_t Pop() {
    if (sp_ - stack_base_ < 4) throw ScriptFault(ScriptFaultKind::kStackUnderflow);
    sp_ -= 4;
    return memory_.Word(sp_);
  }

  std::uint32_t Execute(bool counted, std::uint64_t max_instructions);
  template <class Operation>
  std::uint32_t Guarded(std::uint32_t fault_result, Operation operation);
  void FreeStack();

  ScriptMemory& memory_;
  const ScriptNativeTable& natives_;
  HandleTable& handles_;
  std::uint32_t stack_base_ = 0;
  std::uint32_t stack_end_ = 0;
  std::uint32_t ip_ = 0;
  std::uint32_t sp_ = 0;
  std::uint32_t result_ = 0;
  std::uint32_t transfers_until_stop_check_ = kTransfersPerStopCheck;
  ScriptTranslations* translations_ = nullptr;
  bool use_translated_ = false;
};
