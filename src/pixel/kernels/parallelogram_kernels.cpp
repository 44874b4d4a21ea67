#include "pixel/kernels/parallelogram_kernels.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <type_traits>
#include <vector>

#include "pixel/kernels/alpha_level_kernels.h"
#include "pixel/kernels/avx2_kernels.h"
#include "pixel/kernels/kernel_walk.h"
#include "pixel/kernels/mapped_pixel_rules.h"
#include "pixel/kernels/parallelogram_vector_copy.h"
#include "pixel/kernels/pixel_kernel_choice.h"

namespace {

constexpr int kFractionBits = 32;
constexpr double kOne = 4294967296.0;
// The largest step, in source pixels per destination pixel, that the fixed-point walk takes.
constexpr double kMaxStep = 16777216.0;

// One source coordinate, in source pixels, as a linear function of the destination point,
// counted from the point where the source rectangle's top-left corner lands.
struct SourceAxis {
  double origin_x = 0.0;
  double origin_y = 0.0;
  double at_origin = 0.0;
  double per_x = 0.0;
  double per_y = 0.0;
  // The source pixels that may be read: [low, high).
  int64_t low = 0;
  int64_t high = 0;

  double AtRow(double y) const { return at_origin + per_y * (y - origin_y); }
  double At(double x, double y) const { return AtRow(y) + per_x * (x - origin_x); }
  bool Holds(int64_t fixed) const { return fixed >= (low << kFractionBits) && fixed < (high << kFractionBits); }

  // Narrows [from, to] to the centres x on row centre y whose coordinate lies in [low, high).
  void Narrow(double y, double& from, double& to) const {
    const double at_row = AtRow(y);
    if (per_x == 0.0) {
      if (!(at_row >= static_cast<double>(low) && at_row < static_cast<double>(high))) to = -HUGE_VAL;
      return;
    }
    double a = origin_x + (static_cast<double>(low) - at_row) / per_x;
    double b = origin_x + (static_cast<double>(high) - at_row) / per_x;
    if (per_x < 0.0) std::swap(a, b);
    from = std::max(from, a);
    to = std::min(to, b);
  }
};

// The inverse of the corners' map, with the sample limits: false when nothing can be drawn.
bool SourceAxes(const Parallelogram& at, const plat::Rect& sample, SourceAxis& u, SourceAxis& v) {
  const plat::Rect& source = at.source;
  const double width = static_cast<double>(source.right) - source.left;
  const double height = static_cast<double>(source.bottom) - source.top;
  if (width <= 0.0 || height <= 0.0) return false;
  const ParallelogramPoint& origin = at.corners[0];
  // The destination steps of one source pixel along the rectangle's rows (a) and columns (b).
  const double ax = (at.corners[1].x - origin.x) / width;
  const double ay = (at.corners[1].y - origin.y) / width;
  const double bx = (at.corners[2].x - origin.x) / height;
  const double by = (at.corners[2].y - origin.y) / height;
  const double det = ax * by - bx * ay;
  if (det == 0.0 || !std::isfinite(det) || !std::isfinite(origin.x) || !std::isfinite(origin.y)) return false;
  u.per_x = by / det;
  u.per_y = -bx / det;
  v.per_x = -ay / det;
  v.per_y = ax / det;
  u.at_origin = source.left;
  v.at_origin = source.top;
  for (SourceAxis* axis : {&u, &v}) {
    axis->origin_x = origin.x;
    axis->origin_y = origin.y;
    if (!std::isfinite(axis->per_x) || !std::isfinite(axis->per_y)) return false;
  }
  if (std::abs(u.per_x) > kMaxStep || std::abs(v.per_x) > kMaxStep) return false;
  u.low = std::max(source.left, sample.left);
  u.high = std::min(source.right, sample.right);
  v.low = std::max(source.top, sample.top);
  v.high = std::min(source.bottom, sample.bottom);
  return u.low < u.high && v.low < v.high;
}

// A pixel index from a position, held inside [low, high] first (positions may be infinite; a
// position that is not a number gives low).
int64_t PixelIndex(double position, int64_t low, int64_t high) {
  if (std::isnan(position)) return low;
  return static_cast<int64_t>(std::clamp(position, static_cast<double>(low), static_cast<double>(high)));
}

using mapped_pixel::SampledRowBlend;

// The plain copy of the vector member: each covered run read a step of pixels at a time from
// the evenly spaced rows.
struct VectorCopy {
  EvenRows rows;
};

// The high 32 bits of the two 64-bit lanes of a, then of b: the whole parts of four positions.
__m128i WholeParts(__m128i a, __m128i b) {
  return _mm_unpacklo_epi64(_mm_shuffle_epi32(a, _MM_SHUFFLE(3, 1, 3, 1)), _mm_shuffle_epi32(b, _MM_SHUFFLE(3, 1, 3, 1)));
}

// The low 32 bits of the products of the 32-bit lanes (SSE2 multiplies only every other lane).
__m128i MultiplyLow(__m128i a, __m128i b) {
  const __m128i even = _mm_mul_epu32(a, b);
  const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(a, 32), _mm_srli_epi64(b, 32));
  return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, _MM_SHUFFLE(0, 0, 2, 0)),
                            _mm_shuffle_epi32(odd, _MM_SHUFFLE(0, 0, 2, 0)));
}

