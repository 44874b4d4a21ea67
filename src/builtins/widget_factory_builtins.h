// The built-ins that make widgets through the widget manager: each passes its argument words in
// the factory's order, puts in the defaults of an absent group (a switch word of 65535, or -1
// where a row says so; the words after an absent switch are not read) and returns the new
// widget's handle, or 0 when the factory fails. A widget made here joins no window.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0]-args[3] x, y, width, height; args[4] switch: disabled frame; args[5] text, args[6]
// font, args[7] priority.
std::uint32_t NativeCreateLabelButton(const NativeArgs& args);
// args[0], args[1] x, y; args[2] file; args[3] switch: disabled frame; args[4] pressed frame,
// args[5] blend mode, args[6], args[7] key pixel, args[8] priority.
std::uint32_t NativeCreateImageButton(const NativeArgs& args);
// As NativeCreateImageButton with args[2] a display object and no key: -1 when it has no image.
std::uint32_t NativeCreateImageButtonFromObject(const NativeArgs& args);
// args[0], args[1] x, y; args[2] file; args[3] kind; args[4] switch: disabled frames; args[5]
// group leader, args[6] blend mode, args[7], args[8] key pixel, args[9] priority.
std::uint32_t NativeCreateCheckButton(const NativeArgs& args);
// As NativeCreateCheckButton with args[2] a display object and no key: -1 when it has no image.
std::uint32_t NativeCreateCheckButtonFromObject(const NativeArgs& args);
// args[0]-args[7] x, y, width, height, three colours, priority.
std::uint32_t NativeCreatePushButton(const NativeArgs& args);
// args[0]-args[3] x, y, font, width; args[4] switch: margin; args[5] frame, args[6] priority.
std::uint32_t NativeCreateTextEdit(const NativeArgs& args);
// args[0]-args[4] x, y, font, lines, line length; args[5] switch: margin; args[6] line
// spacing, args[7] frame, args[8] priority.
std::uint32_t NativeCreateTextEditEx(const NativeArgs& args);
// args[0], args[1] x, y; args[2] vertical; args[3] switch: thickness; args[4]-args[8] colours,
// args[9] priority. The bar reports to the root window.
std::uint32_t NativeCreateScrollBar(const NativeArgs& args);
// args[0]-args[4] x, y, insets, thumb file; args[5] switch: the thumb's caps, the track and its
// caps, the arrows (args[5]-args[11]); args[12] switch: disabled frame, args[13] vertical,
// args[14] blend mode, args[15], args[16] key pixel, args[17] priority.
std::uint32_t NativeCreateScrollBarEx(const NativeArgs& args);
// args[0]-args[4] x, y, width, height, font; args[5] switch (-1): ruby font, args[6]-args[8]
// pictures, args[9] priority.
std::uint32_t NativeCreateTextLayout(const NativeArgs& args);
// As NativeCreateTextLayout: a text box that prints the text printer's messages.
std::uint32_t NativeCreateScriptTextBox(const NativeArgs& args);
// args[0]-args[6] x, y, plain width and height, item gap, font, priority.
std::uint32_t NativeCreateListMenu(const NativeArgs& args);
// args[0]-args[3] x, y, width, height; args[4] switch (-1): hot point x, args[5] hot point y,
// args[6] hit-testable, args[7] clickable.
std::uint32_t NativeCreateClickArea(const NativeArgs& args);
// args[0], args[1] x, y; args[2]-args[4] font, height, width; args[5]-args[10] thumb file and
// caps, the scroll bar's length and place; args[11] switch: blend mode, args[12] icon file,
// args[13] row gap, args[14] priority.
std::uint32_t NativeCreateListBox(const NativeArgs& args);
// args[0] map file; args[1] item count; args[2], args[3] x, y; args[4] can fire.
std::uint32_t NativeCreateChoiceButton(const NativeArgs& args);
