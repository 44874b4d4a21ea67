// The eased clock of the timed motions: how far along its curve a motion of `total` ms stands
// after `elapsed` ms.
#pragma once

#include <cstdint>

// Exponent 0 runs straight; k > 0 starts slowly (total × (e / total)^k), k < 0 ends slowly
// (total × (1 - (1 - e / total)^-k)); truncated to whole milliseconds. The result stays within
// 0..total whatever the exponent (a NaN one included); an elapsed time at or past the total
// gives the total.
uint32_t EaseElapsed(uint32_t elapsed, uint32_t total, double exponent);
