// The AVX2 form of the plain mapped copy (avx2_kernels.h): eight positions stepped in 64-bit
// lanes, their whole parts turned into byte offsets in 32-bit lanes, and the eight pixels read by
// one gather.

#include "pixel/kernels/avx2_kernels.h"

namespace {

// The high 32 bits of the four 64-bit lanes of a, then of b: the whole parts of eight positions.
__m256i WholeParts(__m256i a, __m256i b) {
  const __m256i odd_lanes = _mm256_setr_epi32(1, 3, 5, 7, 1, 3, 5, 7);
  return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm256_castsi256_si128(_mm256_permutevar8x32_epi32(a, odd_lanes))),
                                 _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(b, odd_lanes)), 1);
}

// Positions of eight neighbouring pixels, four in each of two registers, stepped together.
struct EightPositions {
  __m256i low;
  __m256i high;
  __m256i eight_steps;

  EightPositions(int64_t at, int64_t step)
      : low(_mm256_setr_epi64x(at, at + step, at + 2 * step, at + 3 * step)),
        high(_mm256_add_epi64(low, _mm256_set1_epi64x(4 * step))),
        eight_steps(_mm256_set1_epi64x(8 * step)) {}

  __m256i Whole() const { return WholeParts(low, high); }
  void Step() {
    low = _mm256_add_epi64(low, eight_steps);
    high = _mm256_add_epi64(high, eight_steps);
  }
};

}  // namespace

namespace avx2_kernels {

void CopyMappedRun(const MappedRun& run, const EvenRows& rows) {
  EightPositions u(run.u, run.du);
  EightPositions v(run.v, run.dv);
  const __m256i pitch = _mm256_set1_epi32(static_cast<int>(rows.pitch));
  const __m256i first = _mm256_set1_epi32(static_cast<int>(rows.first));
  const auto* base = reinterpret_cast<const int*>(rows.base);
  int64_t k = 0;
  for (; k + 8 <= run.count; k += 8) {
    const __m256i row_bytes = _mm256_mullo_epi32(_mm256_sub_epi32(v.Whole(), first), pitch);
    const __m256i offsets = _mm256_add_epi32(row_bytes, _mm256_slli_epi32(u.Whole(), 2));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(run.to + k), _mm256_i32gather_epi32(base, offsets, 1));
    u.Step();
    v.Step();
  }
  for (; k < run.count; ++k) run.to[k] = run.Sample(rows, k);
}

}  // namespace avx2_kernels
