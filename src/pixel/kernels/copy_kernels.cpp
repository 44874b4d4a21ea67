#include "pixel/kernels/copy_kernels.h"

#include "pixel/kernels/avx2_kernels.h"
#include "pixel/kernels/kernel_walk.h"
#include "pixel/kernels/pixel_kernel_choice.h"

using kernel_walk::Keyed32;
using kernel_walk::KeyedOp;
using kernel_walk::ScalarKernel;
using kernel_walk::VectorKernel;
using kernel_walk::Walk;

namespace {

constexpr uint32_t kColourBits = 0x00FFFFFF;
constexpr uint32_t kAlphaBits = 0xFF000000;
constexpr uint32_t kAllBits = 0xFFFFFFFF;

template <typename T>
struct CopyOp {
  T One(T, T s) const { return s; }
  __m128i Four(__m128i, __m128i s) const { return s; }
};

// Takes the bits of the mask from the source and the others from the destination.
struct MaskedOp {
  uint32_t from_source;
  uint32_t One(uint32_t d, uint32_t s) const { return (s & from_source) | (d & ~from_source); }
  __m128i Four(__m128i d, __m128i s) const {
    return kernel_walk::Select(kernel_walk::Wide(~from_source), d, s);
  }
};

struct PaletteOp {
  const uint32_t* palette;
  uint32_t One(uint32_t, uint8_t s) const { return palette[s]; }
};

struct BytesToAlphaOp {
  uint32_t One(uint32_t d, uint8_t s) const { return (uint32_t{s} << 24) | (d & kColourBits); }
};

struct AlphaToBytesOp {
  uint8_t One(uint8_t, uint32_t s) const { return static_cast<uint8_t>(s >> 24); }
};

// floor(x / 255) for 0 <= x <= 65025, without a division.
uint32_t DivideBy255(uint32_t x) { return (x + 1 + (x >> 8)) >> 8; }

struct MergeIntoAlphaOp {
  uint32_t One(uint32_t d, uint8_t s) const {
    const uint32_t alpha = 255 - DivideBy255((255 - (d >> 24)) * (255u - s));
    return (alpha << 24) | (d & kColourBits);
  }
};

template <typename Op>
KeyedOp<Op, uint8_t> Keyed8(Op op, uint32_t key) {
  return KeyedOp<Op, uint8_t>{op, static_cast<uint8_t>(key & 0xFF)};
}

const MaskedOp kRgbOp{kColourBits};
const MaskedOp kAlphaOp{kAlphaBits};

}  // namespace

void Copy32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width, int32_t height) {
  ScalarKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, CopyOp<uint32_t>{});
}

void Copy32Key(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width, int32_t height,
               uint32_t key) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::CopyMasked32Key<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, kAllBits,
                                                         key);
  }
  ScalarKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr,
                               Keyed32(CopyOp<uint32_t>{}, key));
}

// The vector member's plain copy has no AVX2 form: on a whole screen the copy runs at the memory's
// speed either way, and on rows in cache 32-byte steps were slower than 16-byte ones.
void Copy32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width, int32_t height) {
  VectorKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, CopyOp<uint32_t>{});
}

void Copy32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                   int32_t height, const StretchStep& step) {
  ScalarKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, CopyOp<uint32_t>{});
}

void Copy32StretchKey(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                      int32_t height, const StretchStep& step, uint32_t key) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::CopyMasked32Key<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, kAllBits,
                                                         key);
  }
  ScalarKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, Keyed32(CopyOp<uint32_t>{}, key));
}

void Copy32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                      int32_t height, const StretchStep& step) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::Copy32<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step);
  }
  VectorKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, CopyOp<uint32_t>{});
}

void Copy32Mirror(uint32_t* dst, const uint32_t* src_end, int32_t dst_skip, int32_t src_skip, int32_t width,
                  int32_t height) {
  ScalarKernel<Walk::kMirror>(dst, src_end, dst_skip, src_skip, width, height, nullptr, CopyOp<uint32_t>{});
}

