// The argument words of an effect built from a command's operands, in the order the effect takes
// them: values (with their defaults), low bytes, constants, and texts. A text operand goes as the
// address of its text, kept here while the effect is made; a number where the effect reads a text
// would be taken for an address, so it goes as a null text, which the effect reads as its default.
#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

#include "novel/scenario/vov_command.h"
#include "resource/plugins/plugin_args.h"

// What an effect command gives when the effect's assist entry is not registered.
constexpr std::int32_t kAssistMissing = -2;
// The screen's centre: where the view commands zoom and turn about when no point is given.
constexpr std::uint32_t kScreenCentreX = 400;
constexpr std::uint32_t kScreenCentreY = 300;

VovOperand VovOperandAt(std::span<const VovOperand> operands, std::size_t n);

// Operand n's value word (0 when absent).
inline std::uint32_t ValueAt(std::span<const VovOperand> operands, std::size_t n) {
  return VovOperandAt(operands, n).value;
}
// Operand n's value word as a signed number.
inline std::int32_t SignedAt(std::span<const VovOperand> operands, std::size_t n) {
  return static_cast<std::int32_t>(ValueAt(operands, n));
}
// Operand n's value: `absent` when the operand is absent.
inline std::uint32_t OperandOr(std::span<const VovOperand> operands, std::size_t n, std::uint32_t absent) {
  const VovOperand operand = VovOperandAt(operands, n);
  return operand.flags == 0 ? absent : operand.value;
}
// Operand n's value: `fallback` also for a present 0.
inline std::uint32_t OperandNonZeroOr(std::span<const VovOperand> operands, std::size_t n, std::uint32_t fallback) {
  const std::uint32_t value = VovOperandAt(operands, n).value;
  return value == 0 ? fallback : value;
}
inline bool OperandFlag(std::span<const VovOperand> operands, std::size_t n) {
  return VovOperandAt(operands, n).value != 0;
}
// Operand n as a text; empty for a number or an absent operand.
inline std::string OperandText(std::span<const VovOperand> operands, std::size_t n) {
  const VovOperand operand = VovOperandAt(operands, n);
  return (operand.flags & kVovStringFlag) != 0 ? std::string(operand.text) : std::string();
}
inline bool OperandIsText(std::span<const VovOperand> operands, std::size_t n) {
  return (VovOperandAt(operands, n).flags & kVovStringFlag) != 0;
}

class EffectWords {
 public:
  explicit EffectWords(std::span<const VovOperand> operands) : operands_(operands) {}

  EffectWords& Word(std::uintptr_t word) {
    words_.push_back(word);
    return *this;
  }
  EffectWords& Value(std::uint32_t value) { return Word(value); }
  EffectWords& Byte(std::uint32_t value) { return Word(value & 0xFF); }
  // A text the caller holds, or null.
  EffectWords& Text(const char* text) { return Word(reinterpret_cast<std::uintptr_t>(text)); }
  // Operand n as a text (null for a number or an absent operand).
  EffectWords& TextOperand(std::size_t n) {
    if (!OperandIsText(operands_, n)) return Text(nullptr);
    texts_.push_back(OperandText(operands_, n));
    return Text(texts_.back().c_str());
  }
  PluginArgs View() const { return {words_.data(), static_cast<std::uint32_t>(words_.size())}; }

 private:
  std::span<const VovOperand> operands_;
  std::deque<std::string> texts_;  // a deque keeps every text in place while more are added
  std::vector<std::uintptr_t> words_;
};
