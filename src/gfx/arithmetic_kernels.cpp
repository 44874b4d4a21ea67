#include "gfx/arithmetic_kernels.h"

#include "gfx/pixel_row_walk.h"

using namespace pixel_rows;

namespace {

// 0xFF in each colour byte of a + b that carries out of its byte, found without adding across
// bytes.
uint32_t ColourCarryMask(uint32_t a, uint32_t b) {
  const uint32_t carries = ((a & b) * 2 + ((a & 0xFEFEFE) ^ (b & 0xFEFEFE))) & 0x1010100;
  return ((carries >> 8) + 0x7F7F7F) ^ 0x7F7F7F;
}

struct AveragePixel {
  uint32_t operator()(uint32_t d, uint32_t s) const {
    return (s & d) + (((s ^ d) >> 1) & 0x007F7F7F);
  }
};

struct AddSatPixel {
  uint32_t operator()(uint32_t d, uint32_t s) const {
    const uint32_t overflow = ColourCarryMask(s, d);
    return (s + d - overflow) | overflow;
  }
};

// A byte of the mask is 0xFF where the source byte is greater than the destination byte.
struct SubSatPixel {
  uint32_t operator()(uint32_t d, uint32_t s) const {
    const uint32_t underflow = ColourCarryMask(s, ~d);
    return (d | underflow) - (s | underflow);
  }
};

struct AverageQuad {
  __m128i operator()(__m128i d, __m128i s) const {
    const __m128i halves =
        _mm_and_si128(_mm_srli_epi32(_mm_xor_si128(s, d), 1), _mm_set1_epi32(0x007F7F7F));
    return _mm_add_epi32(_mm_and_si128(s, d), halves);
  }
};

struct AddSatQuad {
  __m128i operator()(__m128i d, __m128i s) const { return _mm_adds_epu8(d, s); }
};

struct SubSatQuad {
  __m128i operator()(__m128i d, __m128i s) const { return _mm_subs_epu8(d, s); }
};

}  // namespace

void Average32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
               int32_t width, int32_t height) {
  WalkRows(dst, src, dst_skip, src_skip, width, height, PortableRow<AveragePixel>{});
}

void Average32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                      int32_t width, int32_t height, const StretchStep& step) {
  WalkRowsStretched<false>(dst, src, dst_skip, src_pitch, width, height, step,
                           PortableRow<AveragePixel>{});
}

void Average32Key(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                  int32_t width, int32_t height, uint32_t key) {
  WalkRows(dst, src, dst_skip, src_skip, width, height, PortableKeyedRow<AveragePixel>{{}, key});
}

void Average32StretchKey(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                         int32_t width, int32_t height, const StretchStep& step, uint32_t key) {
  WalkRowsStretched<false>(dst, src, dst_skip, src_pitch, width, height, step,
                           PortableKeyedRow<AveragePixel>{{}, key});
}

void Average32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                  int32_t width, int32_t height) {
  WalkRows(dst, src, dst_skip, src_skip, width, height, VectorRow<AverageQuad>{});
}

void Average32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                         int32_t width, int32_t height, const StretchStep& step) {
  WalkRowsStretched<false>(dst, src, dst_skip, src_pitch, width, height, step,
                           VectorRow<AverageQuad>{});
}

void Average32KeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                     int32_t width, int32_t height, uint32_t key) {
  WalkRows(dst, src, dst_skip, src_skip, width, height, VectorKeyedRow<AverageQuad>{{}, key});
}

void Average32StretchKeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                            int32_t width, int32_t height, const StretchStep& step, uint32_t key) {
  WalkRowsStretched<false>(dst, src, dst_skip, src_pitch, width, height, step,
                           VectorKeyedRow<AverageQuad>{{}, key});
}

void AddSat32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
              int32_t height) {
  WalkRows(dst, src, dst_skip, src_skip, width, height, PortableRow<AddSatPixel>{});
}

void AddSat32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                     int32_t width, int32_t height, const StretchStep& step) {
  WalkRowsStretched<false>(dst, src, dst_skip, src_pitch, width, height, step,
                           PortableRow<AddSatPixel>{});
}

void AddSat32Key(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                 int32_t width, int32_t height, uint32_t key) {
  WalkRows(dst, src, dst_skip, src_skip, width, height, PortableKeyedRow<AddSatPixel>{{}, key});
}

void AddSat32StretchKey(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                        int32_t width, int32_t height, const StretchStep& step, uint32_t key) {
  WalkRowsStretched<false>(dst, src, dst_skip, src_pitch, width, height, step,
                           PortableKeyedRow<AddSatPixel>{{}, key});
}

void AddSat32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                 int32_t width, int32_t height) {
  WalkRows(dst, src, dst_skip, src_skip, width, height, VectorRow<AddSatQuad>{});
}

void AddSat32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                        int32_t width, int32_t height, const StretchStep& step) {
  WalkRowsStretched<false>(dst, src, dst_skip, src_pitch, width, height, step,
                           VectorRow<AddSatQuad>{});
}

void AddSat32KeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                    int32_t width, int32_t height, uint32_t key) {
  WalkRows(dst, src, dst_skip, src_skip, width, height, VectorKeyedRow<AddSatQuad>{{}, key});
}

void AddSat32StretchKeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                           int32_t width, int32_t height, const StretchStep& step, uint32_t key) {
  WalkRowsStretched<false>(dst, src, dst_skip, src_pitch, width, height, step,
                           VectorKeyedRow<AddSatQuad>{{}, key});
}

void SubSat32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
              int32_t height) {
  WalkRows(dst, src, dst_skip, src_skip, width, height, PortableRow<SubSatPixel>{});
}

void SubSat32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                     int32_t width, int32_t height, const StretchStep& step) {
  WalkRowsStretched<false>(dst, src, dst_skip, src_pitch, width, height, step,
                           PortableRow<SubSatPixel>{});
}

void SubSat32Key(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                 int32_t width, int32_t height, uint32_t key) {
  WalkRows(dst, src, dst_skip, src_skip, width, height, PortableKeyedRow<SubSatPixel>{{}, key});
}

void SubSat32StretchKey(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                        int32_t width, int32_t height, const StretchStep& step, uint32_t key) {
  WalkRowsStretched<false>(dst, src, dst_skip, src_pitch, width, height, step,
                           PortableKeyedRow<SubSatPixel>{{}, key});
}

void SubSat32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                 int32_t width, int32_t height) {
  WalkRows(dst, src, dst_skip, src_skip, width, height, VectorRow<SubSatQuad>{});
}

void SubSat32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                        int32_t width, int32_t height, const StretchStep& step) {
  WalkRowsStretched<false>(dst, src, dst_skip, src_pitch, width, height, step,
                           VectorRow<SubSatQuad>{});
}

void SubSat32KeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                    int32_t width, int32_t height, uint32_t key) {
  WalkRows(dst, src, dst_skip, src_skip, width, height, VectorKeyedRow<SubSatQuad>{{}, key});
}

void SubSat32StretchKeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                           int32_t width, int32_t height, const StretchStep& step, uint32_t key) {
  WalkRowsStretched<false>(dst, src, dst_skip, src_pitch, width, height, step,
                           VectorKeyedRow<SubSatQuad>{{}, key});
}