void Copy32MirrorKey(uint32_t* dst, const uint32_t* src_end, int32_t dst_skip, int32_t src_skip, int32_t width,
                     int32_t height, uint32_t key) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::CopyMasked32Key<Walk::kMirror>(dst, src_end, dst_skip, src_skip, width, height, nullptr,
                                                        kAllBits, key);
  }
  ScalarKernel<Walk::kMirror>(dst, src_end, dst_skip, src_skip, width, height, nullptr,
                              Keyed32(CopyOp<uint32_t>{}, key));
}

void Copy32MirrorMmx(uint32_t* dst, const uint32_t* src_end, int32_t dst_skip, int32_t src_skip, int32_t width,
                     int32_t height) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::Copy32<Walk::kMirror>(dst, src_end, dst_skip, src_skip, width, height, nullptr);
  }
  VectorKernel<Walk::kMirror>(dst, src_end, dst_skip, src_skip, width, height, nullptr, CopyOp<uint32_t>{});
}

void Copy32MirrorStretch(uint32_t* dst, const uint32_t* src_end, int32_t dst_skip, int32_t src_pitch, int32_t width,
                         int32_t height, const StretchStep& step) {
  ScalarKernel<Walk::kMirrorStretch>(dst, src_end, dst_skip, src_pitch, width, height, &step, CopyOp<uint32_t>{});
}

void Copy32MirrorStretchKey(uint32_t* dst, const uint32_t* src_end, int32_t dst_skip, int32_t src_pitch,
                            int32_t width, int32_t height, const StretchStep& step, uint32_t key) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::CopyMasked32Key<Walk::kMirrorStretch>(dst, src_end, dst_skip, src_pitch, width, height, &step,
                                                               kAllBits, key);
  }
  ScalarKernel<Walk::kMirrorStretch>(dst, src_end, dst_skip, src_pitch, width, height, &step,
                                     Keyed32(CopyOp<uint32_t>{}, key));
}

void Copy32MirrorStretchMmx(uint32_t* dst, const uint32_t* src_end, int32_t dst_skip, int32_t src_pitch,
                            int32_t width, int32_t height, const StretchStep& step) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::Copy32<Walk::kMirrorStretch>(dst, src_end, dst_skip, src_pitch, width, height, &step);
  }
  VectorKernel<Walk::kMirrorStretch>(dst, src_end, dst_skip, src_pitch, width, height, &step, CopyOp<uint32_t>{});
}

void Copy8To32(uint32_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_skip, int32_t width, int32_t height,
               const uint32_t* palette) {
  ScalarKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, PaletteOp{palette});
}

void Copy8To32Key(uint32_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                  int32_t height, const uint32_t* palette, uint32_t key) {
  ScalarKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, Keyed8(PaletteOp{palette}, key));
}

void Copy8To32Stretch(uint32_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                      int32_t height, const StretchStep& step, const uint32_t* palette) {
  ScalarKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, PaletteOp{palette});
}

void Copy8To32StretchKey(uint32_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                         int32_t height, const StretchStep& step, const uint32_t* palette, uint32_t key) {
  ScalarKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, Keyed8(PaletteOp{palette}, key));
}

void Copy8To32Mirror(uint32_t* dst, const uint8_t* src_end, int32_t dst_skip, int32_t src_skip, int32_t width,
                     int32_t height, const uint32_t* palette) {
  ScalarKernel<Walk::kMirror>(dst, src_end, dst_skip, src_skip, width, height, nullptr, PaletteOp{palette});
}

void Copy8To32MirrorKey(uint32_t* dst, const uint8_t* src_end, int32_t dst_skip, int32_t src_skip, int32_t width,
                        int32_t height, const uint32_t* palette, uint32_t key) {
  ScalarKernel<Walk::kMirror>(dst, src_end, dst_skip, src_skip, width, height, nullptr,
                              Keyed8(PaletteOp{palette}, key));
}

void Copy8To32MirrorStretch(uint32_t* dst, const uint8_t* src_end, int32_t dst_skip, int32_t src_pitch,
                            int32_t width, int32_t height, const StretchStep& step, const uint32_t* palette) {
  ScalarKernel<Walk::kMirrorStretch>(dst, src_end, dst_skip, src_pitch, width, height, &step, PaletteOp{palette});
}

