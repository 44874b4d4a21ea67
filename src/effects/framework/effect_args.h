// Typed readers of the argument words that effects and filters take. A word may hold an
// integer, a flag, the address of a host text (a decimal number among them), an engine object
// or an out-pointer; the caller that built the list resolved every script word by the kind the
// effect declares for it (effects/framework/effect_word_kinds.h), so that a pointer read here is one.
#pragma once

#include <bit>
#include <cstdint>

#include "resource/plugins/plugin_args.h"

class CSprite;

// The list an assist entry was handed; an empty one for null.
inline PluginArgs ArgsOrNone(const PluginArgs* args) { return args != nullptr ? *args : PluginArgs{nullptr, 0}; }

inline std::int32_t ArgInt(const PluginArgs& args, std::uint32_t index) { return args.I32(index); }
inline std::uint32_t ArgUnsigned(const PluginArgs& args, std::uint32_t index) { return args.U32(index); }
inline bool ArgFlag(const PluginArgs& args, std::uint32_t index) { return args.U32(index) != 0; }
inline const char* ArgText(const PluginArgs& args, std::uint32_t index) { return args.Pointer<const char>(index); }
// An engine object of the kind the callee works on; null when the word is 0.
template <class T>
T* ArgObject(const PluginArgs& args, std::uint32_t index) {
  return args.Pointer<T>(index);
}
// Where the callee writes a result; null when the caller wants none.
template <class T>
T* ArgOut(const PluginArgs& args, std::uint32_t index) {
  return args.Pointer<T>(index);
}
// The sprite at `index` when it is a plain one (no colour box or other drawable), else null.
CSprite* ArgPlainSprite(const PluginArgs& args, std::uint32_t index);
// A double travels in a word as its bit pattern (the words are 64 bits wide on this host).
inline double ArgDouble(const PluginArgs& args, std::uint32_t index) {
  return std::bit_cast<double>(static_cast<std::uint64_t>(args.Word(index)));
}
inline std::uintptr_t DoubleWord(double value) {
  static_assert(sizeof(std::uintptr_t) == sizeof(double));
  return static_cast<std::uintptr_t>(std::bit_cast<std::uint64_t>(value));
}
// The decimal text at `index` as a number, `fallback` for a null text. See ParseDecimal.
double ArgDecimal(const PluginArgs& args, std::uint32_t index, double fallback);

// Reads a decimal number the way the C library's text-to-double conversion does in the "C"
// locale, whatever the process's locale: leading blanks, a sign, digits with a '.' fraction and
// an exponent, "inf" and "nan"; the longest such prefix counts, and text without one gives 0
// (a hexadecimal form is not read: "0x10" gives 0). A value beyond the double range gives an
// infinity of its sign, one too small for it 0.
double ParseDecimal(const char* text);
