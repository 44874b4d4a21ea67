// The built-ins of the root GUI window and the widget manager's own state: the layer widgets
// draw into, the window's per-frame input step and the id of the last button that fired, focus
// and hover, adding and removing widgets (scroll bars and list boxes with their parts), modal
// levels, deleting widgets, and the manager's group number, list switch and style defaults.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] a display object with an image part: 0; 1 when it has none.
std::uint32_t NativeSetWidgetLayer(const NativeArgs& args);
// args[0] tooltips on, args[1] delay, args[2] duration; args[3] the window's script value. 0.
std::uint32_t NativeSetGuiRedrawDeferred(const NativeArgs& args);
// args[0] cursor mode 0-6: 1 stored, 0 refused.
std::uint32_t NativeSetCursorMode(const NativeArgs& args);
std::uint32_t NativeResetGui(const NativeArgs& args);
// The window's input step at the program's clock: its result.
std::uint32_t NativeProcessGuiInput(const NativeArgs& args);
// The id of the last button that fired (-1 none), which becomes -1.
std::uint32_t NativeTakeGuiCommand(const NativeArgs& args);
// args[0] widget or 0: the focus status.
std::uint32_t NativeSetGuiFocus(const NativeArgs& args);
std::uint32_t NativeGetFocusedWidget(const NativeArgs& args);
std::uint32_t NativeGetHoveredWidget(const NativeArgs& args);
std::uint32_t NativeDeleteAllWidgets(const NativeArgs& args);
// args[0]: new widgets draw into the layer's attached list; the previous switch.
std::uint32_t NativeSetWidgetManagerFlag(const NativeArgs& args);
// args[0]: the group number of new widgets. 0.
std::uint32_t NativeSetWidgetManagerValue(const NativeArgs& args);
// args[0] group, args[1] every other group instead. 0.
std::uint32_t NativeDeleteWidgetGroup(const NativeArgs& args);
// args[0] address of the handle word: 0 deleted (the word cleared); 1 no handle; 2 not a
// widget of the manager (the word kept).
std::uint32_t NativeDeleteWidget(const NativeArgs& args);
// args[0] widget, args[1] index (negative appends): the add status, -1 without a widget.
std::uint32_t NativeAddWidgetToGui(const NativeArgs& args);
// args[0] widget: a scroll bar's or list box's answer (1 removed, 0 not in a window), else 0.
std::uint32_t NativeRemoveWidgetFromGui(const NativeArgs& args);
std::uint32_t NativeRemoveAllWidgetsFromGui(const NativeArgs& args);
// args[0]: typed text goes to the main window (non-zero) or nowhere. 0.
std::uint32_t NativeSetImeWindow(const NativeArgs& args);
// args[0] font (0 removes the label), args[1], args[2] place: the label's status.
std::uint32_t NativeSetImeModeLabel(const NativeArgs& args);
std::uint32_t NativePushGuiLevel(const NativeArgs& args);
// 1 when no level is saved.
std::uint32_t NativePopGuiLevel(const NativeArgs& args);

// The manager's style defaults, copied into widgets made afterwards. Each returns 0.
// args[0], args[1]: the label buttons' face colour and focus tint.
std::uint32_t NativeSetWidgetDefaults1(const NativeArgs& args);
// args[0]-args[2]: the text fields' maximum length, background and text colour.
std::uint32_t NativeSetWidgetDefaults2(const NativeArgs& args);
// args[0]-args[2]: the text fields' composition capacity, background and text colour.
std::uint32_t NativeSetWidgetDefaults3(const NativeArgs& args);
// args[0] low byte, args[1]: the bars' click mode and step.
std::uint32_t NativeSetWidgetDefaults4(const NativeArgs& args);
// args[0]-args[2]: the list boxes' background, cursor and selection colours; args[3] their
// icons' first state.
std::uint32_t NativeSetWidgetDefaults5(const NativeArgs& args);
