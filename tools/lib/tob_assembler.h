// A small text assembler for the scenario machine's files, on top of tob_builder.h. Sources are
// UTF-8; every text and name becomes Shift-JIS (code page 932) in the file. One source makes one
// file; its kind is chosen by a `.kind` line before anything else:
//
//   .kind scenario   a scenario object "TOB1" (SCRIPT\<NAME>.TOB)
//   .kind init       the read-text table (SCRIPT\VOV_INIT.DAT)
//
// Comments run from ';' to the end of the line (outside strings).
//
// Scenario sources:
//   .label NAME                   a label record at the next body byte
//   .line                         a new scenario line: a line-table entry and the line marker
//   .text "text"                  message text (\" \\ \n \xHH)
//   .cmd KIND [if COND] [OPERAND, OPERAND ...]
//                                 a command; without `if` its condition is always true
//   .expr NAME ... .end           a named expression: SOB assembler lines (sob_assembler.h) that
//                                 leave their value in host(0); used as expr(NAME)
//   .code ... .end                a "[s" code block of SOB assembler lines
// Conditions: N (a value), var(N)[E] (element E of user variable N), expr(NAME).
// Operands:   - absent; =N a value written with flags 2; N a value; "text" a string ("" is
//             written with length 0); var(N)[E]; expr(NAME); @LABEL or @N a body offset (flags
//             0xFF, for the commands 7-9).
//
// Read-text tables:  .record NAME lines choices
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace kvxtools {

struct TobAssembly {
  std::string kind;
  std::vector<std::uint8_t> bytes;
};

// Assembles `source`; `library_labels` resolves lib(name) operands of embedded code (may be
// null). False with a message naming the line in `error`.
bool AssembleTob(std::string_view source, const std::map<std::string, std::uint32_t>* library_labels,
                 TobAssembly& assembly, std::string& error);

}  // namespace kvxtools
