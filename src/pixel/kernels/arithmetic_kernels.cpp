#include "pixel/kernels/arithmetic_kernels.h"

#include "pixel/kernels/avx2_kernels.h"
#include "pixel/kernels/kernel_walk.h"
#include "pixel/kernels/pixel_kernel_choice.h"
#include "pixel/kernels/saturating_pixel.h"

using kernel_walk::Keyed32;
using kernel_walk::ScalarKernel;
using kernel_walk::VectorKernel;
using kernel_walk::Walk;
using saturating_pixel::AddSatPixel;
using saturating_pixel::AddSatQuad;
using saturating_pixel::SubSatPixel;
using saturating_pixel::SubSatQuad;

namespace {

struct AveragePixel {
  uint32_t One(uint32_t d, uint32_t s) const { return (s & d) + (((s ^ d) >> 1) & 0x007F7F7F); }
};

struct AverageQuad {
  __m128i Four(__m128i d, __m128i s) const {
    const __m128i halves =
        _mm_and_si128(_mm_srli_epi32(_mm_xor_si128(s, d), 1), _mm_set1_epi32(0x007F7F7F));
    return _mm_add_epi32(_mm_and_si128(s, d), halves);
  }
};

}  // namespace

void Average32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
               int32_t width, int32_t height) {
  ScalarKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr,
                               AveragePixel{});
}

void Average32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                      int32_t width, int32_t height, const StretchStep& step) {
  ScalarKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, AveragePixel{});
}

void Average32Key(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                  int32_t width, int32_t height, uint32_t key) {
  ScalarKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr,
                               Keyed32(AveragePixel{}, key));
}

void Average32StretchKey(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                         int32_t width, int32_t height, const StretchStep& step, uint32_t key) {
  ScalarKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step,
                               Keyed32(AveragePixel{}, key));
}

void Average32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                  int32_t width, int32_t height) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::ModeBlend32<avx2_kernels::Mode::kAverage, Walk::kForward>(dst, src, dst_skip, src_skip, width,
                                                                                   height, nullptr);
  }
  VectorKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, AverageQuad{});
}

void Average32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                         int32_t width, int32_t height, const StretchStep& step) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::ModeBlend32<avx2_kernels::Mode::kAverage, Walk::kStretch>(dst, src, dst_skip, src_pitch, width,
                                                                                   height, &step);
  }
  VectorKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, AverageQuad{});
}

void Average32KeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                     int32_t width, int32_t height, uint32_t key) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::ModeBlend32Key<avx2_kernels::Mode::kAverage, Walk::kForward>(dst, src, dst_skip, src_skip,
                                                                                      width, height, nullptr, key);
  }
  VectorKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr,
                               Keyed32(AverageQuad{}, key));
}

void Average32StretchKeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                            int32_t width, int32_t height, const StretchStep& step, uint32_t key) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::ModeBlend32Key<avx2_kernels::Mode::kAverage, Walk::kStretch>(dst, src, dst_skip, src_pitch,
                                                                                      width, height, &step, key);
  }
  VectorKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step,
                               Keyed32(AverageQuad{}, key));
}

void AddSat32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
              int32_t height) {
  ScalarKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, AddSatPixel{});
}

void AddSat32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                     int32_t width, int32_t height, const StretchStep& step) {
  ScalarKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, AddSatPixel{});
}

void AddSat32Key(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                 int32_t width, int32_t height, uint32_t key) {
  ScalarKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr,
                               Keyed32(AddSatPixel{}, key));
}

void AddSat32StretchKey(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                        int32_t width, int32_t height, const StretchStep& step, uint32_t key) {
  ScalarKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step,
                               Keyed32(AddSatPixel{}, key));
}

void AddSat32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                 int32_t width, int32_t height) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::ModeBlend32<avx2_kernels::Mode::kAdd, Walk::kForward>(dst, src, dst_skip, src_skip, width,
                                                                               height, nullptr);
  }
  VectorKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, AddSatQuad{});
}

void AddSat32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                        int32_t width, int32_t height, const StretchStep& step) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::ModeBlend32<avx2_kernels::Mode::kAdd, Walk::kStretch>(dst, src, dst_skip, src_pitch, width,
                                                                               height, &step);
  }
  VectorKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, AddSatQuad{});
}

void AddSat32KeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                    int32_t width, int32_t height, uint32_t key) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::ModeBlend32Key<avx2_kernels::Mode::kAdd, Walk::kForward>(dst, src, dst_skip, src_skip, width,
                                                                                  height, nullptr, key);
  }
  VectorKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr,
                               Keyed32(AddSatQuad{}, key));
}

void AddSat32StretchKeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                           int32_t width, int32_t height, const StretchStep& step, uint32_t key) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::ModeBlend32Key<avx2_kernels::Mode::kAdd, Walk::kStretch>(dst, src, dst_skip, src_pitch, width,
                                                                                  height, &step, key);
  }
  VectorKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step,
                               Keyed32(AddSatQuad{}, key));
}

void SubSat32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
              int32_t height) {
  ScalarKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, SubSatPixel{});
}

void SubSat32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                     int32_t width, int32_t height, const StretchStep& step) {
  ScalarKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, SubSatPixel{});
}

void SubSat32Key(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                 int32_t width, int32_t height, uint32_t key) {
  ScalarKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr,
                               Keyed32(SubSatPixel{}, key));
}

void SubSat32StretchKey(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                        int32_t width, int32_t height, const StretchStep& step, uint32_t key) {
  ScalarKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step,
                               Keyed32(SubSatPixel{}, key));
}

void SubSat32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                 int32_t width, int32_t height) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::ModeBlend32<avx2_kernels::Mode::kSubtract, Walk::kForward>(dst, src, dst_skip, src_skip, width,
                                                                                    height, nullptr);
  }
  VectorKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, SubSatQuad{});
}

void SubSat32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                        int32_t width, int32_t height, const StretchStep& step) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::ModeBlend32<avx2_kernels::Mode::kSubtract, Walk::kStretch>(dst, src, dst_skip, src_pitch,
                                                                                    width, height, &step);
  }
  VectorKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, SubSatQuad{});
}

void SubSat32KeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                    int32_t width, int32_t height, uint32_t key) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::ModeBlend32Key<avx2_kernels::Mode::kSubtract, Walk::kForward>(dst, src, dst_skip, src_skip,
                                                                                       width, height, nullptr, key);
  }
  VectorKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr,
                               Keyed32(SubSatQuad{}, key));
}

void SubSat32StretchKeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                           int32_t width, int32_t height, const StretchStep& step, uint32_t key) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::ModeBlend32Key<avx2_kernels::Mode::kSubtract, Walk::kStretch>(dst, src, dst_skip, src_pitch,
                                                                                       width, height, &step, key);
  }
  VectorKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step,
                               Keyed32(SubSatQuad{}, key));
}
