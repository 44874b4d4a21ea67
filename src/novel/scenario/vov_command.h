// The commands of a scenario body and their operands. A command, counted from its '[':
//
//   '[' ' '           the command mark
//   u32 kind          0-11 core commands, 12 and above frame opcodes
//   u8 condition kind 0 a u32 value; 1 none (the value is 1); 2 an element of a user variable
//                     (u32 variable, u32 element); 3 an expression (vov_code_link.h), whose value
//                     is what it leaves in the host variable "retVovExp"
//   u32 rest length   from this field to the end of the command
//   u8 operand count
//   operands          u8 flags; 0 absent; 2 a u32 value follows (it reads as flags 0); any other
//                     value: a u8 kind and 0 a u32 value, 1 a string (u16 length, then that many
//                     bytes holding a zero-terminated string), 2 a variable element, 3 an
//                     expression
//
// A command is carried out when its condition value is non-zero, kind 0 when it is zero.
// Everything is read inside the command: the rest length must stay inside the body and every
// operand inside the command, a string must hold its zero byte, and an unknown condition or
// operand kind refuses the command.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "novel/scenario/vov_code_link.h"
#include "script/script_context.h"
#include "script/script_vm.h"

// A decoded operand: the two words the handlers test {flags, value}, and for a string operand
// its text, resolved once inside the image (valid while the image lives).
struct VovOperand {
  std::uint32_t flags = 0;
  std::uint32_t value = 0;
  std::string_view text;
};

inline constexpr std::uint32_t kVovStringFlag = 2;       // the value is the string's address
inline constexpr std::uint32_t kVovBodyOffsetFlags = 0xFF;  // the value is a body offset (commands 7-9)

// Core command kinds.
enum EVovCoreCommand : std::uint32_t {
  kVovGotoIfZero = 0,
  kVovGoto1 = 1,
  kVovGoto2 = 2,
  kVovGoto3 = 3,
  kVovNothing = 4,
  kVovPrintNumber = 5,
  kVovPrintString = 6,
  kVovCall = 7,
  kVovJump = 8,
  kVovReturn = 9,
  kVovPreload = 10,
  kVovUnload = 11,
};
inline constexpr std::uint32_t kVovFirstOpcode = 12;

// Where expressions run: the novel frame runs them on its own script context.
class VovExpressionRunner {
 public:
  virtual ~VovExpressionRunner() = default;
  // Runs linked expression code from its start; the value it leaves, nothing when the run failed.
  virtual std::optional<std::uint32_t> Evaluate(std::uint32_t code_address) = 0;
};

// Runs expressions on a context and reads "retVovExp". A script fault or a stopped run fails.
class ContextExpressionRunner : public VovExpressionRunner {
 public:
  ContextExpressionRunner(CScriptVm& vm, CScriptContext& context) : vm_(vm), context_(context) {}
  std::optional<std::uint32_t> Evaluate(std::uint32_t code_address) override;

 private:
  CScriptVm& vm_;
  CScriptContext& context_;
};

// What a decoder needs: the script runtime (its variables and link tables), the body of the
// current script with its script address, and where expressions run.
struct VovDecoder {
  CScriptVm& vm;
  VovExpressionRunner& expressions;
  std::span<std::uint8_t> body;
  std::uint32_t body_address = 0;
};

struct VovCommandHead {
  std::uint32_t kind = 0;
  std::uint8_t condition_kind = 0;
  std::uint32_t condition = 0;  // the value tested
  bool carried_out = false;
  std::uint32_t operands = 0;  // body offset of the operand count
  std::uint32_t end = 0;       // body offset behind the command
};

// Reads the command whose '[' stands at `at`, and its condition (linking and running an
// expression). Nothing when the command is malformed or its expression fails.
std::optional<VovCommandHead> ReadVovCommandHead(const VovDecoder& decoder, std::uint32_t at);

// The operand area: the decoded operands of the commands being run, one after another. Its size
// is counted in words, two per operand as the handlers see them.
class VovOperandArea {
 public:
  static constexpr std::uint32_t kDefaultWords = 4096;

  explicit VovOperandArea(std::uint32_t words = kDefaultWords) { SetSize(words); }
  // A new, empty area of that many words; 0 keeps the present one.
  void SetSize(std::uint32_t words);
  std::uint32_t SizeInWords() const { return capacity_ * 2; }

  // The free-space mark: the number of operands held.
  std::size_t Mark() const { return operands_.size(); }
  // False when the area is full.
  bool Push(const VovOperand& operand);
  // Back to a mark, forgetting what was decoded after it.
  void Release(std::size_t mark) { operands_.resize(mark < operands_.size() ? mark : operands_.size()); }
  void Empty() { operands_.clear(); }
  std::span<const VovOperand> From(std::size_t mark) const { return std::span(operands_).subspan(mark); }

 private:
  std::vector<VovOperand> operands_;
  std::uint32_t capacity_ = 0;  // operands
};

// Decodes the operands of a command onto the area; the new ones start at the mark it had. False
// when an operand is malformed, its expression fails or the area is full; the area is then back
// at its mark. Nothing is read outside the command.
bool DecodeVovOperands(const VovDecoder& decoder, const VovCommandHead& head, VovOperandArea& area);

// The 32-bit element `element` of user variable `number`: for a pointer variable in the block
// its cell points at. Nothing for a number or element past the variable table or the block.
std::optional<std::uint32_t> ReadVariableElement(const CScriptVm& vm, std::uint32_t number, std::uint32_t element);

// The "[s" code block whose '[' stands at `at`, linked: nothing when it is malformed or does
// not link. Its code runs from body address + code; the body goes on at end.
std::optional<VovCode> ReadVovCodeBlock(const VovDecoder& decoder, std::uint32_t at);
