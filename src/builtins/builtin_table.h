// The game's built-in functions 3 to 808, in the order of their numbers: the game script host
// registers them one after another after the transfer built-ins 0 to 2.
#pragma once

#include <cstdint>
#include <span>

#include "script/script_native_table.h"

struct GameBuiltin {
  std::uint32_t id;
  const char* name;
  ScriptNativeFunc function;
};

inline constexpr std::uint32_t kFirstGameBuiltin = 3;
inline constexpr std::uint32_t kBuiltinCount = 809;

// Entry i holds number kFirstGameBuiltin + i.
std::span<const GameBuiltin> GameBuiltins();

// Logs, once per number, that a script reached a step of built-in function `id` that is not built.
void ReportBuiltinNotBuilt(std::uint32_t id);
