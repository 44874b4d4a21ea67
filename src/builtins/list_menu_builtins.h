// The built-ins of list menus (type 6) and choice buttons (type 10), and the list menu that shows
// the script choices (args[0] the widget; a widget of another kind counts as none and gets the
// row's last result).
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[1] low byte item; args[2] enabled (negative: leave); args[3] the item's action name (0:
// leave): 0; 2 the state was refused; 3 the name was refused; 1.
std::uint32_t NativeSetChoiceItem(const NativeArgs& args);
// args[1]-args[4] width, height, header and footer height of a plain skin: its status (1 for a
// side not positive); 4.
std::uint32_t NativeSetListMenuFrame(const NativeArgs& args);
// args[1] frames, args[2] pressed frame, args[3] disabled frame, args[4]-args[6] the items'
// picture, mask and colour mask; args[7] switch (-1): header pictures, args[10]-args[12] the
// footer's: the skin's status; 4.
std::uint32_t NativeSetListMenuItems(const NativeArgs& args);
// args[1] low byte the background kind, args[2] its colour: 1; 0.
std::uint32_t NativeSetListMenuStyle(const NativeArgs& args);
// args[1]-args[3] the normal, chosen and hovered text colours: 1; 0.
std::uint32_t NativeSetListMenuColours(const NativeArgs& args);
// args[1]-args[6] the normal, chosen and hovered gradients (top, bottom): 1; 0.
std::uint32_t NativeSetListMenuColours2(const NativeArgs& args);
// args[1], args[2] the text's offset in an item: 1; 0.
std::uint32_t NativeSetListMenuOffset(const NativeArgs& args);
// args[1] text, args[2] tooltip; args[3] switch (-1): disabled, args[4]-args[6] the action's
// names and value: the item's status; 4.
std::uint32_t NativeSetListMenuItem(const NativeArgs& args);
// args[1] item, args[2] low byte its drawn state (0 normal, 1 hovered, 2 and above pressed): 0; 1
// outside the items; -1.
std::uint32_t NativeSetListMenuSelection(const NativeArgs& args);
// The list menu becomes the one that shows the script choices (the previous one lets go of its
// choice record): 0; 1 for no list menu, and none is current.
std::uint32_t NativeSetCurrentListMenu(const NativeArgs& args);
// The current list menu's choice record copied into this one: 0; 1 none current; -1.
std::uint32_t NativeCopyCurrentListMenu(const NativeArgs& args);
