// The instruction set of the script virtual machine: one opcode word followed by a fixed number
// of operand words (Switch is followed by its target table as well).
#pragma once

#include <array>
#include <cstdint>

enum class ESobOpcode : std::uint32_t {
  Yield = 0,
  Return = 1,
  ReturnValue = 2,
  StoreResult = 3,
  Call = 4,
  CallNative = 5,
  Jump = 6,
  Switch = 7,
  PushImm = 8,
  PushMem = 9,
  PopMem = 10,
  AddSp = 11,
  SubSp = 12,
  Add = 13,
  Sub = 14,
  Mul = 15,
  Div = 16,
  Rem = 17,
  Mod = 18,
  And = 19,
  Or = 20,
  Xor = 21,
  Not = 22,
  LogicalNot = 23,
  Shr = 24,
  Shl = 25,
  IncMem = 26,
  DecMem = 27,
  IncStack = 28,
  DecStack = 29,
  JumpIfZero = 30,
  StoreImm = 31,
  Copy = 32,
  StoreIndirect = 33,
  StoreStackImm = 34,
  LoadStack = 35,
  StoreStack = 36,
  CopyStack = 37,
  LoadStackIndirect = 38,
  LoadIndirect = 39,
  StackAddress = 40,
  Lt = 41,
  Le = 42,
  Gt = 43,
  Ge = 44,
  Eq = 45,
  Ne = 46,
};

inline constexpr std::uint32_t kSobOpcodeCount = 47;

// Operand words behind each opcode (Switch: its index operand, the table not counted).
inline constexpr std::array<std::uint8_t, kSobOpcodeCount> kSobOperandCount = {
    0, 0, 1, 1, 1, 3, 1, 1, 1, 1, 1, 1, 1,  // Yield .. SubSp
    3, 3, 3, 3, 3, 3, 3, 3, 3,              // Add .. Xor
    2, 2, 3, 3,                             // Not, LogicalNot, Shr, Shl
    1, 1, 1, 1,                             // IncMem .. DecStack
    2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,        // JumpIfZero .. StackAddress
    3, 3, 3, 3, 3, 3,                       // Lt .. Ne
};

// The word that closes a Switch target table.
inline constexpr std::uint32_t kSwitchTableEnd = 0xFFFFFFFF;
