// The AVX2 forms of the average, saturating add and saturating subtract (avx2_kernels.h).
#include "pixel/kernels/avx2_kernels.h"

using kernel_walk::Keyed32;
using kernel_walk::VectorKernel;

namespace {

using avx2_kernels::Mode;

template <Mode kMode>
struct ModeOct {
  __m256i Eight(__m256i d, __m256i s) const {
    if constexpr (kMode == Mode::kAdd) return _mm256_adds_epu8(d, s);
    if constexpr (kMode == Mode::kSubtract) return _mm256_subs_epu8(d, s);
    if constexpr (kMode == Mode::kAverage) {
      const __m256i halves =
          _mm256_and_si256(_mm256_srli_epi32(_mm256_xor_si256(s, d), 1), _mm256_set1_epi32(0x007F7F7F));
      return _mm256_add_epi32(_mm256_and_si256(s, d), halves);
    }
  }
};

}  // namespace

namespace avx2_kernels {

template <Mode kMode, Walk kWalk>
void ModeBlend32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width,
                 int32_t height, const StretchStep* step) {
  VectorKernel<kWalk>(dst, src, dst_skip, src_rows, width, height, step, ModeOct<kMode>{});
}

template <Mode kMode, Walk kWalk>
void ModeBlend32Key(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width,
                    int32_t height, const StretchStep* step, uint32_t key) {
  VectorKernel<kWalk>(dst, src, dst_skip, src_rows, width, height, step, Keyed32(ModeOct<kMode>{}, key));
}

#define KESTRUNE_MODE_BLEND(mode, walk)                                                                 \
  template void ModeBlend32<mode, walk>(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t, \
                                        const StretchStep*);                                            \
  template void ModeBlend32Key<mode, walk>(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t, \
                                           const StretchStep*, uint32_t);
KESTRUNE_MODE_BLEND(Mode::kAverage, Walk::kForward)
KESTRUNE_MODE_BLEND(Mode::kAverage, Walk::kStretch)
KESTRUNE_MODE_BLEND(Mode::kAdd, Walk::kForward)
KESTRUNE_MODE_BLEND(Mode::kAdd, Walk::kStretch)
KESTRUNE_MODE_BLEND(Mode::kSubtract, Walk::kForward)
KESTRUNE_MODE_BLEND(Mode::kSubtract, Walk::kStretch)
#undef KESTRUNE_MODE_BLEND

}  // namespace avx2_kernels
