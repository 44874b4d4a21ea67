// A frame command carried inside message text, run when the message window's display reaches
// it:
//
//   0x00 '['     the mark (the zero ends the text before it for every reader of plain text)
//   u32 length   from this field to the end of the record
//   u32 opcode
//   u32 count    the operands
//   operands     u8 flags; with flags bit 1 (a string): u32 length with the zero byte (0 for a
//                null string) and the string with its zero; otherwise a u32 value
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "novel/scenario/vov_command.h"

inline constexpr std::uint8_t kVovRecordMark[] = {0x00, '['};

// The whole record, from its mark.
std::vector<std::uint8_t> EncodeVovCommand(std::uint32_t opcode, std::span<const VovOperand> operands);

// A decoded record. Its string operands point at copies held by the record (their value word is
// 0: the copies lie outside script memory); a null string has flags bit 1 and no text.
struct VovCarriedCommand {
  std::uint32_t opcode = 0;
  std::vector<VovOperand> operands;
  std::uint32_t size = 0;  // the record's bytes from the length field on

  VovCarriedCommand() = default;
  VovCarriedCommand(const VovCarriedCommand&) = delete;
  VovCarriedCommand& operator=(const VovCarriedCommand&) = delete;
  VovCarriedCommand(VovCarriedCommand&&) = default;
  VovCarriedCommand& operator=(VovCarriedCommand&&) = default;

 private:
  friend std::optional<VovCarriedCommand> DecodeVovCommand(std::span<const std::uint8_t> record);
  std::deque<std::string> strings_;
};

// Decodes the record whose length field starts `record`; nothing when it runs past the bytes
// given or its operands do not fill its length exactly.
std::optional<VovCarriedCommand> DecodeVovCommand(std::span<const std::uint8_t> record);
