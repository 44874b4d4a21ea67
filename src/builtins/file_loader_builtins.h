// The scripts' background loader (ids 143 to 148) and disk listing (ids 149 to 154). Index and
// count words of the loader count only in their low 16 bits. The loader copies the names it is
// given at the request, so a script may reuse their memory at once; the contents of a loaded entry
// reach the script as a copy in script memory that lives until the entry is closed or the loader
// is cleared or allocated again.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// 143: args[0] entry count: 0; 2 no memory.
std::uint32_t NativeLoaderAllocate(const NativeArgs& args);
// 144: args[0] first entry, args[1] count, args[2] onward the names: 0; 1 bad range; 2 still
// loading.
std::uint32_t NativeLoaderRequest(const NativeArgs& args);
// 145: 1 when it had to wait for the load to end; 0.
std::uint32_t NativeLoaderWaitIdle(const NativeArgs& args);
// 146: args[0] first entry, args[1] count (0: every entry, the loader emptied): the entries of
// the range still busy; -1 without entries; 0 for count 0.
std::uint32_t NativeLoaderClose(const NativeArgs& args);
// 147: args[0] entry: the address of its contents; 0 while busy, empty or beyond the entries.
std::uint32_t NativeLoaderGetData(const NativeArgs& args);
// 148: args[0] entry: its size; 0 likewise.
std::uint32_t NativeLoaderGetSize(const NativeArgs& args);
// 149: args[0] folder or 0 (the base folder), args[1] pattern or 0 ("*.*"), args[2] list the
// folders too, args[3] enter sub-folders: the entry count.
std::uint32_t NativeScanFiles(const NativeArgs& args);
// 150, 151: args[0] entry: the address of its path text (relative to the scanned folder); 0.
std::uint32_t NativeGetFileListWord(const NativeArgs& args);
std::uint32_t NativeGetFileListName(const NativeArgs& args);
// 152: args[0] entry: its attribute byte (1 read-only, 2 hidden, 4 system, 8 archive, 16
// folder); 0.
std::uint32_t NativeGetFileListFlag(const NativeArgs& args);
// 153: args[0] entry, args[1] to args[7] addresses (each may be 0) for year, month, day, hour,
// minute, second and day of week of its local write time: 1; 0 no entry.
std::uint32_t NativeGetFileListTime(const NativeArgs& args);
// 154: empties the list; 0.
std::uint32_t NativeClearFileList(const NativeArgs& args);
