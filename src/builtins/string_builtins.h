// The scripts' string built-ins over zero-terminated Shift-JIS texts in script memory: copy,
// cut, append, measure, compare, format, convert and change case. Every text and destination is
// reached through the checked argument reads, so an address outside script memory ends the run
// as a bad script; a destination or text of 0 does nothing.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// The formatted text of id 67 is cut here (the terminating zero included).
inline constexpr std::uint32_t kFormatBufferSize = 1024;

// 59: args[0] destination, args[1] text: copies the text; args[0] (0 when either is 0).
std::uint32_t NativeStrCopy(const NativeArgs& args);
// 60: args[0] destination, args[1] offset, args[2] text, args[3] most bytes (none when <= 0):
// copies from text + offset up to its zero or the count, then a zero; 0.
std::uint32_t NativeStrMid(const NativeArgs& args);
// 61: as 60 with args[3] a delimiter byte that ends the copy (not copied); 0.
std::uint32_t NativeStrCopyUntil(const NativeArgs& args);
// 62: args[0] destination, args[1] text: appends; args[0] (0 when either is 0).
std::uint32_t NativeStrCat(const NativeArgs& args);
// 63: args[0] text: its length in bytes; 0 for 0.
std::uint32_t NativeStrLen(const NativeArgs& args);
// 64: args[0], args[1] texts compared by bytes: -1, 0 or 1 (0 is the empty text).
std::uint32_t NativeStrCmp(const NativeArgs& args);
// 65: as 64 with ASCII letters compared without case.
std::uint32_t NativeStrCmpI(const NativeArgs& args);
// 66: args[0] text A, args[1] text B, args[2] offset in A, args[3] offset in B, args[4] count n:
// how many of the n positions were not matched when the first difference or zero byte stopped.
std::uint32_t NativeStrCompareAt(const NativeArgs& args);
// 67: args[0] destination, args[1] format, args[2] onward the values; 0.
std::uint32_t NativeFormat(const NativeArgs& args);
// 68: args[0] text or 0: the decimal integer it begins with, saturated to 32 bits; 0 for none.
std::uint32_t NativeStrToInt(const NativeArgs& args);
// 69: args[0] text or 0: the decimal number it begins with as 32-bit float bits; 0 for none.
std::uint32_t NativeStrToFloat(const NativeArgs& args);
// 70, 71: args[0] text or 0: ASCII letters changed to upper or lower case in place; 0.
std::uint32_t NativeStrUpper(const NativeArgs& args);
std::uint32_t NativeStrLower(const NativeArgs& args);
// 72: args[0] text, args[1] length (0: the whole text): the clipboard's status.
std::uint32_t NativeCopyToClipboard(const NativeArgs& args);
