#include "script/script_native_table.h"

#include <algorithm>

bool ScriptNativeTable::Register(ScriptNativeFunc function) {
  if (function == nullptr || functions_.size() >= kMaxFunctions) return false;
  // The table grows by doubling.
  if (functions_.size() == functions_.capacity()) functions_.reserve(std::max<std::size_t>(1, functions_.capacity() * 2));
  functions_.push_back(function);
  return true;
}
