// The built-in functions over the game settings block by group and item. The nine groups lie
// one after another in the block, each item a byte, a 32-bit word or (group 2 item 0) the
// 32-byte face name:
//   0: items 0-6 and 8-14 at bytes 0-6 and 8-14, item 15 the word at 20 (item 7 has no field)
//   1: items 0-6 at 24-30, item 7 the word at 32
//   2: item 0 the face name at 36, items 1-7 at 68-74, item 8 the word at 76
//   3: items 0, 16, 1, 2, 3, 4, 15 at 80-86, items 17, 5, 6, 7, 8 the words at 88-104, items
//      9-14 at 108-113
//   4: items 2-17 (the actions' keys) at 114-129, items 0 and 1 at 130 and 131
//   5: item 0 at 132, items 6-21 (the actions' joystick buttons) at 133-148, items 1-5 at 149-153
//   6: items 2, 3, 4, 6, 5 at 154-158, items 0 and 1 at 160 and 161
//   7: item 0 at 159
//   8: items 0-4 at 162-166
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] group, args[1] item (byte), args[2] value (for the face name: the text, of which at
// most 31 bytes of whole characters are kept). 0; 1 for group 0 item 7; an item outside its
// group -1 in groups 0 to 5, else 0; a group above 8 0. Nothing changes but the item.
std::uint32_t NativeSetUserSetting(const NativeArgs& args);
// args[0] group, args[1] item (byte): the item (bytes zero-extended; the face name as the address
// of its text, which stays at that address for the run); 0 for a bad group or item.
std::uint32_t NativeGetUserSetting(const NativeArgs& args);
