// How the pixel kernels walk their rectangles: rows one to one (forward, mirrored or flipped by
// the caller's pointer and skip) or stretched by a StretchStep, and the source readers that hand
// out the pixels of one row in the order a destination row takes them. Offsets are kept as byte
// counts and turned into pointers only for rows that are read, so no pointer ever leaves its
// image, however the skips run.
//
// A kernel is a walk and a pixel operation: op.One(d, s) for one pixel (portable members),
// op.Four(d, s) for four pixels in an SSE2 register or op.Eight(d, s) for eight in an AVX2 one
// (vector members), optionally keyed.
//
// The AVX2 parts exist only in the files compiled for AVX2, and everything here takes a name of
// its own there (the inline namespace), so that no copy built for AVX2 can stand in for the SSE2
// one that runs on processors without it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <type_traits>

#if !defined(__SSE2__)
#error "the vector pixel kernels need SSE2"
#endif
#include <emmintrin.h>
#if defined(__AVX2__)
#include <immintrin.h>
#define KESTRUNE_VECTOR_TARGET avx2
#else
#define KESTRUNE_VECTOR_TARGET sse2
#endif

#include "pixel/kernels/stretch_step.h"

namespace kernel_walk {

// One to one, the source skip of every family counts from the right end of the row just read: a
// forward pass ends there, and a mirrored pass starts there (it is handed the position just past
// the right end), so one skip, pitch minus the row's bytes, serves forward, mirrored and flipped
// passes alike.
enum class Walk { kForward, kMirror, kStretch, kMirrorStretch };

inline namespace KESTRUNE_VECTOR_TARGET {

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
  __m128i Next4() {
    const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + next));
    next += 4;
    return four;
  }
#if defined(__AVX2__)
  __m256i Next8() {
    const __m256i eight = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + next));
    next += 8;
    return eight;
  }
#endif
};

// Reads a row right to left from the position just past its right end.
template <typename S>
struct BackwardReader {
  const S* row_end;
  intptr_t next = 0;
  S Next() { return row_end[-1 - next++]; }
  __m128i Next4() {
    next += 4;
    const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row_end - next));
    return _mm_shuffle_epi32(four, _MM_SHUFFLE(0, 1, 2, 3));
  }
#if defined(__AVX2__)
  __m256i Next8() {
    next += 8;
    const __m256i eight = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row_end - next));
    return _mm256_permutevar8x32_epi32(eight, _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0));
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
  __m128i Next4() {
    const uint32_t first = Next();
    const uint32_t second = Next();
    const uint32_t third = Next();
    const uint32_t fourth = Next();
    return _mm_set_epi32(static_cast<int>(fourth), static_cast<int>(third), static_cast<int>(second),
                         static_cast<int>(first));
  }
#if defined(__AVX2__)
  __m256i Next8() {
    const __m128i low = Next4();
    return _mm256_inserti128_si256(_mm256_castsi128_si256(low), Next4(), 1);
  }
#endif
};

// Calls row_fn(destination row, reader) for every row. One to one, the source row anchor moves
// by the width and the skip; stretched, by yStep pitches and one more on each carry.
template <Walk kWalk, typename D, typename S, typename RowFn>
void WalkImage(D* dst, const S* src, int32_t dst_skip, int32_t src_skip_or_pitch, int32_t width, int32_t height,
               const StretchStep* step, RowFn&& row_fn) {
  if (width < 1 || height < 1) return;
  constexpr bool kStretched = kWalk == Walk::kStretch || kWalk == Walk::kMirrorStretch;
  const intptr_t dst_advance = intptr_t{width} * intptr_t{sizeof(D)} + dst_skip;
  const intptr_t src_advance = intptr_t{width} * intptr_t{sizeof(S)} + src_skip_or_pitch;
  intptr_t src_offset = 0;
  uint32_t row_acc = step != nullptr ? static_cast<uint32_t>(step->yAcc) : 0;
  for (int32_t y = 0; y < height; ++y) {
    D* dst_row = OffsetBytes(dst, dst_advance * y);
    const S* src_row = OffsetBytes(src, src_offset);
    if constexpr (kStretched) {
      StretchReader<S, kWalk == Walk::kMirrorStretch> reader{src_row, step, static_cast<uint32_t>(step->xAcc)};
      row_fn(dst_row, reader);
      src_offset += intptr_t{step->yStep} * src_skip_or_pitch;
      if (StepAccumulator(row_acc, step->yRem, step->yDen)) src_offset += src_skip_or_pitch;
    } else {
      if constexpr (kWalk == Walk::kForward) {
        ForwardReader<S> reader{src_row};
        row_fn(dst_row, reader);
      } else {
        BackwardReader<S> reader{src_row};
        row_fn(dst_row, reader);
      }
      src_offset += src_advance;
    }
  }
}

