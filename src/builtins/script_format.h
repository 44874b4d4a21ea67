// The formatter of the scripts' formatting built-ins: printf-style conversions over the
// argument words that follow the format, bounded so that no format and no width can write past
// the caller's buffer. Flags '-', '#' and '0', a width, a precision, the sizes 'l' and 'h', and
// the conversions c d i u x X s ('%s' takes the address of a script text; 0 prints "(null)");
// "%%" is a percent sign. No floating point; any other conversion character is copied as it is.
#pragma once

#include <cstddef>
#include <string>

#include "script/native_args.h"

// The text that `format` makes of the words values[0], values[1], ..., cut to `limit` bytes.
// A value or a text address outside script memory faults as every argument does.
std::string FormatScriptText(const char* format, const NativeArgs& values, std::size_t limit);
