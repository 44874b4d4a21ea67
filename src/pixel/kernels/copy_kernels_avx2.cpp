// The AVX2 forms of the 32-bit copies (avx2_kernels.h).

#include "pixel/kernels/avx2_kernels.h"

using kernel_walk::Keyed32;
using kernel_walk::VectorKernel;

namespace {

struct CopyOct {
  __m256i Eight(__m256i, __m256i s) const { return s; }
};

struct MaskedOct {
  __m256i from_source;
  explicit MaskedOct(uint32_t bits) : from_source(_mm256_set1_epi32(static_cast<int>(bits))) {}
  __m256i Eight(__m256i d, __m256i s) const { return _mm256_blendv_epi8(d, s, from_source); }
};

}  // namespace

namespace avx2_kernels {

// A forward row is one block of bytes: the C library's block move, written for this processor
// family with whole-line stores, beats a loop of vector stores.
template <Walk kWalk>
void Copy32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width, int32_t height,
            const StretchStep* step) {
  VectorKernel<kWalk>(dst, src, dst_skip, src_rows, width, height, step, CopyOct{});
}

// Eight pixels a store; a row's last few through one masked store.
void Fill32(uint32_t* dst, int32_t skip, int32_t width, int32_t height, uint32_t value) {
  const __m256i eight = _mm256_set1_epi32(static_cast<int>(value));
  const __m256i rest = _mm256_cmpgt_epi32(_mm256_set1_epi32(width & 7), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
  kernel_walk::ForEachRow(dst, skip, width, height, [&](uint32_t* row) {
    int32_t x = 0;
    for (; x + 8 <= width; x += 8) _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + x), eight);
    if (x < width) _mm256_maskstore_epi32(reinterpret_cast<int*>(row + x), rest, eight);
  });
}

template <Walk kWalk>
void CopyMasked32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width,
                  int32_t height, const StretchStep* step, uint32_t from_source) {
  VectorKernel<kWalk>(dst, src, dst_skip, src_rows, width, height, step, MaskedOct(from_source));
}

template <Walk kWalk>
void CopyMasked32Key(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width,
                     int32_t height, const StretchStep* step, uint32_t from_source, uint32_t key) {
  VectorKernel<kWalk>(dst, src, dst_skip, src_rows, width, height, step, Keyed32(MaskedOct(from_source), key));
}

template void Copy32<Walk::kMirror>(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t,
                                    const StretchStep*);
template void Copy32<Walk::kStretch>(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t,
                                     const StretchStep*);
template void Copy32<Walk::kMirrorStretch>(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t,
                                           const StretchStep*);
template void CopyMasked32<Walk::kForward>(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t,
                                           const StretchStep*, uint32_t);
template void CopyMasked32<Walk::kStretch>(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t,
                                           const StretchStep*, uint32_t);
template void CopyMasked32Key<Walk::kMirror>(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t,
                                             const StretchStep*, uint32_t, uint32_t);
template void CopyMasked32Key<Walk::kMirrorStretch>(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t,
                                                    const StretchStep*, uint32_t, uint32_t);
template void CopyMasked32Key<Walk::kForward>(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t,
                                              const StretchStep*, uint32_t, uint32_t);
template void CopyMasked32Key<Walk::kStretch>(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t,
                                              const StretchStep*, uint32_t, uint32_t);

}  // namespace avx2_kernels
