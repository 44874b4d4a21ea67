// The scripts' file objects (ids 124 to 142): files of the program-wide file list, each handed to
// scripts as a handle of its own that is revoked when the file is released. Their contents and
// paths go to scripts as copies in script memory that belong to the file. Files that scripts
// create or open for writing must lie where scripts may write.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// The zero-handle result of the rows whose status it is.
inline constexpr std::uint32_t kFileNoObject = 5;
// The formatted text of id 142 is cut here (the terminating zero not counted).
inline constexpr std::uint32_t kFilePrintfLimit = 511;

// 124: a new closed file's handle; 0 when it cannot be made.
std::uint32_t NativeCreateFile(const NativeArgs& args);
// 125: args[0] the address of a handle word: 0 released (the word cleared); 1 zero address or
// word; 2 a handle that is no file (the word kept).
std::uint32_t NativeReleaseFile(const NativeArgs& args);
// 126: releases every file; 0.
std::uint32_t NativeReleaseAllFiles(const NativeArgs& args);
// 127 to 131, args[0] the file: the file's status, 5 for no file. 127 args[1] data-file name;
// 128 args[1] archive id, args[2] entry number, args[3] entry name; 129 args[1] name; 130
// args[1] path, args[2] overwrite; 131 args[1] path (130 and 131: 5 where scripts may not write).
std::uint32_t NativeFileLoad(const NativeArgs& args);
std::uint32_t NativeFileLoadNumbered(const NativeArgs& args);
std::uint32_t NativeFileOpenStream(const NativeArgs& args);
std::uint32_t NativeFileCreate(const NativeArgs& args);
std::uint32_t NativeFileOpenReadWrite(const NativeArgs& args);
// 132: closes the file; 0.
std::uint32_t NativeFileClose(const NativeArgs& args);
// 133: the address of a copy of the loaded contents (followed by a zero byte); 0 without them.
std::uint32_t NativeFileGetData(const NativeArgs& args);
// 134: the size; 0.
std::uint32_t NativeFileGetSize(const NativeArgs& args);
// 135: the address of the path text; 0.
std::uint32_t NativeFileGetPath(const NativeArgs& args);
// 136: the position; -1 not open or no file.
std::uint32_t NativeFileTell(const NativeArgs& args);
// 137, 138: args[1] position or distance: 0, 3 not open, 6 failure; 5 for no file.
std::uint32_t NativeFileSeek(const NativeArgs& args);
std::uint32_t NativeFileSeekRelative(const NativeArgs& args);
// 139: args[1] buffer, args[2] count: the bytes read; 0.
std::uint32_t NativeFileRead(const NativeArgs& args);
// 140: args[1] buffer or 0, args[2] its size (0: 256): the line's result; 0.
std::uint32_t NativeFileReadLine(const NativeArgs& args);
// 141: args[1] data, args[2] count: the bytes written; 0.
std::uint32_t NativeFileWrite(const NativeArgs& args);
// 142: args[1] format, args[2] onward the values: the bytes written; 0.
std::uint32_t NativeFilePrintf(const NativeArgs& args);
