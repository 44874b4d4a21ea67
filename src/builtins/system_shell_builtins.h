// The built-in functions over the desktop: opening a file, folder or web address with the
// desktop's opener, naming the user's folders, copying a data file out to disk, and the
// desktop settings (wallpaper, screen saver) that the engine leaves to the desktop.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] folder, document of a kind the desktop shows (never a program, script, installer or
// launcher) or web address (http or https): handed to the desktop without waiting once the
// player agreed. 0.
std::uint32_t NativeShellOpen(const NativeArgs& args);
// args[0] destination (at least 260 bytes), args[1] which: 1 to 4 the game's own folder in the
// documents, pictures, application-data and desktop folders (see user_folders.h), written with a
// trailing backslash; 1, or 0 for another number (0, the system's own folder, has none here) or a
// folder the system cannot name or that gives scripts none, the destination then left as it was.
std::uint32_t NativeGetSystemFolder(const NativeArgs& args);
// args[0] folder (or document, as for NativeShellOpen), made absolute against the base folder: 1
// when the desktop's opener started, else 0.
std::uint32_t NativeOpenFolder(const NativeArgs& args);
// args[0] data-file name, args[1] disk path where scripts may write: 0 written whole; 1 the data
// file cannot be loaded; 2 the disk file cannot be created (nothing written).
std::uint32_t NativeExportDataFile(const NativeArgs& args);
// The desktop's wallpaper and screen saver are not the engine's to change: 0, "not set".
std::uint32_t NativeSetWallpaper(const NativeArgs& args);
std::uint32_t NativeSetScreenSaver(const NativeArgs& args);
std::uint32_t NativeStartScreenSaver(const NativeArgs& args);
