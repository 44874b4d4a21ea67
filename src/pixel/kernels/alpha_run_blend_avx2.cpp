// The AVX2 forms of the alpha run blend's clear and opaque runs (alpha_run_blend.cpp), eight
// pixels per step.
#include <immintrin.h>

#include "pixel/kernels/avx2_kernels.h"

namespace {

constexpr int kColourBits = 0x00FFFFFF;

}  // namespace

namespace avx2_kernels {

int32_t ClearRun(uint32_t* d, int32_t count) {
  const __m256i colour_bits = _mm256_set1_epi32(kColourBits);
  const __m256i alpha_bits = _mm256_set1_epi32(static_cast<int>(0xFF000000));
  int32_t x = 0;
  for (; x + 8 <= count; x += 8) {
    auto* at = reinterpret_cast<__m256i*>(d + x);
    const __m256i eight = _mm256_loadu_si256(at);
    if (_mm256_testz_si256(eight, alpha_bits) == 0) _mm256_storeu_si256(at, _mm256_and_si256(eight, colour_bits));
  }
  return x;
}

int32_t OpaqueRun(uint32_t* d, const uint32_t* s, int32_t count) {
  const __m256i colour_bits = _mm256_set1_epi32(kColourBits);
  int32_t x = 0;
  for (; x + 16 <= count; x += 16) {
    const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + x));
    const __m256i second = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + x + 8));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + x), _mm256_and_si256(first, colour_bits));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + x + 8), _mm256_and_si256(second, colour_bits));
  }
  for (; x + 8 <= count; x += 8) {
    const __m256i eight = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + x));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + x), _mm256_and_si256(eight, colour_bits));
  }
  return x;
}

}  // namespace avx2_kernels
