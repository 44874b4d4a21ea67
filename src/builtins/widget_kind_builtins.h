// The built-ins of one widget kind each: scroll bars, check buttons, click areas and list boxes
// (args[0] the widget; a widget of another kind counts as none and gets the row's last result).
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[1]-args[6] length, total, visible, value, end inset, least thumb: the bar's fit; -1.
std::uint32_t NativeSetScrollBarValues(const NativeArgs& args);
// args[1], args[2] addresses (each may be 0) for the bar's value and maximum: 1; 0, with 0
// written to both.
std::uint32_t NativeGetScrollBarPair(const NativeArgs& args);
// args[1] index: the radio group's selection result; -1.
std::uint32_t NativeSetCheckButtonValue(const NativeArgs& args);
// The radio group's selected index; a button of no group its own, 0; -1.
std::uint32_t NativeGetCheckGroupValue(const NativeArgs& args);
// args[1], args[2] the screen point the pointer takes with the focus: 1; 0.
std::uint32_t NativeSetClickAreaHotPoint(const NativeArgs& args);
// args[1] text, args[2] face, args[3] refit: 0; 1 without a font; -1.
std::uint32_t NativeListBoxAddItem(const NativeArgs& args);
// args[1] 0: the rows drawn again; else the rows refitted. 1; 0.
std::uint32_t NativeListBoxRefresh(const NativeArgs& args);
// args[1] row, args[2] its icon on, args[3] redraw: the box's result; -1.
std::uint32_t NativeListBoxSetText(const NativeArgs& args);
// args[1] row: its icon state (0 outside the rows); 0.
std::uint32_t NativeListBoxQuery(const NativeArgs& args);
// The selected row, -1 none; 0.
std::uint32_t NativeListBoxGetSelection(const NativeArgs& args);
