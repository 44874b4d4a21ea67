// The runs of a row whose places are shown by their phase, found once a period, are the runs
// that asking every place finds.
#include "effects/patterns/pattern_painter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace {

using Runs = std::vector<std::pair<int32_t, int32_t>>;

TEST(PatternPainterRuns, PeriodicRunsAreTheRunsOfEveryPlaceAskedForEveryPhaseMaskAndRowLength) {
  for (uint32_t mask = 0; mask < 16; ++mask) {
    for (int32_t end = 0; end <= 13; ++end) {
      Runs asked;
      ForEachShownRun(
          end, 1, [&](int32_t place) { return ((mask >> (place & 3)) & 1) != 0; },
          [&](int32_t first, int32_t last) { asked.emplace_back(first, last); });
      Runs periodic;
      ForEachPeriodicRun(end, mask, [&](int32_t first, int32_t last) { periodic.emplace_back(first, last); });
      EXPECT_EQ(periodic, asked) << "mask " << mask << " end " << end;
    }
  }
}

}  // namespace
