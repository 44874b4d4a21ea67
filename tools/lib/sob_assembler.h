// A small text assembler for the script host's files, on top of sob_builder.h. One source makes
// one file; its kind is chosen by a `.kind` line before anything else:
//
//   .kind script     a script object "SOB0" (SCRIPT\<NAME>.SOB)
//   .kind library    the function library "SOB2" (SCRIPT\FUNC_LIB.SOB)
//   .kind uservar    the user-variable object "SOB1" (SCRIPT\USER_VAR.SOB)
//   .kind init       the read-text table (SCRIPT\SOB_INIT.DAT)
//   .kind voice      the voice table (SCRIPT\VOICEINF.DAT)
//
// Comments run from ';' to the end of the line. Names are Shift-JIS bytes without blanks.
//
// Script and library sources:
//   name:                     binds a label at the next word
//   Opcode a, b, c            an instruction, by the names of ESobOpcode (any case)
//   Switch index, t0, t1 ...  the target table follows the index; the closing word is added
//   .word a, b ...            data words
//   .string "text"            a zero-terminated string padded to whole words (\" \\ \n \xHH)
//   .instructions_end         the instruction length ends here (default: all of the code)
// Operands: a number (decimal, 0x hexadecimal, negative), `label` or `label+N` (own code: the
// linker makes it an address), `var(N)` user variable N, `native(N)` built-in function N,
// `host(N)` host variable N, `lib(N)` the library's code + N, `lib(name)` a label of the library
// given to the assembler.
//
// Calling convention of the sources this assembler is used for (the machine fixes none):
// - Argument arrays: the words of a call's arguments lie one after another in the caller's object
//   (a labelled `.word` block, written by the caller before the call; a string argument is the
//   address of a `.string`). A built-in function gets the array's address as CallNative's second
//   operand and its result is stored at the third: `CallNative native(7), args, result`.
// - Routines: the caller pushes the array's address and calls: `PushImm args`, `Call routine`;
//   after the return it drops the address again with `SubSp 4`. On entry the routine sees the
//   return address at stack slot 4 and the argument array's address at slot 8.
// - Locals: a routine with n local words reserves them with `AddSp 4n`; local i (from 0) is then
//   stack slot 4n - 4i, the return address slot 4n + 4 and the argument array's address slot
//   4n + 8. It frees them with `SubSp 4n` before `Return`, or before `ReturnValue v`, whose value
//   the caller fetches with `StoreResult destination`.
// - Transfers: a Call of another script object is `CallNative native(0), args, result` (args[0]
//   the name) followed by `Yield`; a Jump is native(1) followed by `Return` from the top level;
//   the end of the game is native(2).
//
// User-variable sources:
//   .var NAME kind class size [word ...]   a variable and its first words; numbered in order
//   .fixup NAME[+N] NAME[+N]                the first place will hold the address of the second
// Read-text tables:   .record NAME line-bits choice-bits
// Voice tables:       .extension EXT
//                     .character NAME [SECOND | - | ?]   - no second name, ? a skipped one
//                     .voice NAME                          a voice of the last character
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace kvxtools {

struct SobAssembly {
  std::string kind;
  std::vector<std::uint8_t> bytes;
  std::map<std::string, std::uint32_t> labels;  // code offsets of a script's or library's labels
};

// Assembles `source`; `library_labels` resolves lib(name) operands (may be null). False with a
// message naming the line in `error`.
bool AssembleSob(std::string_view source, const std::map<std::string, std::uint32_t>* library_labels,
                 SobAssembly& assembly, std::string& error);

}  // namespace kvxtools
