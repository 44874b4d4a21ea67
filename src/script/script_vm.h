// The script runtime: the script memory with its handle table, the table of built-in functions and
// the runtime's own execution context. The script hosts derive from it.
#pragma once

#include <cstdint>

#include "script/handle_table.h"
#include "script/native_args.h"
#include "script/script_context.h"
#include "script/script_memory.h"
#include "script/script_native_table.h"

class CScriptVm {
 public:
  static constexpr std::uint32_t kDefaultStackWords = 16384;

  CScriptVm();
  virtual ~CScriptVm();

  CScriptVm(const CScriptVm&) = delete;
  CScriptVm& operator=(const CScriptVm&) = delete;

  // Records the size and gives the context a stack of that many words: 0, or 1 when the script
  // memory cannot hold it.
  std::uint32_t SetStackSize(std::uint32_t words);
  std::uint32_t StackSize() const { return stack_size_; }

  // Appends a built-in function; its number is its place in the order of registration. 0, or 1
  // for a null function or a full table.
  std::uint32_t RegisterNative(ScriptNativeFunc function);

  virtual std::uint32_t PushEndMarker();
  virtual std::uint32_t Run(std::uint32_t entry);

  CScriptContext& Context() { return context_; }
  ScriptMemory& Memory() { return memory_; }
  HandleTable& Handles() { return handles_; }
  const ScriptNativeTable& Natives() const { return natives_; }

 private:
  // Declared in the order of construction: the context's stack lives in the memory.
  ScriptMemory memory_;
  HandleTable handles_;
  ScriptNativeTable natives_;
  CScriptContext context_;
  std::uint32_t stack_size_ = 0;
};
