// Script code embedded in a scenario body: the expressions of conditions and operands and the
// "[s" code blocks. Both are word code followed by a linked flag and a link block of five
// sections in this order, each a count (u8 in expressions, u32 in code blocks) and that many
// pairs {u32 byte offset into the code, u32 index or value}; the word at the offset becomes
//   1 the address of user variable `index` (for a pointer variable its cell, as linked script
//     objects get it),
//   2 the token of built-in function `index`,
//   3 the address of host variable `index`,
//   4 the library's code + the value,
//   5 the code's own start + the value.
// The code is linked in place the first time it is used, and its flag set to 1 in the image so
// that later uses run it as it stands. Every pair is checked against its table and the code
// before any word is written: a pair that does not fit refuses the link and changes nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "base/numbers/byte_cursor.h"
#include "script/script_vm.h"

// Widths of the code length, the link block's size and the section counts.
enum class VovCodeForm : std::uint8_t {
  kExpression,  // u16 code length, u16 link size, u8 counts
  kCodeBlock,   // u32 code length, u32 link size, u32 counts
};

// Where the parts of one piece of embedded code lie, as offsets into the body.
struct VovCode {
  VovCodeForm form = VovCodeForm::kExpression;
  std::uint32_t code = 0;       // the first code byte
  std::uint32_t code_size = 0;  // in bytes
  std::uint32_t linked_flag = 0;
  std::uint32_t link_sections = 0;  // the first section count, behind the size field
  std::uint32_t link_sections_size = 0;
  std::uint32_t end = 0;  // behind the link block
};

// Reads the layout at the reader's position (the code length); the reader runs over the body, so
// its positions are body offsets. Nothing when a length runs past the reader's data.
std::optional<VovCode> ReadVovCode(ByteReader& reader, VovCodeForm form);

// Links the code in the body (whose first byte has script address `body_address`) unless its
// flag is already set. False when a section runs past its link block, or a pair names an entry
// past its table or a word outside the code; nothing is written then.
bool LinkVovCode(const CScriptVm& vm, std::span<std::uint8_t> body, std::uint32_t body_address, const VovCode& code);
