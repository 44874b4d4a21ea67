#include "effects/patterns/pattern_draws_ahead.h"

#include <algorithm>

namespace {

constexpr std::size_t kWords = kSubtractiveWords;

}  // namespace

CDrawsAhead::CDrawsAhead(std::int16_t& index, SubtractiveTable& table)
    : index_(index),
      table_(table),
      left_in_table_(static_cast<std::size_t>(kSubtractiveWords - index)),
      refilled_(table) {
  draws_.assign(table.end() - static_cast<std::ptrdiff_t>(left_in_table_), table.end());
}

void CDrawsAhead::Reserve(std::size_t read, std::size_t end) {
  const std::size_t keep_from = read > left_in_table_ ? FirstOfRefillHolding(read - 1) : 0;
  if (keep_from > first_) {
    draws_.erase(draws_.begin(), draws_.begin() + static_cast<std::ptrdiff_t>(keep_from - first_));
    first_ = keep_from;
  }
  while (first_ + draws_.size() < end) {
    RefillSubtractive(refilled_);
    draws_.insert(draws_.end(), refilled_.begin() + 1, refilled_.end());
  }
}

std::size_t CDrawsAhead::FirstOfRefillHolding(std::size_t draw) const {
  return left_in_table_ + (draw - left_in_table_) / kWords * kWords;
}

// The last draw read lies in the table as it was or in one of the refills, which then is the
// table, the draw's word its index.
CDrawsAhead::~CDrawsAhead() {
  if (read_ <= left_in_table_) {
    index_ = static_cast<std::int16_t>(index_ + static_cast<std::int16_t>(read_));
    return;
  }
  const std::size_t first = FirstOfRefillHolding(read_ - 1);
  std::copy_n(draws_.begin() + static_cast<std::ptrdiff_t>(first - first_), kWords, table_.begin() + 1);
  index_ = static_cast<std::int16_t>(read_ - first);
}
