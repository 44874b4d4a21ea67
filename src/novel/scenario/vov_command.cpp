#include "novel/scenario/vov_command.h"

namespace {

constexpr std::uint8_t kConditionValue = 0;
constexpr std::uint8_t kConditionTrue = 1;
constexpr std::uint8_t kConditionVariable = 2;
constexpr std::uint8_t kConditionExpression = 3;

constexpr std::uint8_t kOperandAbsent = 0;
constexpr std::uint8_t kOperandImmediate = 2;
constexpr std::uint8_t kKindValue = 0;
constexpr std::uint8_t kKindString = 1;
constexpr std::uint8_t kKindVariable = 2;
constexpr std::uint8_t kKindExpression = 3;

// The rest length counts its own field and the operand count.
constexpr std::uint32_t kSmallestRest = 5;

// A reader over the body from `at` to `end`, whose positions are body offsets; it reads nothing
// when `at` lies past `end`.
ByteReader ReaderAt(const VovDecoder& decoder, std::uint32_t at, std::uint32_t end) {
  ByteReader reader(decoder.body.first(at <= end ? end : 0));
  reader.Skip(at);
  return reader;
}

std::uint32_t At(const ByteReader& reader) { return static_cast<std::uint32_t>(reader.At()); }

std::optional<std::uint32_t> ReadElement(const VovDecoder& decoder, ByteReader& reader) {
  const std::optional<std::uint32_t> number = reader.Word();
  const std::optional<std::uint32_t> element = number ? reader.Word() : std::nullopt;
  if (!element) return std::nullopt;
  return ReadVariableElement(decoder.vm, *number, *element);
}

std::optional<std::uint32_t> Evaluate(const VovDecoder& decoder, ByteReader& reader) {
  const std::optional<VovCode> code = ReadVovCode(reader, VovCodeForm::kExpression);
  if (!code || !LinkVovCode(decoder.vm, decoder.body, decoder.body_address, *code)) return std::nullopt;
  return decoder.expressions.Evaluate(decoder.body_address + code->code);
}

std::optional<std::uint32_t> ReadCondition(const VovDecoder& decoder, ByteReader& reader, std::uint8_t kind) {
  switch (kind) {
    case kConditionValue:
      return reader.Word();
    case kConditionTrue:
      return 1;
    case kConditionVariable:
      return ReadElement(decoder, reader);
    case kConditionExpression:
      return Evaluate(decoder, reader);
    default:
      return std::nullopt;
  }
}

std::optional<VovOperand> ReadString(const VovDecoder& decoder, ByteReader& reader, std::uint32_t flags) {
  const std::optional<std::uint16_t> length = reader.Word16();
  if (!length) return std::nullopt;
  const std::uint32_t at = At(reader);
  const std::optional<std::span<const std::uint8_t>> bytes = reader.Bytes(*length);
  if (!bytes) return std::nullopt;
  VovOperand operand{flags | kVovStringFlag, 0, {}};
  if (*length == 0) return operand;
  operand.text = TextOfField(*bytes);
  if (operand.text.size() == bytes->size()) return std::nullopt;  // no zero byte inside the command
  operand.value = decoder.body_address + at;
  return operand;
}

std::optional<VovOperand> ReadOperand(const VovDecoder& decoder, ByteReader& reader) {
  const std::optional<std::uint8_t> flags = reader.Byte();
  if (!flags) return std::nullopt;
  if (*flags == kOperandAbsent) return VovOperand{};
  if (*flags == kOperandImmediate) {
    const std::optional<std::uint32_t> value = reader.Word();
    return value ? std::optional<VovOperand>(VovOperand{0, *value, {}}) : std::nullopt;
  }
  const std::optional<std::uint8_t> kind = reader.Byte();
  if (!kind) return std::nullopt;
  std::optional<std::uint32_t> value;
  switch (*kind) {
    case kKindValue:
      value = reader.Word();
      break;
    case kKindString:
      return ReadString(decoder, reader, *flags);
    case kKindVariable:
      value = ReadElement(decoder, reader);
      break;
    case kKindExpression:
      value = Evaluate(decoder, reader);
      break;
    default:
      break;
  }
  return value ? std::optional<VovOperand>(VovOperand{*flags, *value, {}}) : std::nullopt;
}

}  // namespace

