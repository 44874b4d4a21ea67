// The row walking that the 32-bit two-image kernels share. A kernel is a row operation, called as
// row(destination, source, count) on runs of pixels, and a walk that hands it the source pixels
// in the order the kernel's shape reads them: one to one, mirrored or stretched. Mirrored and
// stretched walks gather their source pixels into a short run first.
//
// The row operations here apply a per-pixel function (portable members) or a function on four
// pixels in an SSE2 register (vector members), with or without a colour key.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if !defined(__SSE2__)
#error "the vector pixel kernels need SSE2"
#endif
#include <emmintrin.h>

#include "gfx/stretch_step.h"

namespace pixel_rows {

constexpr int32_t kRunLength = 64;

inline uint32_t* AdvanceBytes(uint32_t* pixel, int32_t bytes) {
  return reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(pixel) + bytes);
}

inline const uint32_t* AdvanceBytes(const uint32_t* pixel, int32_t bytes) {
  return reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(pixel) + bytes);
}

// Adds the remainder to an accumulator and tells whether the unsigned addition carried.
inline bool AddCarries(uint32_t& accumulator, int32_t remainder) {
  const uint32_t before = accumulator;
  accumulator += static_cast<uint32_t>(remainder);
  return accumulator < before;
}

// One to one: the source skip is added after the source pointer has passed the row.
template <class RowOp>
void WalkRows(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
              int32_t height, const RowOp& row) {
  if (width <= 0 || height <= 0) return;
  for (int32_t y = 1;; ++y) {
    row(dst, src, width);
    if (y == height) return;
    dst = AdvanceBytes(dst + width, dst_skip);
    src = AdvanceBytes(src + width, src_skip);
  }
}

// Mirrored: src is just past the right end of the first source row and the pixels are read
// leftwards; the source skip is added after the pointer has moved width pixels to the left.
template <class RowOp>
void WalkRowsMirrored(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                      int32_t width, int32_t height, const RowOp& row) {
  if (width <= 0 || height <= 0) return;
  std::array<uint32_t, kRunLength> run;
  for (int32_t y = 1;; ++y) {
    for (int32_t done = 0; done < width;) {
      const int32_t count = std::min(kRunLength, width - done);
      for (int32_t i = 0; i < count; ++i) run[i] = src[-1 - done - i];
      row(dst + done, run.data(), count);
      done += count;
    }
    if (y == height) return;
    dst = AdvanceBytes(dst + width, dst_skip);
    src = AdvanceBytes(src - width, src_skip);
  }
}

// Stretched: src is the first source row (or, mirrored, the position just past its right end)
// and src_pitch the signed distance between source rows, negative for a flipped pass.
template <bool kMirrored, class RowOp>
void WalkRowsStretched(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                       int32_t width, int32_t height, const StretchStep& step, const RowOp& row) {
  if (width <= 0 || height <= 0) return;
  std::array<uint32_t, kRunLength> run;
  uint32_t y_accumulator = static_cast<uint32_t>(step.yAcc);
  for (int32_t y = 1;; ++y) {
    uint32_t x_accumulator = static_cast<uint32_t>(step.xAcc);
    std::ptrdiff_t offset = 0;
    for (int32_t done = 0; done < width;) {
      const int32_t count = std::min(kRunLength, width - done);
      for (int32_t i = 0; i < count; ++i) {
        run[i] = kMirrored ? src[-1 - offset] : src[offset];
        offset += step.xStep;
        if (AddCarries(x_accumulator, step.xRem)) {
          ++offset;
          x_accumulator -= static_cast<uint32_t>(step.xDen);
        }
      }
      row(dst + done, run.data(), count);
      done += count;
    }
    if (y == height) return;
    dst = AdvanceBytes(dst + width, dst_skip);
    int64_t row_bytes = int64_t{step.yStep} * src_pitch;
    if (AddCarries(y_accumulator, step.yRem)) {
      row_bytes += src_pitch;
      y_accumulator -= static_cast<uint32_t>(step.yDen);
    }
    src = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(src) + row_bytes);
  }
}

template <class PixelFn>
struct PortableRow {
  PixelFn pixel;
  void operator()(uint32_t* dst, const uint32_t* src, int32_t count) const {
    for (int32_t i = 0; i < count; ++i) dst[i] = pixel(dst[i], src[i]);
  }
};

// Leaves the destination pixel where the whole source word equals the key.
template <class PixelFn>
struct PortableKeyedRow {
  PixelFn pixel;
  uint32_t key;
  void operator()(uint32_t* dst, const uint32_t* src, int32_t count) const {
    for (int32_t i = 0; i < count; ++i) {
      if (src[i] != key) dst[i] = pixel(dst[i], src[i]);
    }
  }
};

// Runs a four-pixel function over a row; the last one to three pixels go through a padded
// quad, so that every pixel gets the same vector result.
template <class QuadFn>
void ForEachQuad(uint32_t* dst, const uint32_t* src, int32_t count, const QuadFn& quad) {
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    __m128i* d = reinterpret_cast<__m128i*>(dst + i);
    const __m128i* s = reinterpret_cast<const __m128i*>(src + i);
    _mm_storeu_si128(d, quad(_mm_loadu_si128(d), _mm_loadu_si128(s)));
  }
  if (i == count) return;
  const size_t rest = static_cast<size_t>(count - i) * sizeof(uint32_t);
  alignas(16) std::array<uint32_t, 4> d{};
  alignas(16) std::array<uint32_t, 4> s{};
  std::memcpy(d.data(), dst + i, rest);
  std::memcpy(s.data(), src + i, rest);
  const __m128i result = quad(_mm_load_si128(reinterpret_cast<const __m128i*>(d.data())),
                              _mm_load_si128(reinterpret_cast<const __m128i*>(s.data())));
  _mm_store_si128(reinterpret_cast<__m128i*>(d.data()), result);
  std::memcpy(dst + i, d.data(), rest);
}

template <class QuadFn>
struct VectorRow {
  QuadFn quad;
  void operator()(uint32_t* dst, const uint32_t* src, int32_t count) const {
    ForEachQuad(dst, src, count, quad);
  }
};

template <class QuadFn>
struct VectorKeyedRow {
  QuadFn quad;
  uint32_t key;
  void operator()(uint32_t* dst, const uint32_t* src, int32_t count) const {
    const __m128i wide_key = _mm_set1_epi32(static_cast<int>(key));
    ForEachQuad(dst, src, count, [&](__m128i d, __m128i s) {
      const __m128i keep = _mm_cmpeq_epi32(s, wide_key);
      return _mm_or_si128(_mm_and_si128(keep, d), _mm_andnot_si128(keep, quad(d, s)));
    });
  }
};

}  // namespace pixel_rows
