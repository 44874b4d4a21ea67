#include "novel/scenario/vov_command_record.h"

#include "base/numbers/byte_cursor.h"

namespace {

// The length, opcode and count fields.
constexpr std::uint32_t kRecordHead = 12;

bool IsString(const VovOperand& operand) { return (operand.flags & kVovStringFlag) != 0; }

}  // namespace

std::vector<std::uint8_t> EncodeVovCommand(std::uint32_t opcode, std::span<const VovOperand> operands) {
  ByteWriter operand_bytes;
  for (const VovOperand& operand : operands) {
    operand_bytes.Byte(static_cast<std::uint8_t>(operand.flags));
    if (!IsString(operand)) {
      operand_bytes.Word(operand.value);
    } else if (operand.text.data() == nullptr) {
      operand_bytes.Word(0);
    } else {
      operand_bytes.Word(static_cast<std::uint32_t>(operand.text.size() + 1));
      operand_bytes.Text(operand.text);
      operand_bytes.Byte(0);
    }
  }
  ByteWriter record;
  record.Bytes(kVovRecordMark);
  record.Word(static_cast<std::uint32_t>(kRecordHead + operand_bytes.Size()));
  record.Word(opcode);
  record.Word(static_cast<std::uint32_t>(operands.size()));
  record.Bytes(operand_bytes.Data());
  return record.Take();
}

std::optional<VovCarriedCommand> DecodeVovCommand(std::span<const std::uint8_t> record) {
  ByteReader head(record);
  const std::optional<std::uint32_t> length = head.Word();
  if (!length || *length < kRecordHead || *length > record.size()) return std::nullopt;
  ByteReader reader(record.first(*length));
  reader.Skip(4);
  VovCarriedCommand command;
  command.size = *length;
  command.opcode = *reader.Word();
  const std::uint32_t count = *reader.Word();
  // Every operand takes at least five bytes: a count past that cannot be real.
  if (count > reader.Left() / 5) return std::nullopt;
  command.operands.reserve(count);
  for (std::uint32_t n = 0; n < count; ++n) {
    const std::optional<std::uint8_t> flags = reader.Byte();
    const std::optional<std::uint32_t> word = flags ? reader.Word() : std::nullopt;
    if (!word) return std::nullopt;
    VovOperand operand{*flags, *word, {}};
    if (IsString(operand)) {
      operand.value = 0;
      if (*word != 0) {
        const std::optional<std::span<const std::uint8_t>> bytes = reader.Bytes(*word);
        if (!bytes || bytes->back() != 0) return std::nullopt;
        operand.text = command.strings_.emplace_back(TextOfField(*bytes));
      }
    }
    command.operands.push_back(operand);
  }
  if (reader.Left() != 0) return std::nullopt;
  return command;
}
