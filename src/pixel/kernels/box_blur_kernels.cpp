#include "pixel/kernels/box_blur_kernels.h"

#include <algorithm>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "pixel/kernels/kernel_walk.h"
#include "pixel/kernels/weighted_pixel.h"

namespace {

// Running sums of the four channels of a window: blue and red in one word, green and alpha in
// the other, each channel in a 32-bit half. A window whose sums could pass 32 bits has a
// reciprocal of 0 (it is wider than 65536 pixels), and every channel's sum times the reciprocal
// is at most 255 · 65536, so below that width no half ever carries into the other.
class WordSums {
 public:
  explicit WordSums(uint64_t reciprocal) : reciprocal_(reciprocal) {}

  void Add(uint32_t pixel) {
    blue_red_ += Spread(pixel);
    green_alpha_ += Spread(pixel >> 8);
  }
  void Remove(uint32_t pixel) {
    blue_red_ -= Spread(pixel);
    green_alpha_ -= Spread(pixel >> 8);
  }
  uint32_t Average() const {
    constexpr uint64_t kHalf = 32768 | (uint64_t{32768} << 32);
    const uint64_t br = blue_red_ * reciprocal_ + kHalf;
    const uint64_t ga = green_alpha_ * reciprocal_ + kHalf;
    return static_cast<uint32_t>(((br >> 16) & 0xFF) | ((ga >> 8) & 0xFF00) | ((br >> 32) & 0xFF0000) |
                                 ((ga >> 24) & 0xFF000000));
  }

 private:
  static uint64_t Spread(uint32_t two_channels) {
    return (two_channels & 0xFF) | (uint64_t{(two_channels >> 16) & 0xFF} << 32);
  }

  uint64_t reciprocal_;
  uint64_t blue_red_ = 0;
  uint64_t green_alpha_ = 0;
};

// The same sums in the 16-bit lanes of a vector, for windows of 3 to 257 pixels: 255 · 257
// still fits a lane, and the reciprocal is below 65536, so (sum · reciprocal + 32768) >> 16 is
// the high half of each lane's product plus the top bit of its low half.
class LaneSums {
 public:
  explicit LaneSums(uint64_t reciprocal) : reciprocal_(_mm_set1_epi16(static_cast<int16_t>(reciprocal))) {}

  void Add(uint32_t pixel) { sums_ = _mm_add_epi16(sums_, Spread(pixel)); }
  void Remove(uint32_t pixel) { sums_ = _mm_sub_epi16(sums_, Spread(pixel)); }
  uint32_t Average() const {
    const __m128i high = _mm_mulhi_epu16(sums_, reciprocal_);
    const __m128i rounding = _mm_srli_epi16(_mm_mullo_epi16(sums_, reciprocal_), 15);
    const __m128i average = _mm_add_epi16(high, rounding);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(average, average)));
  }

 private:
  static __m128i Spread(uint32_t pixel) {
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(pixel)), _mm_setzero_si128());
  }

  __m128i reciprocal_;
  __m128i sums_ = _mm_setzero_si128();
};

// The widest radius whose window the lanes hold.
constexpr int64_t kLaneRadius = 128;

struct BlurGeometry {
  int64_t r;
  int64_t first;  // the clamp's ends: the first and the last position read
  int64_t last;
  uint64_t reciprocal;
  int32_t inner_begin;  // the columns whose window lies within [first, last]
  int32_t inner_end;
};

// One row: finish(destination pixel, blurred pixel) gives the pixel written. Only the columns
// whose window reaches past the pixels available read through the clamp.
template <typename Sums, typename Finish>
void BlurRow(uint32_t* d, const uint32_t* s, int32_t width, const BlurGeometry& g, Finish finish) {
  const auto at = [&](int64_t position) { return s[std::clamp(position, g.first, g.last)]; };
  Sums sums(g.reciprocal);
  for (int64_t position = -g.r; position <= g.r; ++position) sums.Add(at(position));
  const auto clamped = [&](int32_t from, int32_t to) {
    for (int32_t x = from; x < to; ++x) {
      d[x] = finish(d[x], sums.Average());
      sums.Remove(at(x - g.r));
      sums.Add(at(x + g.r + 1));
    }
  };
  clamped(0, g.inner_begin);
  for (int32_t x = g.inner_begin; x < g.inner_end; ++x) {
    d[x] = finish(d[x], sums.Average());
    sums.Remove(s[x - g.r]);
    sums.Add(s[x + g.r + 1]);
  }
  clamped(g.inner_end, width);
}

// What the blurred pixel does to the destination pixel, one pixel or four at a time.
struct Plain {
  uint32_t One(uint32_t, uint32_t blurred) const { return blurred; }
};

