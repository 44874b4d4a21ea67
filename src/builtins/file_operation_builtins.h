// The scripts' file operations on the disk (ids 161 to 165): starting a program, making a folder,
// moving and copying files, and a data file's time stamp. Every path a script names for writing
// (the folder made, both ends of a move, the copy's destination) must lie where scripts may
// write; any other path touches nothing and gives the row's refusal.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// 161: args[0] command line, args[1] wait flag (byte; 1 waits until the program ends): 0 started,
// 1 failed. Started without a shell.
std::uint32_t NativeRunProgram(const NativeArgs& args);
// 162: args[0] path: 0 made; 1 bad or refused path; 2 failure.
std::uint32_t NativeCreateDirectory(const NativeArgs& args);
// 163: args[0] source, args[1] destination: 0 moved; 1 bad or refused source; 2 bad or refused
// destination; 3 failure (also an existing destination).
std::uint32_t NativeMoveFile(const NativeArgs& args);
// 164: args[0] destination, args[1] source, args[2] mode (1 always; 2 never over an existing
// file; else only a newer source): 0 copied; 1 not newer; 2 bad path, refused destination or
// existing; -1 failure.
std::uint32_t NativeCopyFile(const NativeArgs& args);
// 165: args[0] data-file name, args[1] to args[7] addresses (each may be 0) for year, month,
// day, hour, minute, second and day of week: 0, 3 without the data-file layer, else the find
// status.
std::uint32_t NativeGetFileTime(const NativeArgs& args);
