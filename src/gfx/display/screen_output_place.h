// Where the game screen's pictures land on what the window shows (its primary surface or its
// device context), for what paints there beside the screen manager (the window movie).
#pragma once

#include "gfx/display/screen_manager.h"
#include "platform/system/geometry.h"

// A rectangle of the game screen as it shows on the window: scaled onto the display in full
// screen when the screen is scaled there, else where it is. Any thread: the scaling is read under
// the screen's lock, under which a mode switch changes it.
plat::Rect ScreenRectOnOutput(CScreenManager& screen, const plat::Rect& rect);