// Four pixels a step: their positions stepped in 64-bit lanes and their byte offsets worked out
// in 32-bit lanes; with no gather in SSE2, each pixel is then read on its own.
void CopyMappedRunSse2(const MappedRun& run, const EvenRows& rows) {
  const __m128i du = _mm_set1_epi64x(run.du);
  const __m128i dv = _mm_set1_epi64x(run.dv);
  __m128i u_low = _mm_set_epi64x(run.u + run.du, run.u);
  __m128i v_low = _mm_set_epi64x(run.v + run.dv, run.v);
  __m128i u_high = _mm_add_epi64(u_low, _mm_add_epi64(du, du));
  __m128i v_high = _mm_add_epi64(v_low, _mm_add_epi64(dv, dv));
  const __m128i four_du = _mm_set1_epi64x(4 * run.du);
  const __m128i four_dv = _mm_set1_epi64x(4 * run.dv);
  const __m128i pitch = _mm_set1_epi32(static_cast<int>(rows.pitch));
  const __m128i first = _mm_set1_epi32(static_cast<int>(rows.first));
  int64_t k = 0;
  for (; k + 4 <= run.count; k += 4) {
    const __m128i row_bytes = MultiplyLow(_mm_sub_epi32(WholeParts(v_low, v_high), first), pitch);
    const __m128i offsets = _mm_add_epi32(row_bytes, _mm_slli_epi32(WholeParts(u_low, u_high), 2));
    alignas(16) int32_t lanes[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), offsets);
    const auto pixel = [&](int lane) {
      return _mm_cvtsi32_si128(*reinterpret_cast<const int*>(rows.base + lanes[lane]));
    };
    const __m128i four = _mm_unpacklo_epi64(_mm_unpacklo_epi32(pixel(0), pixel(1)), _mm_unpacklo_epi32(pixel(2), pixel(3)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(run.to + k), four);
    u_low = _mm_add_epi64(u_low, four_du);
    u_high = _mm_add_epi64(u_high, four_du);
    v_low = _mm_add_epi64(v_low, four_dv);
    v_high = _mm_add_epi64(v_high, four_dv);
  }
  for (; k < run.count; ++k) run.to[k] = run.Sample(rows, k);
}

// The rows that the axes let the walk read, as evenly spaced rows when they are so (a picture's
// rows always are) and every pixel of them lies within the 32-bit range of bytes from the first.
std::optional<EvenRows> EvenlySpaced(uint8_t* const* rows, const SourceAxis& u, const SourceAxis& v) {
  const auto address = [rows](int64_t row) { return static_cast<int64_t>(reinterpret_cast<uintptr_t>(rows[row])); };
  const int64_t pitch = v.high - v.low > 1 ? address(v.low + 1) - address(v.low) : 0;
  for (int64_t row = v.low + 2; row < v.high; ++row) {
    if (address(row) - address(row - 1) != pitch) return std::nullopt;
  }
  constexpr int64_t kReach = std::numeric_limits<int32_t>::max();
  const int64_t rows_span = v.high - v.low - 1;
  if (u.low < 0 || std::abs(pitch) > kReach || rows_span > kReach / std::max<int64_t>(std::abs(pitch), 1) ||
      std::abs(pitch) * rows_span + u.high * 4 > kReach) {
    return std::nullopt;
  }
  return EvenRows{rows[v.low], static_cast<intptr_t>(pitch), v.low};
}

