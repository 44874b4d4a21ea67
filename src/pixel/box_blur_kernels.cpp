#include "pixel/box_blur_kernels.h"

#include <algorithm>

#include "pixel/kernel_walk.h"
#include "pixel/weighted_pixel.h"

namespace {

// Running sums of the four channels of a window: blue and red in one word, green and alpha in
// the other, each channel in a 32-bit half. A window whose sums could pass 32 bits has a
// reciprocal of 0 (it is wider than 65536 pixels), and every channel's sum times the reciprocal
// is at most 255 · 65536, so below that width no half ever carries into the other.
struct WindowSums {
  uint64_t blue_red = 0;
  uint64_t green_alpha = 0;

  static uint64_t Spread(uint32_t two_channels) {
    return (two_channels & 0xFF) | (uint64_t{(two_channels >> 16) & 0xFF} << 32);
  }
  void Add(uint32_t pixel) {
    blue_red += Spread(pixel);
    green_alpha += Spread(pixel >> 8);
  }
  void Remove(uint32_t pixel) {
    blue_red -= Spread(pixel);
    green_alpha -= Spread(pixel >> 8);
  }
  uint32_t Average(uint64_t reciprocal) const {
    constexpr uint64_t kHalf = 32768 | (uint64_t{32768} << 32);
    const uint64_t br = blue_red * reciprocal + kHalf;
    const uint64_t ga = green_alpha * reciprocal + kHalf;
    return static_cast<uint32_t>(((br >> 16) & 0xFF) | ((ga >> 8) & 0xFF00) | ((br >> 32) & 0xFF0000) |
                                 ((ga >> 24) & 0xFF000000));
  }
};

// finish(destination pixel, blurred pixel) gives the pixel written. Only the columns whose
// window reaches past the pixels available read through the clamp.
template <typename Finish>
void BoxBlur(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width, int32_t height,
             int32_t left_available, int32_t right_available, int32_t radius, Finish finish) {
  if (right_available < 1) return;
  const int64_t r = std::max(0, radius);
  const int64_t first = -std::min<int64_t>(std::max(0, left_available), r);
  const int64_t last = int64_t{right_available} - 1;
  const uint64_t reciprocal = 65536 / static_cast<uint64_t>(2 * r + 1);
  const int32_t inner_begin = static_cast<int32_t>(std::clamp<int64_t>(first + r, 0, width));
  const int32_t inner_end = static_cast<int32_t>(std::clamp<int64_t>(last - r, inner_begin, width));
  kernel_walk::ForEachRowOfPlanes(
      width, height,
      [&](int32_t, uint32_t* d, const uint32_t* s) {
        // A window wider than 65536 pixels averages to 0 whatever it holds.
        if (reciprocal == 0) {
          for (int32_t x = 0; x < width; ++x) d[x] = finish(d[x], 0);
          return;
        }
        const auto at = [&](int64_t position) { return s[std::clamp(position, first, last)]; };
        WindowSums sums;
        for (int64_t position = -r; position <= r; ++position) sums.Add(at(position));
        const auto clamped = [&](int32_t from, int32_t to) {
          for (int32_t x = from; x < to; ++x) {
            d[x] = finish(d[x], sums.Average(reciprocal));
            sums.Remove(at(x - r));
            sums.Add(at(x + r + 1));
          }
        };
        clamped(0, inner_begin);
        for (int32_t x = inner_begin; x < inner_end; ++x) {
          d[x] = finish(d[x], sums.Average(reciprocal));
          sums.Remove(s[x - r]);
          sums.Add(s[x + r + 1]);
        }
        clamped(inner_end, width);
      },
      kernel_walk::SkipPlane(dst, dst_skip, width), kernel_walk::SkipPlane(src, src_skip, width));
}

}  // namespace

void BoxBlurH32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width, int32_t height,
                int32_t left_available, int32_t right_available, int32_t radius) {
  BoxBlur(dst, src, dst_skip, src_skip, width, height, left_available, right_available, radius,
          [](uint32_t, uint32_t blurred) { return blurred; });
}

void BoxBlurH32Level(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                     int32_t height, int32_t left_available, int32_t right_available, int32_t radius, uint8_t level) {
  const uint32_t weight = weighted_pixel::Weight(level);
  BoxBlur(dst, src, dst_skip, src_skip, width, height, left_available, right_available, radius,
          [weight](uint32_t d, uint32_t blurred) { return weighted_pixel::Blend(d, blurred, weight); });
}

void BoxBlurH32AlphaLevel(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                          int32_t height, int32_t left_available, int32_t right_available, int32_t radius,
                          const uint8_t* level_row) {
  BoxBlur(dst, src, dst_skip, src_skip, width, height, left_available, right_available, radius,
          [level_row](uint32_t d, uint32_t blurred) {
            return weighted_pixel::Blend(d, blurred, weighted_pixel::Weight(level_row[blurred >> 24]));
          });
}