void Copy8To32MirrorStretchKey(uint32_t* dst, const uint8_t* src_end, int32_t dst_skip, int32_t src_pitch,
                               int32_t width, int32_t height, const StretchStep& step, const uint32_t* palette,
                               uint32_t key) {
  ScalarKernel<Walk::kMirrorStretch>(dst, src_end, dst_skip, src_pitch, width, height, &step,
                                     Keyed8(PaletteOp{palette}, key));
}

namespace {

// A negative direction reads to the left from the rightmost pixel, which is the mirrored walk
// from the position just past it.
template <typename Op>
void Copy8ByDirection(uint8_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_skip, int32_t direction,
                      int32_t width, int32_t height, Op op) {
  if (direction < 0) {
    ScalarKernel<Walk::kMirror>(dst, src + 1, dst_skip, src_skip, width, height, nullptr, op);
  } else {
    ScalarKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, op);
  }
}

}  // namespace

void Copy8(uint8_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_skip, int32_t direction, int32_t width,
           int32_t height) {
  Copy8ByDirection(dst, src, dst_skip, src_skip, direction, width, height, CopyOp<uint8_t>{});
}

void Copy8Key(uint8_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_skip, int32_t direction, int32_t width,
              int32_t height, uint32_t key) {
  Copy8ByDirection(dst, src, dst_skip, src_skip, direction, width, height, Keyed8(CopyOp<uint8_t>{}, key));
}

void Copy8Stretch(uint8_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                  int32_t height, const StretchStep& step) {
  ScalarKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, CopyOp<uint8_t>{});
}

void Copy8StretchKey(uint8_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                     int32_t height, const StretchStep& step, uint32_t key) {
  ScalarKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, Keyed8(CopyOp<uint8_t>{}, key));
}

void Copy8MirrorStretch(uint8_t* dst, const uint8_t* src_end, int32_t dst_skip, int32_t src_pitch, int32_t width,
                        int32_t height, const StretchStep& step) {
  ScalarKernel<Walk::kMirrorStretch>(dst, src_end, dst_skip, src_pitch, width, height, &step, CopyOp<uint8_t>{});
}

void Copy8MirrorStretchKey(uint8_t* dst, const uint8_t* src_end, int32_t dst_skip, int32_t src_pitch, int32_t width,
                           int32_t height, const StretchStep& step, uint32_t key) {
  ScalarKernel<Walk::kMirrorStretch>(dst, src_end, dst_skip, src_pitch, width, height, &step,
                                     Keyed8(CopyOp<uint8_t>{}, key));
}

void CopyRgb32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width, int32_t height) {
  ScalarKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, kRgbOp);
}

void CopyRgb32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                  int32_t height) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::CopyMasked32<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr,
                                                      kColourBits);
  }
  VectorKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, kRgbOp);
}

void CopyRgb32Key(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                  int32_t height, uint32_t key) {
  ScalarKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, Keyed32(kRgbOp, key));
}

void CopyRgb32KeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                     int32_t height, uint32_t key) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::CopyMasked32Key<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr,
                                                         kColourBits, key);
  }
  VectorKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, Keyed32(kRgbOp, key));
}

void CopyRgb32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                      int32_t height, const StretchStep& step) {
  ScalarKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, kRgbOp);
}

void CopyRgb32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                         int32_t height, const StretchStep& step) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::CopyMasked32<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, kColourBits);
  }
  VectorKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, kRgbOp);
}

void CopyRgb32StretchKey(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                         int32_t height, const StretchStep& step, uint32_t key) {
  ScalarKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, Keyed32(kRgbOp, key));
}

void CopyRgb32StretchKeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                            int32_t height, const StretchStep& step, uint32_t key) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::CopyMasked32Key<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step,
                                                         kColourBits, key);
  }
  VectorKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, Keyed32(kRgbOp, key));
}

void CopyAlpha32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                 int32_t height) {
  ScalarKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, kAlphaOp);
}

void CopyAlpha32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                    int32_t height) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::CopyMasked32<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, kAlphaBits);
  }
  VectorKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, kAlphaOp);
}

void CopyAlpha32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                        int32_t height, const StretchStep& step) {
  ScalarKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, kAlphaOp);
}

