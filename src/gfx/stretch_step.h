// The stepping record of every stretched pixel kernel: whole source pixels (or rows) per
// destination pixel and an error accumulator whose unsigned carry adds one more. The clipping of
// the stretched operations fills it; without clipping each accumulator starts at minus the
// destination size minus 1.
#pragma once

#include <cstdint>

struct StretchStep {
  int32_t xAcc;   // starting value of the horizontal accumulator (negative)
  int32_t xRem;   // source width modulo destination width
  int32_t xDen;   // full destination width
  int32_t xStep;  // source width divided by destination width
  int32_t yAcc;
  int32_t yRem;
  int32_t yDen;
  int32_t yStep;
};
