// The scripts' dialogs and dropped files (ids 73, 74, 155 to 160): the text-input dialog, the
// open and save choosers and the folder chooser, each shown by the application's main window
// while the game thread waits, and the queue of files dropped onto that window. Without an
// application nothing is shown: the dialogs answer as closed, the queue as empty.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// The chooser's buffers in script memory (ids 158 and 159): a path or name that would not fit,
// with its zero, is no choice.
inline constexpr std::uint32_t kChooserBufferSize = 256;
// The folder chooser's destination (id 160).
inline constexpr std::uint32_t kFolderBufferSize = 260;

// 73: args[0] destination: shows the text-input dialog; 0 the entered text was copied; 1 the text
// was empty (or the dialog closed); 2 no destination (nothing shown).
std::uint32_t NativeInputText(const NativeArgs& args);
// 74: args[0] title or 0, args[1] prompt or 0, args[2] double-byte only, args[3] most bytes (0
// any), args[4] open the input method (bytes), args[5] width (0 the dialog's own), args[6] x,
// args[7] y (either negative: centred): the next text-input dialog's parameters; 0.
std::uint32_t NativeSetInputTextParams(const NativeArgs& args);
// 155: args[0] flag: the main window takes dropped files or not; 0.
std::uint32_t NativeAcceptDroppedFiles(const NativeArgs& args);
// 156: args[0] index (negative: the count): the dropped file's path text or 0; the count.
std::uint32_t NativeGetDroppedFile(const NativeArgs& args);
// 157: empties the queue; 0.
std::uint32_t NativeClearDroppedFiles(const NativeArgs& args);
// 158, 159: args[0] the result word; args[1] a buffer of 256 bytes with the proposed name that
// takes the chosen path; args[2] a buffer of 256 bytes for the chosen name; args[3] filter
// ("description\tpattern\t..."), args[4] title, args[5] initial folder (each 0: none). The result
// (0 nothing chosen; 1 for the open chooser; for the save chooser 1 plus the extension's offset in
// the path) goes to args[0] and is returned; 0 when args[1] or args[2] is 0.
std::uint32_t NativeOpenFileDialog(const NativeArgs& args);
std::uint32_t NativeSaveFileDialog(const NativeArgs& args);
// 160: args[0] the result word; args[1] title or 0; args[2] a buffer of 260 bytes for the folder
// (with a trailing backslash); args[3] initial folder or 0. 1 chosen, 0 not (also when args[2]
// is 0); the result also goes to args[0].
std::uint32_t NativeBrowseFolder(const NativeArgs& args);