template <typename PixelFn>
class ParallelogramWalk {
 public:
  ParallelogramWalk(const QuadMapTarget& dst, uint8_t* const* src_rows, const plat::Rect& clip, PixelFn pixel)
      : dst_(dst), src_rows_(src_rows), clip_(clip), pixel_(pixel) {}

  plat::Rect Run(const Parallelogram& at, const SourceAxis& u, const SourceAxis& v) {
    const auto& p = at.corners;
    const double ys[] = {p[0].y, p[1].y, p[2].y, p[1].y + p[2].y - p[0].y};
    const auto [top, bottom] = std::minmax_element(std::begin(ys), std::end(ys));
    // The rows whose centres lie between the top and the bottom corner, and one more each side.
    const int64_t first = PixelIndex(std::ceil(*top - 0.5) - 1.0, clip_.top, clip_.bottom);
    const int64_t end = PixelIndex(std::floor(*bottom - 0.5) + 2.0, clip_.top, clip_.bottom);
    plat::Rect drawn{clip_.right, clip_.bottom, clip_.left, clip_.top};
    for (int64_t y = first; y < end; ++y) {
      const auto [from, to] = DrawRow(y, u, v);
      if (from >= to) continue;
      drawn.left = std::min(drawn.left, static_cast<int32_t>(from));
      drawn.right = std::max(drawn.right, static_cast<int32_t>(to));
      drawn.top = std::min(drawn.top, static_cast<int32_t>(y));
      drawn.bottom = static_cast<int32_t>(y + 1);
    }
    if (drawn.left >= drawn.right) return {};
    return drawn;
  }

 private:
  // Draws the covered pixels of row y; returns their columns [from, to).
  std::pair<int64_t, int64_t> DrawRow(int64_t y, const SourceAxis& u, const SourceAxis& v) {
    const double centre_y = static_cast<double>(y) + 0.5;
    double from_x = -HUGE_VAL;
    double to_x = HUGE_VAL;
    u.Narrow(centre_y, from_x, to_x);
    v.Narrow(centre_y, from_x, to_x);
    if (!(from_x <= to_x)) return {0, 0};
    // The columns found in floating point, one more each side; the fixed-point walk decides.
    int64_t from = PixelIndex(std::ceil(from_x - 0.5) - 1.0, clip_.left, clip_.right);
    int64_t last = PixelIndex(std::floor(to_x - 0.5) + 1.0, clip_.left - 1, clip_.right - 1);
    if (from > last) return {0, 0};
    const int64_t du = std::llround(u.per_x * kOne);
    const int64_t dv = std::llround(v.per_x * kOne);
    const double centre_x = static_cast<double>(from) + 0.5;
    int64_t su = std::llround(u.At(centre_x, centre_y) * kOne);
    int64_t sv = std::llround(v.At(centre_x, centre_y) * kOne);
    // Both coordinates are linear along the row, so the covered pixels are one run.
    while (from <= last && !(u.Holds(su) && v.Holds(sv))) {
      ++from;
      su += du;
      sv += dv;
    }
    while (last >= from && !(u.Holds(su + du * (last - from)) && v.Holds(sv + dv * (last - from)))) --last;
    if (from > last) return {0, 0};
    uint32_t* row = kernel_walk::OffsetBytes(dst_.pixels, static_cast<intptr_t>(y) * dst_.pitch);
    if constexpr (std::is_same_v<PixelFn, VectorCopy>) {
      (g_CpuHasAvx2 != 0 ? avx2_kernels::CopyMappedRun : CopyMappedRunSse2)({row + from, last - from + 1, su, sv, du, dv},
                                                                            pixel_.rows);
    } else if constexpr (std::is_same_v<PixelFn, SampledRowBlend>) {
      samples_.resize(static_cast<size_t>(last - from + 1));
      uint32_t* sample = samples_.data() - from;
      Sample(from, last, su, sv, du, dv, [sample](int64_t x, uint32_t s) { sample[x] = s; });
      pixel_.kernel(row + from, samples_.data(), 0, 0, static_cast<int32_t>(last - from + 1), 1, pixel_.level_row);
    } else {
      Sample(from, last, su, sv, du, dv, [&](int64_t x, uint32_t s) { row[x] = pixel_(row[x], s); });
    }
    return {from, last + 1};
  }

