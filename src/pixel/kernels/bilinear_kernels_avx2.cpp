// The AVX2 forms of the bilinear resampling of 32-bit and palette sources (avx2_kernels.h), with
// the results of the SSE2 form: a palette source four destination pixels per step, each from its
// two neighbour pairs; a 32-bit source eight pixels per step from its rows interpolated across,
// each made once.
#include <algorithm>
#include <array>
#include <vector>

#include "pixel/kernels/avx2_kernels.h"
#include "pixel/kernels/bilinear_walk.h"
#include "pixel/kernels/weighted_oct.h"

namespace {

// Two 128-bit values as the halves of one.
__m256i Halves(__m128i low, __m128i high) { return _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1); }

// Four destination pixels at the source columns x from the top and bottom rows, weighted across
// by the fractions of their positions (four 32.32 positions, one 64-bit lane each) and down by
// fy: across first, then down, in 16-bit lanes. pair(line, x) gives the pixels at x and x + 1 of
// a row in the low 64 bits; each half of the vectors works on two samples as NWa, NWb, NEa, NEb.
template <typename S, typename PairFn>
__m128i BilerpFour(const S* top, const S* bottom, const intptr_t (&x)[4], __m256i positions, __m256i fy, PairFn pair) {
  const __m256i zero = _mm256_setzero_si256();
  const auto row_pairs = [&](const S* line) {
    return Halves(_mm_unpacklo_epi32(pair(line, x[0]), pair(line, x[1])),
                  _mm_unpacklo_epi32(pair(line, x[2]), pair(line, x[3])));
  };
  const __m256i tops = row_pairs(top);
  const __m256i bottoms = row_pairs(bottom);
  // Each sample's weight, the top byte of its position's fraction, in the four 16-bit lanes of
  // its pixel.
  constexpr char kZero = static_cast<char>(0x80);
  const __m256i weights = _mm256_shuffle_epi8(
      positions, _mm256_setr_epi8(3, kZero, 3, kZero, 3, kZero, 3, kZero, 11, kZero, 11, kZero, 11, kZero, 11, kZero, 3,
                                  kZero, 3, kZero, 3, kZero, 3, kZero, 11, kZero, 11, kZero, 11, kZero, 11, kZero));
  const __m256i upper =
      weighted_oct::BlendLanes(_mm256_unpacklo_epi8(tops, zero), _mm256_unpackhi_epi8(tops, zero), weights);
  const __m256i lower =
      weighted_oct::BlendLanes(_mm256_unpacklo_epi8(bottoms, zero), _mm256_unpackhi_epi8(bottoms, zero), weights);
  const __m256i down = weighted_oct::BlendLanes(upper, lower, fy);
  // Each half's two pixels sit in its low 64 bits: gather them into the low 128.
  return _mm256_castsi256_si128(_mm256_permute4x64_epi64(_mm256_packus_epi16(down, zero), 0x08));
}

template <typename S, typename PairFn>
void WalkBilinearFour(uint32_t* dst, const S* src, int32_t dst_skip, int32_t src_pitch, int32_t width, int32_t height,
                      const BilinearStep& step, PairFn pair) {
  bilinear_walk::WalkBilinearRows(
      dst, src, dst_skip, src_pitch, width, height, step,
      [&](uint32_t* row, const S* top, const S* bottom, uint32_t fy) {
        bilinear_walk::XPosition position(step);
        const __m256i down = _mm256_set1_epi16(static_cast<short>(fy));
        // The positions of the next four samples, stepped together in their lanes beside the
        // one that gives their columns.
        __m256i positions = _mm256_setr_epi64x(position.at, position.at + position.step,
                                               position.at + 2 * position.step, position.at + 3 * position.step);
        const __m256i four_steps = _mm256_set1_epi64x(4 * position.step);
        intptr_t x[4];
        int32_t i = 0;
        for (; i + 4 <= width; i += 4) {
          for (size_t k = 0; k < 4; ++k, position.at += position.step) x[k] = position.Whole();
          _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), BilerpFour(top, bottom, x, positions, down, pair));
          positions = _mm256_add_epi64(positions, four_steps);
        }
        if (i == width) return;
        // The last one to three samples, the last of them repeated to fill the step.
        const int32_t count = width - i;
        int64_t at[4];
        for (int32_t k = 0; k < 4; ++k) {
          x[k] = position.Whole();
          at[k] = position.at;
          if (k + 1 < count) position.at += position.step;
        }
        alignas(16) std::array<uint32_t, 4> rest;
        _mm_store_si128(reinterpret_cast<__m128i*>(rest.data()),
                        BilerpFour(top, bottom, x, _mm256_setr_epi64x(at[0], at[1], at[2], at[3]), down, pair));
        for (int32_t k = 0; k < count; ++k) row[i + k] = rest[static_cast<size_t>(k)];
      });
}

