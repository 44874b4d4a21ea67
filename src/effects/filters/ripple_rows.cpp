#include "effects/filters/ripple_rows.h"

#include <emmintrin.h>

#include <algorithm>

#include "effects/filters/ripple_table.h"
#include "pixel/kernels/pixel_kernel_choice.h"

RippleKernel g_RippleKernel{"ripple", &RippleRowForward, &RippleRowBackward};

namespace {

// A coordinate outside 0..size-1 reflected back over the edge it crossed, then held inside:
// a wave higher than the picture is wide would otherwise reflect past the far edge.
inline std::int32_t Reflected(std::int32_t c, std::int32_t size) {
  if (c < 0) c = -c;
  if (c >= size) c = 2 * size - c - 1;
  return std::clamp(c, 0, size - 1);
}

struct Displacement {
  std::int32_t dx;
  std::int32_t dy;
};

Displacement Decode(std::uint16_t wave) {
  return {static_cast<std::int8_t>(wave >> 8), static_cast<std::int8_t>(wave & 0xFF)};
}

// The job's fields are copied out first: the stores to the destination could otherwise alias
// them and have them read again for every pixel.
template <bool Forward>
void EdgeRow(const RippleRowJob& job) {
  std::uint32_t* destination = job.destination;
  const std::uint32_t* old_pixels = job.old_pixels;
  const std::uint32_t* new_pixels = job.new_pixels;
  const std::ptrdiff_t old_stride = job.old_stride;
  const std::ptrdiff_t new_stride = job.new_stride;
  const std::uint16_t* distance = job.distance;
  const std::uint16_t* wave = job.wave;
  const std::int32_t width = job.width;
  const std::int32_t height = job.height;
  const std::int32_t x = job.x;
  const std::int32_t y = job.y;
  const std::int32_t dy_sign = job.dy_sign;
  const std::uint32_t level = job.level;
  const std::int32_t count = job.count;
  for (std::int32_t i = 0; i < count; ++i) {
    const Displacement d = Decode(wave[Forward ? distance[i] : distance[-i]]);
    const std::ptrdiff_t column = Reflected(Forward ? x + i - d.dx : x + i + d.dx, width);
    const std::ptrdiff_t row = Reflected(y + dy_sign * d.dy, height);
    destination[i] = RippleBlend(old_pixels[row * old_stride + column], new_pixels[row * new_stride + column], level);
  }
}

// The fast rows' reads, with the job's fields copied out: the stores to the destination could
// otherwise alias them and have them read again for every pixel.
template <bool Forward>
struct FastReads {
  explicit FastReads(const RippleRowJob& job)
      : old_row(job.old_pixels + static_cast<std::ptrdiff_t>(job.y) * job.old_stride + job.x),
        new_row(job.new_pixels + static_cast<std::ptrdiff_t>(job.y) * job.new_stride + job.x),
        distance(job.distance),
        offsets(job.offsets) {}

  RippleReadOffset OffsetAt(std::int32_t i) const { return offsets[Forward ? distance[i] : distance[-i]]; }
  std::uint32_t Old(std::int32_t i, RippleReadOffset offset) const { return old_row[i + offset.old_pixels]; }
  std::uint32_t New(std::int32_t i, RippleReadOffset offset) const { return new_row[i + offset.new_pixels]; }

