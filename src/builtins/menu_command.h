// The game menu's commands as the scripts and the game's screens give them: by index, to the
// main window, only while the application allows each.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// Index 0 settings dialog, 1 save, 2 load, 3 close, 4 screen-mode change, 5 version
// information, 6 back to the title. Posted, or sent and served before the return when
// `synchronous` (from the game thread). 1 posted or sent; 0 for another index, a command not
// allowed now, or without an application.
uint32_t PostMenuCommand(uint32_t index, bool synchronous);

// args[0] command index (byte), args[1] synchronous (byte): PostMenuCommand's result.
uint32_t NativePostMenuCommand(const NativeArgs& args);
