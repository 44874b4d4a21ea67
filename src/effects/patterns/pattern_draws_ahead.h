// Draws of a subtractive state read ahead of their use: a pattern that draws once or three times
// a block, as a draw of chance decides, reads them from a buffer at a place it moves without a
// branch, where drawing each would ask at every draw whether the state needs a refill and which
// draw comes next. The state is left exactly as drawing only the draws read would leave it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/numbers/subtractive_random.h"

class CDrawsAhead {
 public:
  CDrawsAhead(std::int16_t& index, SubtractiveTable& table);
  // Leaves the state as Read(count) says.
  ~CDrawsAhead();
  CDrawsAhead(const CDrawsAhead&) = delete;
  CDrawsAhead& operator=(const CDrawsAhead&) = delete;

  // Draws `read` to end - 1 made ready to read, those before `read` being read already: a
  // pattern keeps few draws at hand however many it reads.
  void Reserve(std::size_t read, std::size_t end);
  // Draw k, once made ready.
  std::int32_t operator[](std::size_t k) const { return draws_[k - first_]; }
  // Draws 0 to count - 1 are the ones taken from the state.
  void Read(std::size_t count) { read_ = count; }

 private:
  // The first draw of the refill that gives the draw, which lies past the table's words.
  std::size_t FirstOfRefillHolding(std::size_t draw) const;

  std::int16_t& index_;
  SubtractiveTable& table_;
  // The state's words in the order they are drawn, from draw first_ on: those left in the
  // table, then the words of one refill after another. The refills read already are dropped,
  // all but the one holding the last draw read, which the state ends with.
  std::vector<std::int32_t> draws_;
  std::size_t first_ = 0;
  std::size_t left_in_table_;
  // The table as the last refill left it, which the next one works on.
  SubtractiveTable refilled_;
  std::size_t read_ = 0;
};
