// The scripts' road to the data-file layer (ids 94 to 117 but 101): the base and search
// folders, finding data files, archive decoders and their plug-ins, mounted archives and their
// entries, listings and Susie plug-ins. Without a published layer each row gives its "nothing"
// result (0, or -1 for counts of plug-ins loaded).
#pragma once

#include <cstdint>

#include "script/native_args.h"

// 94: args[0] folder: sets the base data folder; 0.
std::uint32_t NativeSetDataBaseFolder(const NativeArgs& args);
// 95: the address of the base folder's text.
std::uint32_t NativeGetModuleFolder(const NativeArgs& args);
// 96: args[0] folder, args[1] at the end: 0, 1 bad path, 2 no memory.
std::uint32_t NativeAddSearchFolder(const NativeArgs& args);
// 97: args[0] folder or 0, args[1] index (negative: the last): 0, 1 bad path, -1 absent.
std::uint32_t NativeRemoveSearchFolder(const NativeArgs& args);
// 98: args[0] index (-1 the last; -2 or less: the count): the folder's text or 0; the count.
std::uint32_t NativeGetSearchFolder(const NativeArgs& args);
// 99: 0.
std::uint32_t NativeClearSearchFolders(const NativeArgs& args);
// 100: args[0] name, args[1] destination of the 320-byte find record (or 0): 0, 1 bad name, 2
// or 3 absent.
std::uint32_t NativeFindFile(const NativeArgs& args);
// 102: args[0] name, args[1] address for the size or 0: 1 found; 0 absent (the word untouched).
std::uint32_t NativeGetDataFileSize(const NativeArgs& args);
// 103: args[0] library: the plug-in load status.
std::uint32_t NativeLoadAdlPlugin(const NativeArgs& args);
// 104: args[0] folder: the number of "*.ADL" plug-ins loaded; -1 bad path.
std::uint32_t NativeLoadAdlPlugins(const NativeArgs& args);
// 105: args[0] decoder type, -1 for all: unloads them; 0. While an archive is mounted no decoder
// goes, since mounted archives may run the plug-in's code.
std::uint32_t NativeFreeAdlPlugin(const NativeArgs& args);
// 106: args[0] decoder type, args[1] onward its words: the decoder's assist result; -2 without.
std::uint32_t NativeCallAdlAssist(const NativeArgs& args);
// 107: args[0] archive, args[1] id, args[2] folder style, args[3] at the end: 0; 1 no decoder,
// 3 open failed, 5 bad path (also the layer's other statuses).
std::uint32_t NativeMountArchive(const NativeArgs& args);
// 108: args[0] id (-2: by position), args[1] position (negative: the last); 0.
std::uint32_t NativeUnmountArchive(const NativeArgs& args);
// 109: the number of mounted archives.
std::uint32_t NativeGetMountCount(const NativeArgs& args);
// 110: 0.
std::uint32_t NativeUnmountAll(const NativeArgs& args);
// 111: args[0] archive id (-1: the last mounted): the entry count; 0 without the archive.
std::uint32_t NativeGetArchiveEntryCount(const NativeArgs& args);
// 112: args[0] archive id, args[1] entry: the entry's name text; 0 without it.
std::uint32_t NativeGetArchiveEntryName(const NativeArgs& args);
// 113: args[0] archive id, args[1] entry, args[2] to args[6] addresses or 0: stored size, size,
// DOS date and time (0 without a time), kind byte, flag byte; 0, 1 no archive, 2 no entry.
std::uint32_t NativeGetArchiveEntryInfo(const NativeArgs& args);
// 114: args[0] archive id: -3 without the archive; the archives of this engine take no control
// operations, so a mounted one answers -2 (unsupported).
std::uint32_t NativeArchiveControl(const NativeArgs& args);
// 115: args[0] pattern: 0 some data file matches, 1 bad path, 2 none.
std::uint32_t NativeListFiles(const NativeArgs& args);
// 116: args[0] plug-in: the Susie load status.
std::uint32_t NativeLoadSusiePlugin(const NativeArgs& args);
// 117: args[0] folder: the number of "*.SPI" plug-ins loaded; -1 bad path.
std::uint32_t NativeLoadSusiePlugins(const NativeArgs& args);

// The DOS date and time word of a time in seconds since 1970 (local time); 0 for 0.
std::uint32_t PackDosDateTime(std::uint32_t seconds);
