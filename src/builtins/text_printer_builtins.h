// The built-in functions 466 to 509 over the game host's text printer (g_TextPrinter): the
// current message and its markup, printing into a display object, the history of past messages,
// the read flag and read log, and the choices with the choice list (g_ChoiceList). Without a
// printer each returns 0.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] size (byte). 0.
std::uint32_t NativeSetHistorySize(const NativeArgs& args);
// args[0] flag. 0.
std::uint32_t NativeSetHistoryEnabled(const NativeArgs& args);
// args[0] message record: -1 when messages are not accepted, else 0, or 1 or 2 without memory.
std::uint32_t NativeSetMessage(const NativeArgs& args);
// args[0] byte. 0.
std::uint32_t NativeSetMessageSwitch(const NativeArgs& args);
// args[0] display object (kind 4, 7 or 9), args[1] companion display object or 0, args[2] x,
// args[3] y, args[4] glyph font, args[5] edge byte, args[6] fixed-pitch byte, args[7] letter
// spacing. 0; 1 a missing or refused object; 2 a missing font or one that is no glyph font.
std::uint32_t NativeSetPrinterTarget(const NativeArgs& args);
// args[0] destination or 0 (measure only), args[1] part number: the size with the terminator.
std::uint32_t NativeGetNamePart(const NativeArgs& args);
// args[0] x, args[1] y, args[2] part, args[3] display object or 0, args[4] edge mode (255: the
// printer's own font and setting), args[5] glyph font or 0. The printer's result; -1 a refused
// object; -2 a font that is no glyph font.
std::uint32_t NativePrintName(const NativeArgs& args);
// args[0] run-to-stop byte: the stop kind.
std::uint32_t NativePrintNext(const NativeArgs& args);
// The text up to the first `&` or its end, every tag passed: 1, or 0 when nothing could print.
std::uint32_t NativePrintAll(const NativeArgs& args);
// args[0] tags to pass (negative: all), args[1] draw flag: the stop kind.
std::uint32_t NativePrintUpTo(const NativeArgs& args);
std::uint32_t NativeRedrawText(const NativeArgs& args);
// args[0], args[1] addresses of the pen's x and y (0: not written). 0.
std::uint32_t NativeGetPenPosition(const NativeArgs& args);
// args[0] destination: 1 with the last string tag copied, 0 without one (nothing written).
std::uint32_t NativeCopyTag(const NativeArgs& args);
std::uint32_t NativeGetTagNumber(const NativeArgs& args);
std::uint32_t NativeHasPreviousHistory(const NativeArgs& args);
std::uint32_t NativeHasNextHistory(const NativeArgs& args);
// args[0] destination or 0: the plain text with CR LF line ends; its size with the terminator.
std::uint32_t NativeCopyPlainText(const NativeArgs& args);
std::uint32_t NativeGetHistoryCount(const NativeArgs& args);
std::uint32_t NativeGetHistoryCursor(const NativeArgs& args);
// The history moves: the result of the move (0 a message loaded, -1 none); a loaded message
// binds the choice list to its chosen bits.
std::uint32_t NativeHistoryPrevious(const NativeArgs& args);
std::uint32_t NativeHistoryNext(const NativeArgs& args);
std::uint32_t NativeHistoryOldest(const NativeArgs& args);
std::uint32_t NativeHistoryNewest(const NativeArgs& args);
// args[0] index.
std::uint32_t NativeHistoryAt(const NativeArgs& args);
// args[0] step.
std::uint32_t NativeHistoryMove(const NativeArgs& args);
std::uint32_t NativeSaveTextMark(const NativeArgs& args);
std::uint32_t NativeRestoreTextMark(const NativeArgs& args);
// Unbinds the choice list and empties the message and its history. 0.
std::uint32_t NativeResetMessage(const NativeArgs& args);
std::uint32_t NativeIsMessageRead(const NativeArgs& args);
// args[0] file name of the host's read log ("TLOG"). 0.
std::uint32_t NativeSetReadLogFile(const NativeArgs& args);
// Loads the host's read log: its status.
std::uint32_t NativeLoadReadLog(const NativeArgs& args);
// args[0] choice record: the result; below 1 the choice list is bound to the chosen bits.
std::uint32_t NativeSetChoices(const NativeArgs& args);
// args[0] byte. 0.
std::uint32_t NativeSetChoiceSwitch(const NativeArgs& args);
// These four unbind the choice list first, whatever they then do.
// args[0] capacity: 1 with room for choices, 0 with none.
std::uint32_t NativeSetChoiceCapacity(const NativeArgs& args);
// Zeroes the choice kind, the first choice bit and the given count. 0.
std::uint32_t NativeResetChoiceBits(const NativeArgs& args);
// args[0] text.
std::uint32_t NativeAddChoice(const NativeArgs& args);
std::uint32_t NativeClearChoices(const NativeArgs& args);
std::uint32_t NativeGetChoiceCount(const NativeArgs& args);
// args[0] x, args[1] y, args[2] choice index; args[3] to args[5] as NativePrintName.
std::uint32_t NativePrintChoice(const NativeArgs& args);
// args[0] index, args[1] destination, args[2] its size: 0; 1 no such choice; 2 no text; 3 too long.
std::uint32_t NativeCopyChoice(const NativeArgs& args);
// args[0] index: the address of a copy of the choice, 0 for none.
std::uint32_t NativeGetChoice(const NativeArgs& args);
// args[0] index (byte). 1.
std::uint32_t NativeSelectChoice(const NativeArgs& args);
// The selected choice, 255 without packed choices.
std::uint32_t NativeGetSelectedChoice(const NativeArgs& args);
// args[0] index (byte): whether that choice was ever chosen.
std::uint32_t NativeWasChoiceChosen(const NativeArgs& args);
