#include "effects/ripple_rows.h"

#include <emmintrin.h>

#include <algorithm>

#include "effects/ripple_table.h"
#include "pixel/pixel_kernel_choice.h"

RippleKernel g_RippleKernel{"ripple", &RippleRowForward, &RippleRowBackward};

namespace {

// A coordinate outside 0..size-1 reflected back over the edge it crossed, then held inside:
// a wave higher than the picture is wide would otherwise reflect past the far edge.
std::int32_t Reflected(std::int32_t c, std::int32_t size) {
  if (c < 0) c = -c;
  if (c >= size) c = 2 * size - c - 1;
  return std::clamp(c, 0, size - 1);
}

struct SourcePoint {
  std::int32_t x;
  std::int32_t y;
};

// Where output pixel i of the row reads from.
template <bool Forward, bool EdgeSafe>
SourcePoint SourceOf(const RippleRowJob& job, std::int32_t i) {
  const std::uint16_t entry = Forward ? job.distance[i] : job.distance[-i];
  const std::uint16_t wave = job.wave[entry];
  const auto dx = static_cast<std::int32_t>(static_cast<std::int8_t>(wave >> 8));
  const auto dy = static_cast<std::int32_t>(static_cast<std::int8_t>(wave & 0xFF));
  SourcePoint point{Forward ? job.x + i - dx : job.x + i + dx, job.y + job.dy_sign * dy};
  if constexpr (EdgeSafe) {
    point.x = Reflected(point.x, job.width);
    point.y = Reflected(point.y, job.height);
  }
  return point;
}

template <bool Forward, bool EdgeSafe>
void BlendRow(const RippleRowJob& job) {
  for (std::int32_t i = 0; i < job.count; ++i) {
    const SourcePoint at = SourceOf<Forward, EdgeSafe>(job, i);
    job.destination[i] = RippleBlend(job.old_pixels[static_cast<std::ptrdiff_t>(at.y) * job.old_stride + at.x],
                                     job.new_pixels[static_cast<std::ptrdiff_t>(at.y) * job.new_stride + at.x],
                                     job.level);
  }
}

// The same blend on four pixels, in 16-bit lanes.
template <bool Forward>
void BlendRowVector(const RippleRowJob& job) {
  const __m128i keep = _mm_set1_epi16(static_cast<std::int16_t>(256 - job.level));
  const __m128i level = _mm_set1_epi16(static_cast<std::int16_t>(job.level));
  const __m128i zero = _mm_setzero_si128();
  const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
  std::int32_t i = 0;
  for (; i + 4 <= job.count; i += 4) {
    alignas(16) std::uint32_t olds[4];
    alignas(16) std::uint32_t news[4];
    for (std::int32_t k = 0; k < 4; ++k) {
      const SourcePoint at = SourceOf<Forward, false>(job, i + k);
      olds[k] = job.old_pixels[static_cast<std::ptrdiff_t>(at.y) * job.old_stride + at.x];
      news[k] = job.new_pixels[static_cast<std::ptrdiff_t>(at.y) * job.new_stride + at.x];
    }
    const __m128i o = _mm_load_si128(reinterpret_cast<const __m128i*>(olds));
    const __m128i n = _mm_load_si128(reinterpret_cast<const __m128i*>(news));
    const auto mix = [&](__m128i a, __m128i b) {
      return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(a, keep), _mm_mullo_epi16(b, level)), 8);
    };
    const __m128i low = mix(_mm_unpacklo_epi8(o, zero), _mm_unpacklo_epi8(n, zero));
    const __m128i high = mix(_mm_unpackhi_epi8(o, zero), _mm_unpackhi_epi8(n, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(job.destination + i),
                     _mm_and_si128(_mm_packus_epi16(low, high), colour));
  }
  RippleRowJob rest = job;
  rest.destination += i;
  rest.distance += Forward ? i : -i;
  rest.x += i;
  rest.count -= i;
  BlendRow<Forward, false>(rest);
}

}  // namespace

void RippleRowForwardEdge(const RippleRowJob& job) { BlendRow<true, true>(job); }
void RippleRowBackwardEdge(const RippleRowJob& job) { BlendRow<false, true>(job); }
void RippleRowForward(const RippleRowJob& job) { BlendRow<true, false>(job); }
void RippleRowBackward(const RippleRowJob& job) { BlendRow<false, false>(job); }
void RippleRowForwardVector(const RippleRowJob& job) { BlendRowVector<true>(job); }
void RippleRowBackwardVector(const RippleRowJob& job) { BlendRowVector<false>(job); }

void StartUpRipple() {
  const bool vector = g_CpuHasMmx != 0;
  g_RippleKernel.forward = vector ? &RippleRowForwardVector : &RippleRowForward;
  g_RippleKernel.backward = vector ? &RippleRowBackwardVector : &RippleRowBackward;
}

void CleanUpRipple() { g_RippleTables.Clear(); }
