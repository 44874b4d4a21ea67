// The built-ins of text boxes (type 5, and the scripts' text box, type 111, alike), some shared
// with list menus (type 6), and those of the scripts' text box alone (args[0] the widget; a
// widget of another kind counts as none and gets the row's last result).
#pragma once

#include <cstdint>

#include "script/native_args.h"

// List menu: args[1]-args[4] the item margins, args[5], args[6] the pressed text's shift. Text
// box: args[1]-args[4] the layout rectangle, args[5]-args[8] the drawing rectangle. 1; 0.
std::uint32_t NativeSetTextBoxRects(const NativeArgs& args);
// List menu: args[1] whether chosen items show so: 0. Text box: args[1], args[2] font and ruby
// font: the font's result. -1.
std::uint32_t NativeSetTextBoxFont(const NativeArgs& args);
// args[1] low byte, args[2] colour, args[3] low byte: a list menu's skin colour mode, colour and
// alpha, or a text box's background style, colour and alpha; -1 when nothing changed. -1.
std::uint32_t NativeSetTextBoxColour(const NativeArgs& args);
// args[1] low byte: the least alpha of the picture that drags the widget (0 none). 1; 0.
std::uint32_t NativeSetTextBoxStyleByte(const NativeArgs& args);
// A list menu's items drawn again, a text box's page redrawn. 1; 0.
std::uint32_t NativeRefreshTextBox(const NativeArgs& args);
// args[1], args[2] addresses (each may be 0). List menu: a point inside item args[3] (0 outside
// the items). Text box: the corner of the next cell of width args[3] and height args[4]: 1. 0.
std::uint32_t NativeGetTextBoxCell(const NativeArgs& args);

// args[1] auto wrap, args[2] line gap, args[3] character spacing, args[4] the ruby band over
// horizontal lines, args[5] ruby gap: the page starts again under them; then args[6] the indent of
// its following lines. Gaps, spacing and indent are held to a page's largest side. 1; 0.
std::uint32_t NativeSetTextBoxLayout(const NativeArgs& args);
// args[1] the value the common get-value row reads back for the box. 1; 0.
std::uint32_t NativeSetTextBoxValue(const NativeArgs& args);
// args[1], args[2] width and height: the box made anew at that size without its background
// pictures: 0; 1 it was never made; 3 failure; 4.
std::uint32_t NativeTextBoxPair(const NativeArgs& args);
// args[1]-args[3] frame, mask and second mask files, args[4] redraw: the load status; 9.
std::uint32_t NativeLoadTextBoxImages(const NativeArgs& args);
// args[1]-args[3] display objects (0: none) whose images the box copies as its frame, mask and
// second mask, args[4] redraw: the status as for files; 9.
std::uint32_t NativeLoadTextBoxImages2(const NativeArgs& args);
// args[1]: the map of the text items' pixels made or dropped: 0; 1 no memory; 2.
std::uint32_t NativeSetTextBoxRegionMap(const NativeArgs& args);
// args[1]: vertical writing: 0; 1-4 a face could not change; 5.
std::uint32_t NativeSetTextBoxVertical(const NativeArgs& args);
// args[1]: a click or the decide action moves the scripts' text box on: 1; 0.
std::uint32_t NativeSetScriptTextBoxFlag(const NativeArgs& args);
// 0 for the scripts' text box, 1 for anything else.
std::uint32_t NativeIsNotScriptTextBox(const NativeArgs& args);
// args[1] mode: the animation's start status; -1.
std::uint32_t NativeStartTextAnimation(const NativeArgs& args);
// The wait icon shown now, made from the picture set once: 0; 1 without a timer manager or
// picture set; 2 the icon could not be made or registered; -1.
std::uint32_t NativeStartTextBoxPicture(const NativeArgs& args);
// args[1] low byte, the operation 0-3: its status; -1.
std::uint32_t NativeControlTextAnimation(const NativeArgs& args);
// args[1] a cell sheet (0 or one released: none): the wait icon's picture set from the next start
// on, a running icon ended. 1; 0.
std::uint32_t NativeSetTextBoxPictureSet(const NativeArgs& args);
// args[1] a text box (type 5) that shows the speaker's name, args[2] low byte its alignment:
// 0; 2 for no text box; 1.
std::uint32_t NativeLinkTextLayout(const NativeArgs& args);
// args[1] the check button that makes the box skip: 0; 2 for no check button; 1.
std::uint32_t NativeLinkCheckButton(const NativeArgs& args);
// The animation's state (0 started, 1 printing, 2 waiting, 3 ended, 4 skipped) and the kind of
// its last stop (low byte); 0 before the first start; 0.
std::uint32_t NativeGetTextBoxByteA(const NativeArgs& args);
std::uint32_t NativeGetTextBoxByteB(const NativeArgs& args);
// args[1] address of a buffer (0: none) for the voice name with its zero: 1; 0 for an empty
// name, with the buffer's first four bytes 0; 0.
std::uint32_t NativeGetScriptTextBoxText(const NativeArgs& args);
