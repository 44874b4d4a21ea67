// The built-in functions over the script host's variables and its variable, persistent and
// text-log files. The class and kind filters are the script host's selectors (class 0 all, 1 to 3
// classes 0 to 2; kind 0 all, 1 to 3 kinds 0 to 2); variables are named by their address.
#pragma once

#include <cstdint>

#include "script/native_args.h"

std::uint32_t NativeRestoreInitialVariables(const NativeArgs& args);
std::uint32_t NativeClearVariables(const NativeArgs& args);
std::uint32_t NativeStoreVariables(const NativeArgs& args);
std::uint32_t NativeRecallVariables(const NativeArgs& args);
// args[0] variable: 0; 1 no stored copy; 2 no such variable.
std::uint32_t NativeStoreVariable(const NativeArgs& args);
// args[0] file name (0: the stored one), args[1] value variable, args[2] string variable, args[3]
// from the stored copy: the class-1 variables into a variable file.
std::uint32_t NativeSaveVariableFile(const NativeArgs& args);
std::uint32_t NativeReadVariableFileInfo(const NativeArgs& args);
std::uint32_t NativeLoadVariableFile(const NativeArgs& args);
std::uint32_t NativeSetVariableFileName(const NativeArgs& args);
// Writes the persistent file and the text log (the end of a session asks for it too).
std::uint32_t NativeSaveReadLogs(const NativeArgs& args);
std::uint32_t NativeLoadPersistentFile(const NativeArgs& args);

// What NativeSaveReadLogs does, for callers outside the scripts: the status of the script host's
// SavePersistentState; 0 without a game host.
std::uint32_t SaveReadLogs();
