// What the message boxes ask of the player's input: whether the skip key is held and whether the
// left mouse button was newly pressed, read from the game's keyboard and mouse (false while they
// do not exist).
#pragma once

#include <cstdint>

// True while a Ctrl key is held, or a Shift key when the user's settings choose Shift.
bool IsSkipKeyDown();
// True when either skip key was down as the key `pressed` went down in the latest input state.
bool IsSkipKeyDownAtPress(uint32_t pressed);
// True when either skip key went down in the latest input state.
bool IsSkipKeyPressed();
// True when the left mouse button went down in the latest input state.
bool IsMouseLeftPressed();

// Set by the application while read text must print rather than be skipped; 0 otherwise.
extern uint8_t g_KeepReadTextUnskipped;
