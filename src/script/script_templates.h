// The machine-code templates of the script translator: the code of one range of word code, one
// template per instruction, in the order of the code (see script_translator.h for the registers
// and the frame they use).
#pragma once

#include <cstdint>
#include <vector>

#include "script/script_translator.h"

class ScriptMemory;

struct TemplateInput {
  const ScriptMemory& memory;
  const TranslatedCalls& calls;
  const StoreReachesOtherCode& other_code;  // may be empty: no other code
  std::uint32_t code;
  std::uint32_t length;
  bool counted;
  const std::vector<TranslatedInstruction>& instructions;
};

// The code of the instructions, plain or counting instructions against the frame's budget, and
// for each byte offset of the range the offset of its instruction's code (UINT32_MAX where no
// instruction starts), and the offset of its dispatch table (see TranslatedRange). The addresses
// of the words not wholly inside the range that the code stores to without a look are added to
// `unchecked_stores`.
// False when the code cannot be put together.
bool WriteScriptTemplates(const TemplateInput& input, std::vector<std::uint8_t>& bytes, std::vector<std::uint32_t>& entries,
                          std::uint32_t& table, std::vector<std::uint32_t>& unchecked_stores);
