// The easing curve of the motions, glides and effects: how far along its way a movement stands
// at the plain progress t (0 to 1), and the same as whole milliseconds of a timed motion.
#pragma once

#include <cstdint>

// Power p > 0 starts slowly (t^p), p < 0 ends slowly (1 - (1 - t)^-p), p = 0 runs straight.
double EaseProgress(double t, double power);

// Exponent 0 runs straight; k > 0 starts slowly (total × (e / total)^k), k < 0 ends slowly
// (total × (1 - (1 - e / total)^-k)); truncated to whole milliseconds. The result stays within
// 0..total whatever the exponent (a NaN one included); an elapsed time at or past the total
// gives the total.
uint32_t EaseElapsed(uint32_t elapsed, uint32_t total, double exponent);
