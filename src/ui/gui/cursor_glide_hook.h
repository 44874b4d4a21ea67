// The pointer glide that widgets ask for. The glide is a cursor-move task of the frame's timer
// manager that needs the application's settings, so the folder that knows them installs it.
#pragma once

#include <cstdint>

class CCursorMotion;

// Glides the pointer to (x, y) of the game screen over `duration` ms; the running task, or
// null when none started, in `task`. Null while nothing installed it: widgets then do not glide.
extern int32_t (*g_CursorGlideHook)(int32_t x, int32_t y, uint32_t duration, CCursorMotion** task);
