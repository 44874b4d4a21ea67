#include "script/script_context.h"

#include <cstdio>

#include "platform/system/diagnostic_log.h"
#include "platform/system/executable_memory.h"
#include "script/script_interpreter.h"
#include "script/script_translated_run.h"

CScriptContext::CScriptContext(ScriptMemory& memory, const ScriptNativeTable& natives, HandleTable& handles)
    : memory_(memory), natives_(natives), handles_(handles) {}

CScriptContext::~CScriptContext() { FreeStack(); }

std::uint32_t CScriptContext::SetStackSize(std::uint32_t words) {
  FreeStack();
  if (words > ScriptMemory::kAllocationLimit / 4) return 1;
  const std::uint32_t bytes = words * 4;
  const std::uint32_t base = memory_.Allocate(bytes, true);
  if (base == 0) return 1;
  stack_base_ = base;
  stack_end_ = base + bytes;
  sp_ = base;
  return 0;
}

std::uint32_t CScriptContext::SetIp(std::uint32_t address) {
  ip_ = address;
  return 0;
}

std::uint32_t CScriptContext::PushEndMarker() {
  return Guarded(1, [this] {
    Push(0);
    return 0u;
  });
}

std::uint32_t CScriptContext::PushIp() {
  return Guarded(1, [this] {
    Push(ip_);
    return 0u;
  });
}

std::uint32_t CScriptContext::PopIp() {
  return Guarded(1, [this] {
    ip_ = Pop();
    return 0u;
  });
}

std::uint32_t CScriptContext::Run(std::uint32_t entry) {
  ip_ = entry;
  return Guarded(kScriptFaulted, [this] {
    Push(0);
    return Execute(false, 0);
  });
}

std::uint32_t CScriptContext::Interpret() {
  return Guarded(kScriptFaulted, [this] { return Execute(false, 0); });
}

std::uint32_t CScriptContext::InterpretSteps(std::uint64_t max_instructions) {
  return Guarded(kScriptFaulted, [this, max_instructions] { return Execute(true, max_instructions); });
}

std::uint32_t CScriptContext::Execute(bool counted, std::uint64_t max_instructions) {
  if (use_translated_ && translations_ != nullptr) return SobTranslatedRun::Execute(*this, counted, max_instructions);
  return counted ? SobInterpreter::Execute(*this, max_instructions) : SobInterpreter::Execute(*this);
}

std::uint32_t CScriptContext::EnableTranslation(bool flag) {
  use_translated_ = false;
  if (!flag) return 0;
  // A small probe tells whether this machine and process can run code made at run time.
  static const bool available = [] {
    const std::uint8_t ret[] = {0xC3};
    const bool made = plat::ExecutableMemory::Create(ret) != nullptr;
    if (!made) plat::LogDiagnostic("script translation is not available here: the scripts are interpreted");
    return made;
  }();
  if (!available) return 2;
  use_translated_ = true;
  return 0;
}

template <class Operation>
std::uint32_t CScriptContext::Guarded(std::uint32_t fault_result, Operation operation) {
  try {
    return operation();
  } catch (const ScriptFault& fault) {
    char line[160];
    std::snprintf(line, sizeof line, "script fault: %s at ip 0x%08X", fault.what(), ip_);
    plat::LogDiagnostic(line);
    return fault_result;
  }
}

void CScriptContext::FreeStack() {
  memory_.Free(stack_base_);
  stack_base_ = stack_end_ = sp_ = 0;
}
