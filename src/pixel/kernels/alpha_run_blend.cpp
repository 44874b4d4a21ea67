#include "pixel/kernels/alpha_run_blend.h"

#include <emmintrin.h>

#include <algorithm>

#include "pixel/kernels/avx2_kernels.h"
#include "pixel/kernels/blend_kernels.h"
#include "pixel/kernels/pixel_kernel_choice.h"

namespace {

constexpr uint32_t kColourBits = 0x00FFFFFF;

// The three kinds of run, pixel by pixel.
struct PortableRuns {
  static void Clear(uint32_t* d, int32_t count) {
    for (int32_t x = 0; x < count; ++x) {
      if ((d[x] >> 24) != 0) d[x] &= kColourBits;
    }
  }
  static void Opaque(uint32_t* d, const uint32_t* s, int32_t count) {
    for (int32_t x = 0; x < count; ++x) d[x] = s[x] & kColourBits;
  }
  static void Mixed(uint32_t* d, const uint32_t* s, int32_t count) { AlphaBlend32(d, s, 0, 0, count, 1); }
  static void MixedRows(uint32_t* d, const uint32_t* s, int32_t dst_skip, int32_t src_skip, int32_t width,
                        int32_t height) {
    AlphaBlend32(d, s, dst_skip, src_skip, width, height);
  }
};

// Four pixels at a time (eight in the AVX2 form); a clear run stores only where some alpha byte is not 0 yet. Mixed runs
// go through the member, which takes the ends of a run, and a run too short for its vector steps
// (the edge of a figure), in masked AVX2 steps, or pixel by pixel without AVX2.
struct VectorRuns {
  static void Clear(uint32_t* d, int32_t count) {
    const __m128i colour_bits = _mm_set1_epi32(kColourBits);
    int32_t x = g_CpuHasAvx2 != 0 ? avx2_kernels::ClearRun(d, count) : 0;
    for (; x + 4 <= count; x += 4) {
      auto* at = reinterpret_cast<__m128i*>(d + x);
      const __m128i four = _mm_loadu_si128(at);
      if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(four, colour_bits), four)) != 0xFFFF) {
        _mm_storeu_si128(at, _mm_and_si128(four, colour_bits));
      }
    }
    PortableRuns::Clear(d + x, count - x);
  }
  static void Opaque(uint32_t* d, const uint32_t* s, int32_t count) {
    const __m128i colour_bits = _mm_set1_epi32(kColourBits);
    int32_t x = g_CpuHasAvx2 != 0 ? avx2_kernels::OpaqueRun(d, s, count) : 0;
    for (; x + 8 <= count; x += 8) {
      const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + x));
      const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + x + 4));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x), _mm_and_si128(first, colour_bits));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x + 4), _mm_and_si128(second, colour_bits));
    }
    for (; x + 4 <= count; x += 4) {
      const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + x));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x), _mm_and_si128(four, colour_bits));
    }
    PortableRuns::Opaque(d + x, s + x, count - x);
  }
  static void Mixed(uint32_t* d, const uint32_t* s, int32_t count) { AlphaBlend32Mmx(d, s, 0, 0, count, 1); }
  static void MixedRows(uint32_t* d, const uint32_t* s, int32_t dst_skip, int32_t src_skip, int32_t width,
                        int32_t height) {
    AlphaBlend32Mmx(d, s, dst_skip, src_skip, width, height);
  }
};

// Clears pixels begin..end - 1 of the destination row (in the pass's columns), skipping the parts
// that the destination's map row `runs`, known when it has a map, holds clear already.
template <typename Runs>
void ClearSpan(uint32_t* row, int32_t begin, int32_t end, const AlphaRunsAt& destination,
               std::span<const AlphaRun> runs) {
  if (destination.map == nullptr) return Runs::Clear(row + begin, end - begin);
  const int32_t shift = destination.x;
  for (size_t i = AlphaRunMap::RunAt(runs, begin + shift); i < runs.size() && runs[i].begin - shift < end; ++i) {
    if (runs[i].kind == AlphaKind::kClear) continue;
    const int32_t from = std::max(runs[i].begin - shift, begin);
    const int32_t to = std::min(runs[i].end - shift, end);
    Runs::Clear(row + from, to - from);
  }
}

// Whether the source row's pixels x..x + width - 1 lie in one mixed run.
bool MixedAcross(std::span<const AlphaRun> runs, int32_t x, int32_t width) {
  const AlphaRun& run = runs[AlphaRunMap::RunAt(runs, x)];
  return run.kind == AlphaKind::kMixed && run.end >= x + width;
}

template <typename Runs>
void BlendByRuns(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width, int32_t height,
                 const AlphaRunsAt& source, const AlphaRunsAt& destination) {
  if (width < 1 || height < 1) return;
  const intptr_t dst_pitch = intptr_t{width} * 4 + dst_skip;
  const intptr_t src_pitch = intptr_t{width} * 4 + src_skip;
  int32_t y = 0;
  while (y < height) {
    auto* d = reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(dst) + dst_pitch * y);
    const auto* s = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(src) + src_pitch * y);
    // Rows mixed all across (a picture of random alpha, a translucent panel) go to the member
    // together, as they would without a map.
    int32_t mixed_rows = 0;
    while (y + mixed_rows < height && MixedAcross(source.map->Row(source.y + y + mixed_rows), source.x, width)) {
      ++mixed_rows;
    }
    if (mixed_rows != 0) {
      Runs::MixedRows(d, s, dst_skip, src_skip, width, mixed_rows);
      y += mixed_rows;
      continue;
    }
    const std::span<const AlphaRun> runs = source.map->Row(source.y + y);
    std::span<const AlphaRun> dst_runs;
    if (destination.map != nullptr) dst_runs = destination.map->Row(destination.y + y);
    for (size_t i = AlphaRunMap::RunAt(runs, source.x); i < runs.size() && runs[i].begin < source.x + width; ++i) {
      const int32_t begin = std::max(runs[i].begin, source.x) - source.x;
      const int32_t end = std::min(runs[i].end, source.x + width) - source.x;
      switch (runs[i].kind) {
        case AlphaKind::kClear: ClearSpan<Runs>(d, begin, end, destination, dst_runs); break;
        case AlphaKind::kOpaque: Runs::Opaque(d + begin, s + begin, end - begin); break;
        case AlphaKind::kMixed: Runs::Mixed(d + begin, s + begin, end - begin); break;
      }
    }
    ++y;
  }
}

}  // namespace

void AlphaBlend32Runs(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                      int32_t height, const AlphaRunsAt& source, const AlphaRunsAt& destination) {
  BlendByRuns<PortableRuns>(dst, src, dst_skip, src_skip, width, height, source, destination);
}

void AlphaBlend32RunsMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                         int32_t height, const AlphaRunsAt& source, const AlphaRunsAt& destination) {
  BlendByRuns<VectorRuns>(dst, src, dst_skip, src_skip, width, height, source, destination);
}
