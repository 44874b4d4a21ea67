// The built-in functions that scripts call by number. A function's number is its place in the
// order of registration. Linked code does not hold a function's address: it holds a token from a
// reserved range below 0x10000 (never a valid script address) that names the number, and the call
// instruction maps the token back.
#pragma once

#include <cstdint>
#include <vector>

#include "script/native_args.h"

// By reference: passed by value, the small argument object was built and then copied to the stack
// in two differently sized stores on every built-in call, which stalls store forwarding.
using ScriptNativeFunc = std::uint32_t (*)(const NativeArgs& args);

class ScriptNativeTable {
 public:
  static constexpr std::uint32_t kFirstToken = 0x1000;
  static constexpr std::uint32_t kTokenLimit = 0x10000;
  static constexpr std::uint32_t kMaxFunctions = kTokenLimit - kFirstToken;

  // Appends the function; its number is the count before the call. False for a null function or
  // when the table is full.
  bool Register(ScriptNativeFunc function);

  std::uint32_t Count() const { return static_cast<std::uint32_t>(functions_.size()); }
  // The word that linked code holds for function `number`.
  static std::uint32_t Token(std::uint32_t number) { return kFirstToken + number; }
  // The function that a token names, null for any word that is not the token of a registered function.
  ScriptNativeFunc Find(std::uint32_t token) const {
    const std::uint32_t number = token - kFirstToken;
    return number < functions_.size() ? functions_[number] : nullptr;
  }

 private:
  std::vector<ScriptNativeFunc> functions_;
};