  // Calls take(x, source pixel) for the columns from to last.
  template <typename Take>
  void Sample(int64_t from, int64_t last, int64_t su, int64_t sv, int64_t du, int64_t dv, Take take) const {
    if (dv == 0) {
      // A row that reads one source row (no turn, or a half turn): its address is taken once.
      const auto* source_row = reinterpret_cast<const uint32_t*>(src_rows_[sv >> kFractionBits]);
      for (int64_t x = from; x <= last; ++x, su += du) take(x, source_row[su >> kFractionBits]);
    } else {
      for (int64_t x = from; x <= last; ++x, su += du, sv += dv) {
        const auto* source_row = reinterpret_cast<const uint32_t*>(src_rows_[sv >> kFractionBits]);
        take(x, source_row[su >> kFractionBits]);
      }
    }
  }

  const QuadMapTarget& dst_;
  uint8_t* const* src_rows_;
  plat::Rect clip_;
  PixelFn pixel_;
  std::vector<uint32_t> samples_;
};

// pixel(rows, u, v) gives the pixel rule of the walk.
template <typename PixelOf>
uint32_t MapParallelogram(const QuadMapTarget& dst, QuadMapSource& src, const Parallelogram& at,
                          const plat::Rect& clip, plat::Rect& drawn, PixelOf pixel_of) {
  drawn = {};
  uint8_t* const* rows = src.Rows();
  if (rows == nullptr) return 1;
  const plat::Rect visible = dst.Visible(clip);
  if (visible.left >= visible.right || visible.top >= visible.bottom) return 0;
  SourceAxis u;
  SourceAxis v;
  if (!SourceAxes(at, src.SampleRect(), u, v)) return 0;
  const auto walk = [&](auto pixel) { drawn = ParallelogramWalk(dst, rows, visible, pixel).Run(at, u, v); };
  pixel_of(rows, u, v, walk);
  return 0;
}

// A walk with one rule whatever the rows.
template <typename PixelFn>
auto WithRule(PixelFn pixel) {
  return [pixel](uint8_t* const*, const SourceAxis&, const SourceAxis&, auto walk) { walk(pixel); };
}

}  // namespace

uint32_t MapParallelogram32(const QuadMapTarget& dst, QuadMapSource& src, const Parallelogram& at,
                            const plat::Rect& clip, plat::Rect& drawn) {
  return MapParallelogram(dst, src, at, clip, drawn, WithRule(mapped_pixel::Copy{}));
}

uint32_t MapParallelogram32Mmx(const QuadMapTarget& dst, QuadMapSource& src, const Parallelogram& at,
                               const plat::Rect& clip, plat::Rect& drawn) {
  return MapParallelogram(dst, src, at, clip, drawn,
                          [](uint8_t* const* rows, const SourceAxis& u, const SourceAxis& v, auto walk) {
                            if (const std::optional<EvenRows> even = EvenlySpaced(rows, u, v)) {
                              walk(VectorCopy{*even});
                            } else {
                              walk(mapped_pixel::Copy{});
                            }
                          });
}

uint32_t MapParallelogram32Key(const QuadMapTarget& dst, QuadMapSource& src, const Parallelogram& at,
                               const plat::Rect& clip, plat::Rect& drawn, uint32_t key) {
  return MapParallelogram(dst, src, at, clip, drawn, WithRule(mapped_pixel::KeyedCopy{key}));
}

uint32_t MapParallelogramAlphaLevel32(const QuadMapTarget& dst, QuadMapSource& src, const Parallelogram& at,
                                      const plat::Rect& clip, plat::Rect& drawn, const uint8_t* level_row) {
  return MapParallelogram(dst, src, at, clip, drawn, WithRule(mapped_pixel::AlphaLevel{level_row}));
}

uint32_t MapParallelogramAlphaLevel32Mmx(const QuadMapTarget& dst, QuadMapSource& src, const Parallelogram& at,
                                         const plat::Rect& clip, plat::Rect& drawn, const uint8_t* level_row) {
  return MapParallelogram(dst, src, at, clip, drawn, WithRule(SampledRowBlend{BlendAlphaLevel32Mmx, level_row}));
}