// Source rows of a 32-bit source interpolated across: for every destination column the 16-bit
// lanes of lerp(line[x], line[x + 1], fx), as the walk across and then down makes them before it
// goes down. Every destination row reads the same columns, and the rows of a magnification read
// the same source rows again: each row across is made once, eight columns a step by gathers, and
// kept while the destination rows read it; going down is then a step of eight pixels from two
// rows made already.
class RowsAcross {
 public:
  RowsAcross(int32_t width, const BilinearStep& step)
      : steps_((width + 7) / 8), columns_(static_cast<size_t>(steps_) * 8), weights_(columns_.size() * 4) {
    bilinear_walk::XPosition position(step);
    for (size_t i = 0; i < columns_.size(); ++i) {
      // Past the last column, the last one again: its pixels are read, never stored.
      if (i < static_cast<size_t>(width)) {
        columns_[i] = static_cast<int32_t>(position.Whole());
        std::fill_n(&weights_[i * 4], 4, static_cast<uint16_t>(position.Weight()));
        position.at += position.step;
      } else {
        columns_[i] = columns_[i - 1];
      }
    }
    // The last pixel any sample reads is the right neighbour of the rightmost column.
    const int32_t last_read = *std::ranges::max_element(columns_) + 1;
    for (int32_t k = 0; k < steps_; ++k) {
      const int32_t* eight = &columns_[static_cast<size_t>(k) * 8];
      near_.push_back(eight[7] >= eight[0] && eight[7] - eight[0] < 8 && eight[0] + 8 <= last_read);
    }
    for (MadeRow& row : rows_) row.lanes.resize(weights_.size());
  }

  // The lanes of the source row `line` interpolated across, made unless kept; `keep` is a row
  // that stays kept.
  const uint16_t* Across(const uint32_t* line, const uint32_t* keep) {
    for (const MadeRow& row : rows_) {
      if (row.line == line) return row.lanes.data();
    }
    MadeRow& row = rows_[0].line != keep ? rows_[0] : rows_[1];
    row.line = line;
    const auto* first = reinterpret_cast<const int*>(line);
    for (int32_t k = 0; k < steps_; ++k) {
      const int32_t* eight = &columns_[static_cast<size_t>(k) * 8];
      const __m256i columns = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(eight));
      __m256i left;
      __m256i right;
      if (near_[static_cast<size_t>(k)]) {
        // Eight columns within eight pixels (a magnification): two loads from the first and
        // the columns picked out of them, far cheaper than gathers.
        const __m256i picks = _mm256_sub_epi32(columns, _mm256_set1_epi32(eight[0]));
        left = _mm256_permutevar8x32_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(first + eight[0])), picks);
        right =
            _mm256_permutevar8x32_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(first + eight[0] + 1)), picks);
      } else {
        left = _mm256_i32gather_epi32(first, columns, 4);
        right = _mm256_i32gather_epi32(first + 1, columns, 4);
      }
      for (int half = 0; half < 2; ++half) {
        const size_t at = (static_cast<size_t>(k) * 8 + static_cast<size_t>(half) * 4) * 4;
        const __m256i weights = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(&weights_[at]));
        const __m256i across = weighted_oct::BlendLanes(Widen(left, half), Widen(right, half), weights);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(&row.lanes[at]), across);
      }
    }
    return row.lanes.data();
  }

  // A destination row from the rows across above and below it, by fy.
  void Down(uint32_t* to, int32_t width, const uint16_t* upper, const uint16_t* lower, uint32_t fy) const {
    const __m256i down = _mm256_set1_epi16(static_cast<short>(fy));
    const auto lanes = [](const uint16_t* row, size_t at) {
      return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + at));
    };
    for (int32_t k = 0; k < steps_; ++k) {
      const size_t at = static_cast<size_t>(k) * 32;
      const __m256i low = weighted_oct::BlendLanes(lanes(upper, at), lanes(lower, at), down);
      const __m256i high = weighted_oct::BlendLanes(lanes(upper, at + 16), lanes(lower, at + 16), down);
      // The pack interleaves the two halves' pixels: put back in order.
      const __m256i eight = _mm256_permute4x64_epi64(_mm256_packus_epi16(low, high), 0xD8);
      const int32_t left = width - k * 8;
      if (left >= 8) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(to + k * 8), eight);
      } else {
        alignas(32) uint32_t rest[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(rest), eight);
        std::copy_n(rest, left, to + k * 8);
      }
    }
  }

 private:
  struct MadeRow {
    const uint32_t* line = nullptr;
    std::vector<uint16_t> lanes;
  };

  // The four pixels of one half of eight in 16-bit lanes.
  static __m256i Widen(__m256i eight, int half) {
    return _mm256_cvtepu8_epi16(half == 0 ? _mm256_castsi256_si128(eight) : _mm256_extracti128_si256(eight, 1));
  }

  int32_t steps_;
  std::vector<int32_t> columns_;
  std::vector<uint16_t> weights_;
  // For each step of eight columns, whether they lie within eight pixels of the first and the
  // eight pixels from its right neighbour on are read by some sample.
  std::vector<bool> near_;
  std::array<MadeRow, 2> rows_;
};

}  // namespace

namespace avx2_kernels {

void Bilinear32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width, int32_t height,
                const BilinearStep& step) {
  if (width < 1) return;
  RowsAcross across(width, step);
  bilinear_walk::WalkBilinearRows(dst, src, dst_skip, src_pitch, width, height, step,
                                  [&](uint32_t* row, const uint32_t* top, const uint32_t* bottom, uint32_t fy) {
                                    const uint16_t* upper = across.Across(top, bottom);
                                    const uint16_t* lower = across.Across(bottom, top);
                                    across.Down(row, width, upper, lower, fy);
                                  });
}

void Bilinear8To32(uint32_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_pitch, const uint32_t* palette,
                   int32_t width, int32_t height, const BilinearStep& step) {
  WalkBilinearFour(dst, src, dst_skip, src_pitch, width, height, step, [palette](const uint8_t* line, intptr_t x) {
    return _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(palette[line[x]])),
                              _mm_cvtsi32_si128(static_cast<int>(palette[line[x + 1]])));
  });
}

}  // namespace avx2_kernels