struct AtLevel {
  uint32_t weight;
  weighted_pixel::QuadWeights weights = weighted_pixel::SpreadOne(weight);
  uint32_t One(uint32_t d, uint32_t blurred) const { return weighted_pixel::Blend(d, blurred, weight); }
  __m128i Four(__m128i d, __m128i blurred) const { return weighted_pixel::BlendFour(d, blurred, weights); }
};

struct ByBlurredAlpha {
  const uint8_t* level_row;
  uint32_t One(uint32_t d, uint32_t blurred) const {
    return weighted_pixel::Blend(d, blurred, weighted_pixel::Weight(level_row[blurred >> 24]));
  }
  __m128i Four(__m128i d, __m128i blurred) const {
    const auto a = weighted_pixel::Alphas(blurred);
    return weighted_pixel::BlendFour(
        d, blurred, weighted_pixel::TableWeights({level_row[a[0]], level_row[a[1]], level_row[a[2]], level_row[a[3]]}));
  }
};

// Whether the destination row lies over the source pixels the row's windows read: the blurred
// pixels must then be written as the walk goes, each before the reads after it.
bool Overlaps(const uint32_t* d, const uint32_t* s, int32_t width, const BlurGeometry& g) {
  const auto address = [](const uint32_t* p, int64_t offset) { return reinterpret_cast<std::uintptr_t>(p) + offset * 4; };
  return address(d, 0) < address(s, g.last + 1) && address(s, g.first) < address(d, width);
}

template <typename Finish>
void BoxBlur(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width, int32_t height,
             int32_t left_available, int32_t right_available, int32_t radius, Finish finish) {
  if (right_available < 1) return;
  BlurGeometry g;
  g.r = std::max(0, radius);
  g.first = -std::min<int64_t>(std::max(0, left_available), g.r);
  g.last = int64_t{right_available} - 1;
  g.reciprocal = 65536 / static_cast<uint64_t>(2 * g.r + 1);
  g.inner_begin = static_cast<int32_t>(std::clamp<int64_t>(g.first + g.r, 0, width));
  g.inner_end = static_cast<int32_t>(std::clamp<int64_t>(g.last - g.r, g.inner_begin, width));
  const auto finish_one = [&finish](uint32_t d, uint32_t blurred) { return finish.One(d, blurred); };
  const auto blur_row = [&](uint32_t* d, const uint32_t* s, auto finish_pixel) {
    if (g.r >= 1 && g.r <= kLaneRadius) {
      BlurRow<LaneSums>(d, s, width, g, finish_pixel);
    } else {
      BlurRow<WordSums>(d, s, width, g, finish_pixel);
    }
  };
  // A blend finishes a whole row of blurred pixels four at a time, after the walk.
  constexpr bool kBlendsRows = !std::is_same_v<Finish, Plain>;
  std::vector<uint32_t> blurred(kBlendsRows ? static_cast<size_t>(std::max(width, 0)) : 0);
  kernel_walk::ForEachRowOfPlanes(
      width, height,
      [&](int32_t, uint32_t* d, const uint32_t* s) {
        if (g.reciprocal == 0) {
          // A window wider than 65536 pixels averages to 0 whatever it holds.
          for (int32_t x = 0; x < width; ++x) d[x] = finish.One(d[x], 0);
          return;
        }
        if constexpr (kBlendsRows) {
          if (!Overlaps(d, s, width, g)) {
            blur_row(blurred.data(), s, [](uint32_t, uint32_t average) { return average; });
            kernel_walk::SplitRow(
                width, [&](int32_t x) { d[x] = finish.One(d[x], blurred[static_cast<size_t>(x)]); },
                [&](int32_t x) {
                  kernel_walk::StoreFour(
                      d + x, finish.Four(kernel_walk::LoadFour(d + x), kernel_walk::LoadFour(blurred.data() + x)));
                });
            return;
          }
        }
        blur_row(d, s, finish_one);
      },
      kernel_walk::SkipPlane(dst, dst_skip, width), kernel_walk::SkipPlane(src, src_skip, width));
}

}  // namespace

void BoxBlurH32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width, int32_t height,
                int32_t left_available, int32_t right_available, int32_t radius) {
  BoxBlur(dst, src, dst_skip, src_skip, width, height, left_available, right_available, radius, Plain{});
}

void BoxBlurH32Level(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                     int32_t height, int32_t left_available, int32_t right_available, int32_t radius, uint8_t level) {
  BoxBlur(dst, src, dst_skip, src_skip, width, height, left_available, right_available, radius,
          AtLevel{weighted_pixel::Weight(level)});
}

void BoxBlurH32AlphaLevel(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                          int32_t height, int32_t left_available, int32_t right_available, int32_t radius,
                          const uint8_t* level_row) {
  BoxBlur(dst, src, dst_skip, src_skip, width, height, left_available, right_available, radius,
          ByBlurredAlpha{level_row});
}