// Forward rows that follow one another with no gap on either side are one long row: one pass
// with one head and one tail in place of one per row.
template <Walk kWalk>
void JoinGaplessRows(int32_t dst_skip, int32_t src_skip, int32_t& width, int32_t& height) {
  if constexpr (kWalk == Walk::kForward) {
    if (dst_skip != 0 || src_skip != 0 || width < 1 || height < 2) return;
    const int64_t pixels = int64_t{width} * height;
    if (pixels > std::numeric_limits<int32_t>::max()) return;
    width = static_cast<int32_t>(pixels);
    height = 1;
  }
}

// d = op.One(d, s) for every pixel, one at a time.
template <Walk kWalk, typename D, typename S, typename Op>
void ScalarKernel(D* dst, const S* src, int32_t dst_skip, int32_t src_skip_or_pitch, int32_t width, int32_t height,
                  const StretchStep* step, Op op) {
  WalkImage<kWalk>(dst, src, dst_skip, src_skip_or_pitch, width, height, step, [&](D* row, auto& reader) {
    for (int32_t x = 0; x < width; ++x) row[x] = op.One(row[x], reader.Next());
  });
}

// One vector step of a kernel: four pixels in an SSE2 register (op.Four), or eight in an AVX2
// register (op.Eight) for the operations that have it.
struct Sse2Lanes {
  using Vector = __m128i;
  static constexpr int32_t kCount = 4;
  static Vector Load(const uint32_t* pixels) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels)); }
  static void Store(uint32_t* pixels, Vector v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels), v); }
  static Vector FromPixel(uint32_t pixel) { return _mm_cvtsi32_si128(static_cast<int>(pixel)); }
  static uint32_t LowestPixel(Vector v) { return static_cast<uint32_t>(_mm_cvtsi128_si32(v)); }
  template <typename Reader>
  static Vector Next(Reader& reader) {
    return reader.Next4();
  }
  template <typename Op>
  static Vector Apply(const Op& op, Vector d, Vector s) {
    return op.Four(d, s);
  }
};

#if defined(__AVX2__)
struct Avx2Lanes {
  using Vector = __m256i;
  static constexpr int32_t kCount = 8;
  static Vector Load(const uint32_t* pixels) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pixels));
  }
  static void Store(uint32_t* pixels, Vector v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(pixels), v); }
  static Vector FromPixel(uint32_t pixel) { return _mm256_zextsi128_si256(Sse2Lanes::FromPixel(pixel)); }
  static uint32_t LowestPixel(Vector v) { return Sse2Lanes::LowestPixel(_mm256_castsi256_si128(v)); }
  template <typename Reader>
  static Vector Next(Reader& reader) {
    return reader.Next8();
  }
  template <typename Op>
  static Vector Apply(const Op& op, Vector d, Vector s) {
    return op.Eight(d, s);
  }
};

template <typename Op>
concept EightWide = requires(const Op& op, __m256i v) { op.Eight(v, v); };

template <typename Op>
using LanesOf = std::conditional_t<EightWide<Op>, Avx2Lanes, Sse2Lanes>;
#else
template <typename Op>
using LanesOf = Sse2Lanes;
#endif

