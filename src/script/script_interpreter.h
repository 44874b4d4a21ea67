// The interpreter loop of CScriptContext: reads the opcode at ip and jumps to the code of one of
// 47 instructions, which read their operands in place. Script faults leave it as ScriptFault exceptions,
// with ip still on the instruction that raised them.
#pragma once

#include <cstdint>

#include "script/script_memory.h"
#include "script/script_native_table.h"

class CScriptContext;

// A word at address a is usable when a - ScriptMemory::kLowestAddress < ScriptWordLimit(): one
// unsigned compare, as an address below the lowest wraps to the top of the 32-bit range, above
// every limit.
inline std::uint32_t ScriptWordLimit(const ScriptMemory& memory) {
  const std::uint64_t end = memory.UsableEnd();
  constexpr std::uint64_t kLowest = ScriptMemory::kLowestAddress;
  return end >= kLowest + 4 ? static_cast<std::uint32_t>(end - kLowest - 3) : 0;
}
// The same for a stack slot's offset from the stack base.
inline std::uint64_t ScriptSlotLimit(std::uint32_t stack_base, std::uint32_t stack_end) {
  const std::uint64_t bytes = stack_end - stack_base;
  return bytes >= 4 ? bytes - 3 : 0;
}

// The result of Step when the run went on through a jump, call, return or switch (and passed the
// stop check) to an instruction where translated code may lie: ip holds the target.
inline constexpr std::uint32_t kScriptTransferred = 5;

struct SobInterpreter {
  struct Ops;
  static std::uint32_t Execute(CScriptContext& context);
  static std::uint32_t Execute(CScriptContext& context, std::uint64_t max_instructions);
  // Runs like Execute up to and including the next control transfer that lands where the
  // context's translations may hold code. The counted form takes the instructions it ran from
  // `budget`.
  static std::uint32_t Step(CScriptContext& context);
  static std::uint32_t Step(CScriptContext& context, std::uint64_t& budget);
  // Calls a built-in function; whatever it raises comes out as a script fault that names it.
  static std::uint32_t CallBuiltin(CScriptContext& context, ScriptNativeFunc function, std::uint32_t number,
                                   std::uint32_t arguments);
};
