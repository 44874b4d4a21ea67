// How the pixel kernels walk their rectangles: rows one to one (forward, mirrored or flipped by
// the caller's pointer and skip) or stretched by a StretchStep, and the source readers that hand
// out the pixels of one row in the order a destination row takes them. Offsets are kept as byte
// counts and turned into pointers only for rows that are read, so no pointer ever leaves its
// image, however the skips run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "gfx/stretch_step.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kernel_walk {

template <typename T>
T* OffsetBytes(T* pointer, intptr_t bytes) {
  using Byte = std::conditional_t<std::is_const_v<T>, const uint8_t, uint8_t>;
  return reinterpret_cast<T*>(reinterpret_cast<Byte*>(pointer) + bytes);
}

// Reads a row left to right from its first pixel.
template <typename S>
struct ForwardReader {
  const S* row;
  intptr_t next = 0;
  S Next() { return row[next++]; }
#if defined(__SSE2__)
  __m128i Next4() {
    const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + next));
    next += 4;
    return four;
  }
#endif
};

// Reads a row right to left from the position just past its right end.
template <typename S>
struct BackwardReader {
  const S* row_end;
  intptr_t next = 0;
  S Next() { return row_end[-1 - next++]; }
#if defined(__SSE2__)
  __m128i Next4() {
    next += 4;
    const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row_end - next));
    return _mm_shuffle_epi32(four, _MM_SHUFFLE(0, 1, 2, 3));
  }
#endif
};

// Reads a stretched row: xStep pixels per destination pixel and one more on each carry of the
// accumulator; a mirrored reader starts just past the right end and walks to the left.
template <typename S, bool kMirrored>
struct StretchReader {
  const S* row;
  const StretchStep* step;
  uint32_t acc;
  intptr_t next = 0;

  S Next() {
    const S value = kMirrored ? row[-1 - next] : row[next];
    next += step->xStep;
    if (StepAccumulator(acc, step->xRem, step->xDen)) ++next;
    return value;
  }
#if defined(__SSE2__)
  __m128i Next4() {
    const uint32_t first = Next();
    const uint32_t second = Next();
    const uint32_t third = Next();
    const uint32_t fourth = Next();
    return _mm_set_epi32(static_cast<int>(fourth), static_cast<int>(third), static_cast<int>(second),
                         static_cast<int>(first));
  }
#endif
};

enum class Walk { kForward, kMirror, kStretch, kMirrorStretch };

// Calls row_fn(destination row, reader) for every row. One to one, the source row anchor moves
// by the width and then the skip (so the same skip serves forward, mirrored and flipped
// passes); stretched, by yStep pitches and one more on each carry.
template <Walk kWalk, typename D, typename S, typename RowFn>
void WalkImage(D* dst, const S* src, int32_t dst_skip, int32_t src_skip_or_pitch, int32_t width, int32_t height,
               const StretchStep* step, RowFn&& row_fn) {
  if (width < 1 || height < 1) return;
  const intptr_t dst_advance = intptr_t{width} * intptr_t{sizeof(D)} + dst_skip;
  intptr_t src_offset = 0;
  uint32_t row_acc = step != nullptr ? static_cast<uint32_t>(step->yAcc) : 0;
  for (int32_t y = 0; y < height; ++y) {
    D* dst_row = OffsetBytes(dst, dst_advance * y);
    const S* src_row = OffsetBytes(src, src_offset);
    if constexpr (kWalk == Walk::kForward || kWalk == Walk::kMirror) {
      if constexpr (kWalk == Walk::kForward) {
        ForwardReader<S> reader{src_row};
        row_fn(dst_row, reader);
      } else {
        BackwardReader<S> reader{src_row};
        row_fn(dst_row, reader);
      }
      src_offset += intptr_t{width} * intptr_t{sizeof(S)} + src_skip_or_pitch;
    } else {
      StretchReader<S, kWalk == Walk::kMirrorStretch> reader{src_row, step, static_cast<uint32_t>(step->xAcc)};
      row_fn(dst_row, reader);
      src_offset += intptr_t{step->yStep} * src_skip_or_pitch;
      if (StepAccumulator(row_acc, step->yRem, step->yDen)) src_offset += src_skip_or_pitch;
    }
  }
}

// d = op(d, s) for every pixel, one at a time.
template <Walk kWalk, typename D, typename S, typename Op>
void ScalarKernel(D* dst, const S* src, int32_t dst_skip, int32_t src_skip_or_pitch, int32_t width, int32_t height,
                  const StretchStep* step, Op op) {
  WalkImage<kWalk>(dst, src, dst_skip, src_skip_or_pitch, width, height, step, [&](D* row, auto& reader) {
    for (int32_t x = 0; x < width; ++x) row[x] = op.One(row[x], reader.Next());
  });
}

// The same result with four 32-bit pixels per step after the leading one to three.
template <Walk kWalk, typename Op>
void VectorKernel(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip_or_pitch, int32_t width,
                  int32_t height, const StretchStep* step, Op op) {
#if defined(__SSE2__)
  WalkImage<kWalk>(dst, src, dst_skip, src_skip_or_pitch, width, height, step, [&](uint32_t* row, auto& reader) {
    const int32_t lead = width & 3;
    int32_t x = 0;
    for (; x < lead; ++x) row[x] = op.One(row[x], reader.Next());
    for (; x < width; x += 4) {
      auto* four = reinterpret_cast<__m128i*>(row + x);
      _mm_storeu_si128(four, op.Four(_mm_loadu_si128(four), reader.Next4()));
    }
  });
#else
  ScalarKernel<kWalk>(dst, src, dst_skip, src_skip_or_pitch, width, height, step, op);
#endif
}

// Calls fn(row) for every destination row of a kernel without a source.
template <typename D, typename RowFn>
void ForEachRow(D* dst, int32_t skip, int32_t width, int32_t height, RowFn&& fn) {
  if (width < 1 || height < 1) return;
  const intptr_t advance = intptr_t{width} * intptr_t{sizeof(D)} + skip;
  for (int32_t y = 0; y < height; ++y) fn(OffsetBytes(dst, advance * y));
}

}  // namespace kernel_walk