void CopyAlpha32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                           int32_t height, const StretchStep& step) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::CopyMasked32<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, kAlphaBits);
  }
  VectorKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, kAlphaOp);
}

void CopyBytesToAlpha(uint32_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                      int32_t height) {
  ScalarKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, BytesToAlphaOp{});
}

void CopyBytesToAlphaStretch(uint32_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                             int32_t height, const StretchStep& step) {
  ScalarKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, BytesToAlphaOp{});
}

void CopyBytesToAlphaMirror(uint32_t* dst, const uint8_t* src_end, int32_t dst_skip, int32_t src_skip, int32_t width,
                            int32_t height) {
  ScalarKernel<Walk::kMirror>(dst, src_end, dst_skip, src_skip, width, height, nullptr, BytesToAlphaOp{});
}

void CopyBytesToAlphaMirrorStretch(uint32_t* dst, const uint8_t* src_end, int32_t dst_skip, int32_t src_pitch,
                                   int32_t width, int32_t height, const StretchStep& step) {
  ScalarKernel<Walk::kMirrorStretch>(dst, src_end, dst_skip, src_pitch, width, height, &step, BytesToAlphaOp{});
}

void CopyAlphaToBytes(uint8_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                      int32_t height) {
  ScalarKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, AlphaToBytesOp{});
}

void CopyAlphaToBytesStretch(uint8_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                             int32_t height, const StretchStep& step) {
  ScalarKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, AlphaToBytesOp{});
}

void CopyAlphaToBytesMirror(uint8_t* dst, const uint32_t* src_end, int32_t dst_skip, int32_t src_skip, int32_t width,
                            int32_t height) {
  ScalarKernel<Walk::kMirror>(dst, src_end, dst_skip, src_skip, width, height, nullptr, AlphaToBytesOp{});
}

void CopyAlphaToBytesMirrorStretch(uint8_t* dst, const uint32_t* src_end, int32_t dst_skip, int32_t src_pitch,
                                   int32_t width, int32_t height, const StretchStep& step) {
  ScalarKernel<Walk::kMirrorStretch>(dst, src_end, dst_skip, src_pitch, width, height, &step, AlphaToBytesOp{});
}

void MergeBytesIntoAlpha(uint32_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                         int32_t height) {
  ScalarKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, MergeIntoAlphaOp{});
}

void Fill32(uint32_t* dst, int32_t skip, int32_t width, int32_t height, uint32_t value) {
  kernel_walk::ForEachRow(dst, skip, width, height, [&](uint32_t* row) {
    for (int32_t x = 0; x < width; ++x) row[x] = value;
  });
}

void Fill32Mmx(uint32_t* dst, int32_t skip, int32_t width, int32_t height, uint32_t value) {
  if (g_CpuHasAvx2 != 0) return avx2_kernels::Fill32(dst, skip, width, height, value);
  const __m128i four = _mm_set1_epi32(static_cast<int>(value));
  kernel_walk::ForEachRow(dst, skip, width, height, [&](uint32_t* row) {
    int32_t x = 0;
    for (; x < (width & 3); ++x) row[x] = value;
    for (; x < width; x += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x), four);
  });
}

void SetRgb32(uint32_t* dst, int32_t skip, int32_t width, int32_t height, uint32_t rgb) {
  kernel_walk::ForEachRow(dst, skip, width, height, [&](uint32_t* row) {
    for (int32_t x = 0; x < width; ++x) row[x] = kRgbOp.One(row[x], rgb);
  });
}

void SetRgb32Mmx(uint32_t* dst, int32_t skip, int32_t width, int32_t height, uint32_t rgb) {
  const __m128i colour = kernel_walk::Wide(rgb);
  kernel_walk::ForEachRow(dst, skip, width, height, [&](uint32_t* row) {
    int32_t x = 0;
    for (; x < (width & 3); ++x) row[x] = kRgbOp.One(row[x], rgb);
    for (; x < width; x += 4) {
      auto* four = reinterpret_cast<__m128i*>(row + x);
      _mm_storeu_si128(four, kRgbOp.Four(_mm_loadu_si128(four), colour));
    }
  });
}
