// Draws read ahead, a few at a time, give the draws of the state drawn one by one, and leave the
// state where drawing only those read would: within the table as it was, at a refill's last
// word, and several refills on.
#include "effects/patterns/pattern_draws_ahead.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

namespace {

struct State {
  std::int16_t index = 0;
  SubtractiveTable table{};
};

// A state seeded with 7 and then drawn from `drawn` times.
State DrawnState(int drawn) {
  State state;
  SeedSubtractive(state.index, state.table, 7);
  for (int i = 0; i < drawn; ++i) DrawSubtractive(state.index, state.table);
  return state;
}

TEST(DrawsAhead, ReadTheStatesDrawsAndLeaveItWhereTheyEnd) {
  for (const int drawn_before : {0, 1, 30, 55}) {
    for (const std::size_t read : {std::size_t{0}, std::size_t{1}, std::size_t{25}, std::size_t{55},
                                   std::size_t{56}, std::size_t{110}, std::size_t{111}, std::size_t{400}}) {
      SCOPED_TRACE(testing::Message() << drawn_before << " drawn, " << read << " read");
      State ahead = DrawnState(drawn_before);
      State one_by_one = DrawnState(drawn_before);
      {
        CDrawsAhead draws(ahead.index, ahead.table);
        // A few at a time, so that refills read drop away.
        for (std::size_t k = 0; k < read; ++k) {
          if (k % 7 == 0) draws.Reserve(k, k + 7);
          ASSERT_EQ(draws[k], DrawSubtractive(one_by_one.index, one_by_one.table)) << k;
        }
        draws.Read(read);
      }
      EXPECT_EQ(ahead.index, one_by_one.index);
      EXPECT_EQ(ahead.table, one_by_one.table);
      EXPECT_EQ(DrawSubtractive(ahead.index, ahead.table), DrawSubtractive(one_by_one.index, one_by_one.table));
    }
  }
}

}  // namespace
