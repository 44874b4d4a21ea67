// Arrays of 32-bit words that scripts hand to built-in functions, read as one checked range:
// a range that leaves script memory ends the run as a bad script before anything is allocated.
#pragma once

#include <cstdint>
#include <vector>

#include "script/native_args.h"

// `count` words from the address on; none at all is read from no address, also from 0.
std::vector<std::int32_t> ReadScriptWordsAt(const ScriptMemory& memory, std::uint32_t address, std::uint64_t count);
// `count` argument words from args[first] on.
std::vector<std::int32_t> ReadScriptWords(const NativeArgs& args, std::uint32_t first, std::uint64_t count);
