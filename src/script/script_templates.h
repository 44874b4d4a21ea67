// The machine-code templates of the script translator: the code of one range of word code, one
// template per instruction, in the order of the code (see script_translator.h for the registers
// and the frame they use).
#pragma once

#include <cstdint>
#include <vector>

#include "script/script_translator.h"

class ScriptMemory;

// The code of the instructions, plain or counting instructions against the frame's budget, and
// for each byte offset of the range the offset of its instruction's code (UINT32_MAX where no
// instruction starts). False when the code cannot be put together.
bool WriteScriptTemplates(const ScriptMemory& memory, const TranslatedCalls& calls, std::uint32_t code, std::uint32_t length,
                          bool counted, const std::vector<TranslatedInstruction>& instructions, std::vector<std::uint8_t>& bytes,
                          std::vector<std::uint32_t>& entries);
