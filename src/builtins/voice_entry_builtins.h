// The built-in functions over the character records of the voice table.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] record, args[1] field (0 volume, 1 enabled, 2 second-name switch), args[2] value: 0;
// -1 without a table, for a record outside it (a negative one among them) or another field.
std::uint32_t NativeSetVoiceEntry(const NativeArgs& args);
// args[0] record, args[1] field: 0 volume, 1 enabled, 2 second-name switch, 3 name, 4 second
// name, 5 the name shown (the name while the switch is 0, else the second name or "？？？" without
// one), 6 the first voice name of the character (0 without one); texts as addresses (0 for an
// absent one), which the next text of the table takes over. A record outside the table gives the
// record count; no table 0.
std::uint32_t NativeGetVoiceEntry(const NativeArgs& args);
