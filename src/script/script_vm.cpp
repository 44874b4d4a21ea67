#include "script/script_vm.h"

CScriptVm::CScriptVm() : context_(memory_, natives_, handles_) { SetStackSize(kDefaultStackWords); }

CScriptVm::~CScriptVm() = default;

std::uint32_t CScriptVm::SetStackSize(std::uint32_t words) {
  stack_size_ = words;
  return context_.SetStackSize(words);
}

std::uint32_t CScriptVm::RegisterNative(ScriptNativeFunc function) { return natives_.Register(function) ? 0 : 1; }

std::uint32_t CScriptVm::PushEndMarker() { return context_.PushEndMarker(); }

std::uint32_t CScriptVm::Run(std::uint32_t entry) { return context_.Run(entry); }