  const std::uint32_t* old_row;
  const std::uint32_t* new_row;
  const std::uint16_t* distance;
  const RippleReadOffset* offsets;
};

// Pixels from to count of the row, one at a time.
template <bool Forward>
void BlendEach(const FastReads<Forward>& reads, std::uint32_t* destination, std::uint32_t level, std::int32_t from,
               std::int32_t count) {
  for (std::int32_t i = from; i < count; ++i) {
    const RippleReadOffset offset = reads.OffsetAt(i);
    destination[i] = RippleBlend(reads.Old(i, offset), reads.New(i, offset), level);
  }
}

template <bool Forward>
void FastRow(const RippleRowJob& job) {
  BlendEach(FastReads<Forward>(job), job.destination, job.level, 0, job.count);
}

// The same rows blending four pixels at once in 16-bit lanes, where o × (256 − l) + n × l
// still fits; the pixels are read one by one straight into the vector.
template <bool Forward>
void FastRowVector(const RippleRowJob& job) {
  const FastReads<Forward> reads(job);
  std::uint32_t* destination = job.destination;
  const std::int32_t count = job.count;
  const __m128i keep = _mm_set1_epi16(static_cast<std::int16_t>(256 - job.level));
  const __m128i level = _mm_set1_epi16(static_cast<std::int16_t>(job.level));
  const __m128i zero = _mm_setzero_si128();
  const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
  const auto mix = [&](__m128i o, __m128i n) {
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(o, keep), _mm_mullo_epi16(n, level)), 8);
  };
  std::int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const RippleReadOffset a = reads.OffsetAt(i);
    const RippleReadOffset b = reads.OffsetAt(i + 1);
    const RippleReadOffset c = reads.OffsetAt(i + 2);
    const RippleReadOffset d = reads.OffsetAt(i + 3);
    const auto word = [](std::uint32_t pixel) { return static_cast<int>(pixel); };
    const __m128i o = _mm_setr_epi32(word(reads.Old(i, a)), word(reads.Old(i + 1, b)), word(reads.Old(i + 2, c)),
                                     word(reads.Old(i + 3, d)));
    const __m128i n = _mm_setr_epi32(word(reads.New(i, a)), word(reads.New(i + 1, b)), word(reads.New(i + 2, c)),
                                     word(reads.New(i + 3, d)));
    const __m128i low = mix(_mm_unpacklo_epi8(o, zero), _mm_unpacklo_epi8(n, zero));
    const __m128i high = mix(_mm_unpackhi_epi8(o, zero), _mm_unpackhi_epi8(n, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + i), _mm_and_si128(_mm_packus_epi16(low, high), colour));
  }
  BlendEach(reads, destination, job.level, i, count);
}

}  // namespace

void CRippleReadOffsets::Prepare(const std::uint16_t* wave, std::int32_t entries, std::int32_t old_stride,
                                 std::int32_t new_stride) {
  if (wave == wave_ && entries == entries_ && old_stride == old_stride_ && new_stride == new_stride_) return;
  wave_ = wave;
  entries_ = entries;
  old_stride_ = old_stride;
  new_stride_ = new_stride;
  columns_ = {};
  rows_ = {};
  for (std::int32_t e = 0; e < entries; ++e) {
    const Displacement d = Decode(wave[e]);
    columns_ = {std::min(columns_.low, d.dx), std::max(columns_.high, d.dx)};
    rows_ = {std::min(rows_.low, d.dy), std::max(rows_.high, d.dy)};
  }
  for (const bool forward : {false, true}) {
    for (const bool above : {false, true}) {
      std::vector<RippleReadOffset>& table = tables_[(forward ? 2 : 0) + (above ? 1 : 0)];
      table.resize(static_cast<std::size_t>(entries));
      for (std::int32_t e = 0; e < entries; ++e) {
        const Displacement d = Decode(wave[e]);
        const std::int32_t rows = above ? d.dy : -d.dy;
        const std::int32_t columns = forward ? -d.dx : d.dx;
        table[static_cast<std::size_t>(e)] = {rows * old_stride + columns, rows * new_stride + columns};
      }
    }
  }
}

void RippleRowForwardEdge(const RippleRowJob& job) { EdgeRow<true>(job); }
void RippleRowBackwardEdge(const RippleRowJob& job) { EdgeRow<false>(job); }
void RippleRowForward(const RippleRowJob& job) { FastRow<true>(job); }
void RippleRowBackward(const RippleRowJob& job) { FastRow<false>(job); }
void RippleRowForwardVector(const RippleRowJob& job) { FastRowVector<true>(job); }
void RippleRowBackwardVector(const RippleRowJob& job) { FastRowVector<false>(job); }
void StartUpRipple() {
  g_RippleKernel = g_CpuHasMmx != 0 ? RippleKernel{"ripple", &RippleRowForwardVector, &RippleRowBackwardVector}
                                    : RippleKernel{"ripple", &RippleRowForward, &RippleRowBackward};
}

void CleanUpRipple() { g_RippleTables.Clear(); }