// An operation that stores its result itself (op.Put(destination pixels, source vector)), so
// that it can leave the destination untouched, or unread, where the source decides the result.
template <typename Lanes, typename Op>
concept PutsItself = requires(const Op& op, uint32_t* pixels, typename Lanes::Vector s) { op.Put(pixels, s); };

// One whole vector step at `pixels`.
template <typename Lanes, typename Op>
void StepVector(const Op& op, uint32_t* pixels, typename Lanes::Vector s) {
  if constexpr (PutsItself<Lanes, Op>) {
    op.Put(pixels, s);
  } else {
    Lanes::Store(pixels, Lanes::Apply(op, Lanes::Load(pixels), s));
  }
}

// Applies the vector step to fewer pixels than fill a vector (at the start or the end of a row,
// or the whole of a narrow row) one pixel at a time in the lowest lane, so that every pixel gets
// the vector result. Gathering the pixels into a padded vector in memory instead stalls on the
// load that follows the narrow stores, and on the narrow rows of small pieces and stretched
// columns that stall costs more than the pixels.
template <typename Lanes, typename Reader, typename Op>
void PartialVector(uint32_t* row, int32_t count, Reader& reader, const Op& op) {
  for (int32_t x = 0; x < count; ++x) {
    const typename Lanes::Vector s = Lanes::FromPixel(reader.Next());
    row[x] = Lanes::LowestPixel(Lanes::Apply(op, Lanes::FromPixel(row[x]), s));
  }
}

// The pixels before the first one whose address is a multiple of the vector's size: whole
// vectors are then stored without splitting a cache line.
template <typename Lanes>
int32_t PixelsToAlignment(const uint32_t* row) {
  constexpr uintptr_t kVectorBytes = Lanes::kCount * sizeof(uint32_t);
  return static_cast<int32_t>(((0 - reinterpret_cast<uintptr_t>(row)) & (kVectorBytes - 1)) / sizeof(uint32_t));
}

// The rows of a vector kernel: a row narrower than `narrow` pixels, the pixels up to the first
// aligned one and the rest after the last whole vector through part(row, count, reader), the
// others a whole vector per step (through op.Put where the operation has it).
template <Walk kWalk, typename Op, typename PartFn>
void VectorRows(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip_or_pitch, int32_t width,
                int32_t height, const StretchStep* step, Op op, int32_t narrow, PartFn part) {
  using Lanes = LanesOf<Op>;
  JoinGaplessRows<kWalk>(dst_skip, src_skip_or_pitch, width, height);
  WalkImage<kWalk>(dst, src, dst_skip, src_skip_or_pitch, width, height, step, [&](uint32_t* row, auto& reader) {
    if (width < narrow) return part(row, width, reader);
    const int32_t head = std::min(width, PixelsToAlignment<Lanes>(row));
    if (head != 0) part(row, head, reader);
    int32_t x = head;
    for (; x <= width - 2 * Lanes::kCount; x += 2 * Lanes::kCount) {
      const auto first = Lanes::Next(reader);
      const auto second = Lanes::Next(reader);
      StepVector<Lanes>(op, row + x, first);
      StepVector<Lanes>(op, row + x + Lanes::kCount, second);
    }
    for (; x <= width - Lanes::kCount; x += Lanes::kCount) StepVector<Lanes>(op, row + x, Lanes::Next(reader));
    if (x != width) part(row + x, width - x, reader);
  });
}

// d = op.Four(d, s) (or op.Eight) for every pixel: the pixels up to the first aligned one and
// the rest after the last whole vector through padded vectors, the others a whole vector per
// step (through op.Put where the operation has it). On images beyond the second-level cache a
// cheap operation (add, subtract, copy) takes as long as merely reading its two images does:
// deeper unrolling, software prefetch and stores aligned to whole cache lines measured no
// faster, and non-temporal stores several times slower, as the destination is read again by the
// next operation.
template <Walk kWalk, typename Op>
void VectorKernel(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip_or_pitch, int32_t width,
                  int32_t height, const StretchStep* step, Op op) {
  VectorRows<kWalk>(dst, src, dst_skip, src_skip_or_pitch, width, height, step, op, 0,
                    [&op](uint32_t* row, int32_t count, auto& reader) {
                      PartialVector<LanesOf<Op>>(row, count, reader, op);
                    });
}

