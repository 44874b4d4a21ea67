// The error that stops a script run: raised by the checked accesses to script memory, by the
// interpreter's own checks and by built-in functions reading bad arguments. It is caught where the
// run started, never lets the process die.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

enum class ScriptFaultKind : std::uint8_t {
  kBadAddress,        // detail: the address; extent: the bytes the access needed
  kBadOpcode,         // detail: the opcode word
  kSwitchOutOfRange,  // detail: the index
  kStackOverflow,
  kStackUnderflow,
  kDivideByZero,
  kDivideOverflow,  // -2147483648 divided by -1
  kUnknownNative,   // detail: the word that named the function
  kBuiltinFailed,   // detail: the built-in's number; the message says what it raised
};

class ScriptFault : public std::exception {
 public:
  explicit ScriptFault(ScriptFaultKind kind, std::uint32_t detail = 0, std::uint32_t extent = 0);
  // A built-in function that ended with an exception of another kind.
  static ScriptFault BuiltinFailed(std::uint32_t number, std::string_view reason);

  ScriptFaultKind Kind() const { return kind_; }
  std::uint32_t Detail() const { return detail_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  ScriptFaultKind kind_;
  std::uint32_t detail_;
  std::string message_;
};

// Out of line so that the checked accessors stay small where they are inlined.
[[noreturn]] void RaiseBadAddress(std::uint32_t address, std::uint32_t extent);
