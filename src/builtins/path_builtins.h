// The scripts' path built-ins (ids 101, 118 to 123): path texts cut and copied with the engine's
// Shift-JIS-aware path rules, the optical drive, and the current folder. Destinations are script
// buffers; a result is written only as far as it reaches (text and zero), checked like every
// argument.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// 101: args[0] file name or 0, args[1] destination or 0: 1 when a CD or DVD drive (with the file)
// was found, its root then written; 0 otherwise.
std::uint32_t NativeFindCdRomDrive(const NativeArgs& args);
// 118: args[0] path, cut in place: 1 when a component was cut; 0 when nothing was left to cut.
std::uint32_t NativeStripLastFolder(const NativeArgs& args);
// 119: args[0] path, args[1] destination: the last component (a folder's name for a path that
// ends with a separator); 0.
std::uint32_t NativeGetPathLeaf(const NativeArgs& args);
// 120: args[0] path, args[1] destination: the folder part; 0.
std::uint32_t NativeGetPathFolder(const NativeArgs& args);
// 121: args[0] name, args[1] destination: the extension; 0.
std::uint32_t NativeGetFileExtension(const NativeArgs& args);
// 122: args[0] name, cut at its last '.' in place; args[1] destination for the extension or 0; 0.
std::uint32_t NativeCutFileExtension(const NativeArgs& args);
// 123: args[0] folder: 1 when it names an existing folder, else 0. The engine resolves relative
// names against its base folder, never against a process-wide current folder, so nothing else
// changes.
std::uint32_t NativeSetCurrentDirectory(const NativeArgs& args);
