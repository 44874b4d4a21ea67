#include "script/script_fault.h"

#include <cstdio>

namespace {

std::string Describe(ScriptFaultKind kind, std::uint32_t detail, std::uint32_t extent) {
  char text[96];
  switch (kind) {
    case ScriptFaultKind::kBadAddress:
      std::snprintf(text, sizeof text, "bad address 0x%08X (%u bytes)", detail, extent);
      break;
    case ScriptFaultKind::kBadOpcode:
      std::snprintf(text, sizeof text, "unknown opcode %u", detail);
      break;
    case ScriptFaultKind::kSwitchOutOfRange:
      std::snprintf(text, sizeof text, "switch index %u beyond its table", detail);
      break;
    case ScriptFaultKind::kStackOverflow:
      return "stack overflow";
    case ScriptFaultKind::kStackUnderflow:
      return "stack underflow";
    case ScriptFaultKind::kDivideByZero:
      return "division by zero";
    case ScriptFaultKind::kDivideOverflow:
      return "division overflow (-2147483648 by -1)";
    case ScriptFaultKind::kUnknownNative:
      std::snprintf(text, sizeof text, "unknown built-in function 0x%08X", detail);
      break;
    case ScriptFaultKind::kBuiltinFailed:
      std::snprintf(text, sizeof text, "built-in function %u failed", detail);
      break;
  }
  return text;
}

}  // namespace

ScriptFault::ScriptFault(ScriptFaultKind kind, std::uint32_t detail, std::uint32_t extent)
    : kind_(kind), detail_(detail), message_(Describe(kind, detail, extent)) {}

void RaiseBadAddress(std::uint32_t address, std::uint32_t extent) {
  throw ScriptFault(ScriptFaultKind::kBadAddress, address, extent);
}

ScriptFault ScriptFault::BuiltinFailed(std::uint32_t number, std::string_view reason) {
  ScriptFault fault(ScriptFaultKind::kBuiltinFailed, number);
  fault.message_.append(": ").append(reason);
  return fault;
}
