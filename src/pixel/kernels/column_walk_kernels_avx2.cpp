// The AVX2 form of the column walks (column_walk_kernels.h): eight columns in the lanes, a row
// of them read by one gather and written by one masked store.

#include <immintrin.h>

#include <algorithm>

#include "pixel/kernels/column_walk_kernels.h"

namespace avx2_kernels {

namespace {

// A field of the eight walks in the lanes.
template <typename Field>
__m256i Lanes(std::span<const ColumnWalk, 8> walks, Field&& field) {
  alignas(32) int32_t values[8];
  for (size_t k = 0; k < 8; ++k) values[k] = static_cast<int32_t>(field(walks[k]));
  return _mm256_load_si256(reinterpret_cast<const __m256i*>(values));
}

}  // namespace

void WalkEightColumns32(uint32_t* row, intptr_t dst_stride, const uint32_t* src, intptr_t src_stride,
                        std::span<ColumnWalk, 8> walks, int32_t first_row, int32_t end_row) {
  const std::span<const ColumnWalk, 8> read(walks);
  const __m256i top = Lanes(read, [](const ColumnWalk& walk) { return walk.top; });
  const __m256i bottom = Lanes(read, [](const ColumnWalk& walk) { return walk.bottom; });
  const __m256i remainder = Lanes(read, [](const ColumnWalk& walk) { return walk.step.yRem; });
  const __m256i denominator = Lanes(read, [](const ColumnWalk& walk) { return walk.step.yDen; });
  const __m256i step = Lanes(read, [&](const ColumnWalk& walk) { return intptr_t{walk.step.yStep} * src_stride; });
  const __m256i stride = _mm256_set1_epi32(static_cast<int32_t>(src_stride));
  // Unsigned order is signed order with the top bit turned over.
  const __m256i sign = _mm256_set1_epi32(INT32_MIN);
  __m256i acc = Lanes(read, [](const ColumnWalk& walk) { return walk.acc; });
  __m256i from = Lanes(read, [](const ColumnWalk& walk) { return walk.from; });
  // Rows through which every walk goes take no masks.
  const auto walk_rows = [&]<bool kEveryLane>() {
    for (int32_t y = first_row; y < end_row; ++y, row += dst_stride) {
      const auto* pixel = reinterpret_cast<const int*>(src);
      __m256i walking;
      if constexpr (kEveryLane) {
        walking = _mm256_set1_epi32(-1);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(row), _mm256_i32gather_epi32(pixel, from, 4));
      } else {
        const __m256i here = _mm256_set1_epi32(y);
        walking = _mm256_andnot_si256(_mm256_cmpgt_epi32(top, here), _mm256_cmpgt_epi32(bottom, here));
        const __m256i pixels = _mm256_mask_i32gather_epi32(_mm256_setzero_si256(), pixel, from, walking, 4);
        _mm256_maskstore_epi32(reinterpret_cast<int*>(row), walking, pixels);
      }
      const __m256i raised = _mm256_add_epi32(acc, remainder);
      const __m256i carry = _mm256_cmpgt_epi32(_mm256_xor_si256(acc, sign), _mm256_xor_si256(raised, sign));
      acc = _mm256_blendv_epi8(acc, _mm256_sub_epi32(raised, _mm256_and_si256(denominator, carry)), walking);
      from = _mm256_add_epi32(from, _mm256_and_si256(_mm256_add_epi32(step, _mm256_and_si256(stride, carry)), walking));
    }
  };
  const bool every_lane = std::ranges::all_of(
      walks, [&](const ColumnWalk& walk) { return walk.top <= first_row && walk.bottom >= end_row; });
  if (every_lane) {
    walk_rows.operator()<true>();
  } else {
    walk_rows.operator()<false>();
  }
  alignas(32) int32_t accs[8];
  alignas(32) int32_t froms[8];
  _mm256_store_si256(reinterpret_cast<__m256i*>(accs), acc);
  _mm256_store_si256(reinterpret_cast<__m256i*>(froms), from);
  for (size_t k = 0; k < 8; ++k) {
    walks[k].acc = static_cast<uint32_t>(accs[k]);
    walks[k].from = froms[k];
  }
}

}  // namespace avx2_kernels
