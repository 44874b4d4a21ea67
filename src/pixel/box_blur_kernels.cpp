#include "pixel/box_blur_kernels.h"

#include <algorithm>
#include <array>

#include "pixel/kernel_walk.h"
#include "pixel/weighted_pixel.h"

namespace {

// Running sums of the four channels of a window, kept one per channel and 64 bits wide so that
// no radius makes them spill into each other.
struct WindowSums {
  std::array<uint64_t, 4> channel{};

  void Add(uint32_t pixel) {
    for (size_t i = 0; i < 4; ++i) channel[i] += (pixel >> (8 * i)) & 0xFF;
  }
  void Remove(uint32_t pixel) {
    for (size_t i = 0; i < 4; ++i) channel[i] -= (pixel >> (8 * i)) & 0xFF;
  }
  uint32_t Average(uint64_t reciprocal) const {
    uint32_t pixel = 0;
    for (size_t i = 0; i < 4; ++i) pixel |= static_cast<uint32_t>((channel[i] * reciprocal + 32768) >> 16) << (8 * i);
    return pixel;
  }
};

// finish(destination pixel, blurred pixel) gives the pixel written.
template <typename Finish>
void BoxBlur(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width, int32_t height,
             int32_t left_available, int32_t right_available, int32_t radius, Finish finish) {
  if (right_available < 1) return;
  const int64_t r = std::max(0, radius);
  const int64_t first = -std::min<int64_t>(std::max(0, left_available), r);
  const int64_t last = int64_t{right_available} - 1;
  const uint64_t reciprocal = 65536 / static_cast<uint64_t>(2 * r + 1);
  kernel_walk::ForEachRowOfPlanes(
      width, height,
      [&](int32_t, uint32_t* d, const uint32_t* s) {
        const auto at = [&](int64_t position) { return s[std::clamp(position, first, last)]; };
        WindowSums sums;
        for (int64_t position = -r; position <= r; ++position) sums.Add(at(position));
        for (int32_t x = 0; x < width; ++x) {
          d[x] = finish(d[x], sums.Average(reciprocal));
          sums.Remove(at(x - r));
          sums.Add(at(x + r + 1));
        }
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
