// The built-ins that read and set what every widget has (args[0] the widget; a handle that is 0,
// stale or no widget's gets each row's "no widget" result, given last), and the values, faces
// and switches that the widget manager reaches by the widget's type.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[1] the id the widget reports when it fires: 1; 0.
std::uint32_t NativeSetWidgetId(const NativeArgs& args);
// args[1] tooltip text: 1; 0.
std::uint32_t NativeSetWidgetText(const NativeArgs& args);
// args[1]-args[4] the widgets the focus moves to left, right, up and down: 1; 0.
std::uint32_t NativeSetWidgetBounds(const NativeArgs& args);
// args[1]-args[3] the decide, enter and leave sounds: 0; 1 for a widget without an action; -1.
std::uint32_t NativeSetWidgetAction(const NativeArgs& args);
// args[1]: 1 when the enabled state changed; 0.
std::uint32_t NativeSetWidgetEnabled(const NativeArgs& args);
std::uint32_t NativeIsWidgetEnabled(const NativeArgs& args);
// args[1] shown: 1; 0.
std::uint32_t NativeSetWidgetActive(const NativeArgs& args);
std::uint32_t NativeIsWidgetActive(const NativeArgs& args);
// args[1], args[2] x, y: 0; 0.
std::uint32_t NativeSetWidgetPosition(const NativeArgs& args);
// args[1] draw priority: 0; 0.
std::uint32_t NativeSetWidgetPriority(const NativeArgs& args);
// args[1] low byte, the opacity: 0; 0.
std::uint32_t NativeSetWidgetVisible(const NativeArgs& args);
std::uint32_t NativeGetWidgetWidth(const NativeArgs& args);
std::uint32_t NativeGetWidgetHeight(const NativeArgs& args);
// args[1] index (a list's item; -1 and -2 its header and footer): the drawable's handle; 0.
std::uint32_t NativeGetWidgetSprite(const NativeArgs& args);
// args[1] index: the image's handle; 0.
std::uint32_t NativeGetWidgetImage(const NativeArgs& args);
// args[1] the value (a text for text fields and text boxes): the type's result; -1.
std::uint32_t NativeSetWidgetValue(const NativeArgs& args);
// The type's value (a text field's text by address); -1.
std::uint32_t NativeGetWidgetValue(const NativeArgs& args);
// args[1]: image buttons, check buttons and bars hit by their rectangle: 0; -1.
std::uint32_t NativeSetWidgetOption(const NativeArgs& args);
// args[1]: the widget's lock (check buttons, text fields, text boxes, lists, choice buttons): 0; -1.
std::uint32_t NativeSetWidgetSwitch(const NativeArgs& args);