std::optional<std::uint32_t> ContextExpressionRunner::Evaluate(std::uint32_t code_address) {
  const std::uint32_t result = context_.Run(code_address);
  if (result != kScriptEnded && result != kScriptYielded) return std::nullopt;
  return vm_.RetVovExp();
}

std::optional<std::uint32_t> ReadVariableElement(const CScriptVm& vm, std::uint32_t number, std::uint32_t element) {
  const ScriptVariables& variables = vm.Variables();
  if (number >= variables.Count()) return std::nullopt;
  const std::optional<std::uint32_t> block = variables.BlockOf(VariableCopy::kLive, number);
  if (!block || std::uint64_t{element} * 4 + 4 > variables.Table()[number].size) return std::nullopt;
  return vm.Memory().Word(*block + element * 4);
}

std::optional<VovCommandHead> ReadVovCommandHead(const VovDecoder& decoder, std::uint32_t at) {
  const auto body_size = static_cast<std::uint32_t>(decoder.body.size());
  ByteReader reader = ReaderAt(decoder, at, body_size);
  const std::optional<std::uint8_t> open = reader.Byte();
  const std::optional<std::uint8_t> blank = reader.Byte();
  if (open != '[' || blank != ' ') return std::nullopt;
  VovCommandHead head;
  const std::optional<std::uint32_t> kind = reader.Word();
  const std::optional<std::uint8_t> condition_kind = kind ? reader.Byte() : std::nullopt;
  if (!condition_kind) return std::nullopt;
  const std::optional<std::uint32_t> condition = ReadCondition(decoder, reader, *condition_kind);
  if (!condition) return std::nullopt;
  const std::uint32_t rest_at = At(reader);
  const std::optional<std::uint32_t> rest = reader.Word();
  if (!rest || *rest < kSmallestRest || std::uint64_t{rest_at} + *rest > body_size) return std::nullopt;

  head.kind = *kind;
  head.condition_kind = *condition_kind;
  head.condition = *condition;
  head.carried_out = head.kind == kVovGotoIfZero ? head.condition == 0 : head.condition != 0;
  head.operands = At(reader);
  head.end = rest_at + *rest;
  return head;
}

void VovOperandArea::SetSize(std::uint32_t words) {
  if (words == 0) return;
  capacity_ = words / 2;
  // Held whole from the start, so that operands handed to a running handler never move when a
  // nested run decodes more behind them.
  operands_ = std::vector<VovOperand>();
  operands_.reserve(capacity_);
}

bool VovOperandArea::Push(const VovOperand& operand) {
  if (operands_.size() >= capacity_) return false;
  operands_.push_back(operand);
  return true;
}

bool DecodeVovOperands(const VovDecoder& decoder, const VovCommandHead& head, VovOperandArea& area) {
  const std::size_t mark = area.Mark();
  ByteReader reader = ReaderAt(decoder, head.operands, head.end);
  const std::optional<std::uint8_t> count = reader.Byte();
  if (!count) return false;
  for (std::uint32_t n = 0; n < *count; ++n) {
    const std::optional<VovOperand> operand = ReadOperand(decoder, reader);
    if (!operand || !area.Push(*operand)) {
      area.Release(mark);
      return false;
    }
  }
  return true;
}

std::optional<VovCode> ReadVovCodeBlock(const VovDecoder& decoder, std::uint32_t at) {
  ByteReader reader = ReaderAt(decoder, at, static_cast<std::uint32_t>(decoder.body.size()));
  const std::optional<std::uint8_t> open = reader.Byte();
  const std::optional<std::uint8_t> mark = reader.Byte();
  if (open != '[' || mark != 's') return std::nullopt;
  const std::optional<VovCode> code = ReadVovCode(reader, VovCodeForm::kCodeBlock);
  if (!code || !LinkVovCode(decoder.vm, decoder.body, decoder.body_address, *code)) return std::nullopt;
  return code;
}
