// The interpreter loop of CScriptContext: reads the opcode at ip and jumps to the code of one of
// 47 instructions, which read their operands in place. Script faults leave it as ScriptFault exceptions,
// with ip still on the instruction that raised them.
#pragma once

#include <cstdint>

class CScriptContext;

struct SobInterpreter {
  struct Ops;
  static std::uint32_t Execute(CScriptContext& context);
  static std::uint32_t Execute(CScriptContext& context, std::uint64_t max_instructions);
};
