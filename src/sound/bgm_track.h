// Background music chosen by track number: track n is "BGM\BGMnn.OGG", or, when that file is
// missing, "BGMnnB.OGG" after its intro "BGMnnA.OGG".
#pragma once

#include <cstdint>

// The track last started by PlayBgmTrack; 0 = none.
extern int32_t g_CurrentBgm;

// Starts track `track` (0 stops the music), over `fade_time` ms when it is not 0: 1 when a
// start without fade fails, else 0. A track that fails to start is not taken as the current one.
uint32_t PlayBgmTrack(int32_t track, uint32_t fade_time, bool loop);
