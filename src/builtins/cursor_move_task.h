// Glides the mouse cursor to a point of the game screen for the scripts and the game's screens,
// as a cursor-move task (CCursorMotion, task kind 20000) on the frame's timer manager.
#pragma once

#include <cstdint>

#include "base/input/cursor_motion.h"

// Moves the cursor to (x, y) over `duration` ms. Nothing happens (0) while the player keeps the
// cursor parked on the bottom-right pixel of the screen, unless `force`, nor while the settings
// forbid the program to move the cursor, nor without an application. `end` says how the task
// treats an inactive application and an early end: 0 moves only while the application is active
// and leaves the cursor where it got to; 1 also puts it on the target when ended while active;
// 2 moves whatever the activation. Any other value is taken as 0, which never moves the cursor
// behind the player's back. Otherwise the status of CCursorMotion::Start (2 also without a
// timer manager), and the running task, or null, in `task` when given.
int32_t StartCursorMoveTask(int32_t x, int32_t y, uint32_t duration, bool force, uint32_t end,
                            CCursorMotion** task = nullptr);