// VectorKernel's forward walk for an operation whose vector step on one pixel costs several
// times its edge form: edge(d, s, count) takes the pixels before the first aligned one and after
// the last whole vector together, and a row too narrow for two whole vectors whole. Pieces a few
// pixels wide are mostly such pixels.
template <typename Op, typename EdgeFn>
void VectorKernelWithEdges(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                           int32_t height, Op op, EdgeFn edge) {
  VectorRows<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, op, 2 * LanesOf<Op>::kCount,
                             [&edge](uint32_t* row, int32_t count, ForwardReader<uint32_t>& reader) {
                               edge(row, reader.row + reader.next, count);
                               reader.next += count;
                             });
}

inline __m128i Wide(uint32_t value) { return _mm_set1_epi32(static_cast<int>(value)); }

// (keep & d) | (~keep & s)
inline __m128i Select(__m128i keep, __m128i d, __m128i s) {
  return _mm_or_si128(_mm_and_si128(keep, d), _mm_andnot_si128(keep, s));
}

// Leaves the destination pixel where the source pixel equals the key.
template <typename Op, typename S>
struct KeyedOp {
  Op op;
  S key;
  template <typename D>
  D One(D d, S s) const {
    return s == key ? d : op.One(d, s);
  }
  __m128i Four(__m128i d, __m128i s) const { return Select(_mm_cmpeq_epi32(s, Wide(key)), d, op.Four(d, s)); }
#if defined(__AVX2__)
  __m256i Eight(__m256i d, __m256i s) const
    requires EightWide<Op>
  {
    const __m256i keep = _mm256_cmpeq_epi32(s, _mm256_set1_epi32(static_cast<int>(key)));
    return _mm256_blendv_epi8(op.Eight(d, s), d, keep);
  }
#endif
};

template <typename Op>
KeyedOp<Op, uint32_t> Keyed32(Op op, uint32_t key) {
  return KeyedOp<Op, uint32_t>{op, key};
}

// Calls fn(row) for every destination row of a kernel without a source.
template <typename D, typename RowFn>
void ForEachRow(D* dst, int32_t skip, int32_t width, int32_t height, RowFn&& fn) {
  if (width < 1 || height < 1) return;
  const intptr_t advance = intptr_t{width} * intptr_t{sizeof(D)} + skip;
  for (int32_t y = 0; y < height; ++y) fn(OffsetBytes(dst, advance * y));
}

// A plane walked beside the destination, row by row: its first element and the bytes from one
// row start to the next.
template <typename T>
struct Plane {
  T* first;
  intptr_t advance;
  T* Row(int32_t y) const { return OffsetBytes(first, advance * y); }
};

// A plane whose rows are the width and a skip apart.
template <typename T>
Plane<T> SkipPlane(T* first, int32_t skip, int32_t width) {
  return {first, intptr_t{width} * intptr_t{sizeof(T)} + skip};
}

template <typename T>
Plane<T> PitchPlane(T* first, int32_t pitch) {
  return {first, pitch};
}

// Calls fn(y, the row y of each plane...) for every row.
template <typename RowFn, typename... T>
void ForEachRowOfPlanes(int32_t width, int32_t height, RowFn&& fn, const Plane<T>&... planes) {
  if (width < 1 || height < 1) return;
  for (int32_t y = 0; y < height; ++y) fn(y, planes.Row(y)...);
}

// one(x) for the leading width mod 4 pixels of a row, then four(x) for each group of four.
template <typename OneFn, typename FourFn>
void SplitRow(int32_t width, OneFn&& one, FourFn&& four) {
  int32_t x = 0;
  for (; x < (width & 3); ++x) one(x);
  for (; x < width; x += 4) four(x);
}

inline __m128i LoadFour(const uint32_t* pixels) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels));
}

inline void StoreFour(uint32_t* pixels, __m128i four) { _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels), four); }

}  // namespace KESTRUNE_VECTOR_TARGET
}  // namespace kernel_walk
