#include "pixel/kernels/smooth_mosaic_kernels.h"

#include <algorithm>
#include <memory>
#include <new>
#include <utility>

#include "pixel/kernels/kernel_walk.h"

using kernel_walk::OffsetBytes;

namespace {

// Weighted sums of 32-bit samples, red and blue in one word and green in another (no channel
// sum passes 8 x 255, so none reaches its neighbour), taken after a sample mask; the result gets
// a bias added to each channel. The alpha byte of the result is 0.
struct PackedSum {
  uint32_t sample_mask;
  uint32_t bias;
  uint32_t red_blue = 0;
  uint32_t green = 0;

  void Add(uint32_t pixel, uint32_t weight) {
    pixel &= sample_mask;
    red_blue += (pixel & 0xFF00FF) * weight;
    green += (pixel & 0xFF00) * weight;
  }
  uint32_t Result(int shift) const { return (((red_blue >> shift) & 0xFF00FF) | ((green >> shift) & 0xFF00)) + bias; }
};

struct ByteSum {
  uint32_t sum = 0;
  void Add(uint8_t value, uint32_t weight) { sum += value * weight; }
  uint8_t Result(int shift) const { return static_cast<uint8_t>(sum >> shift); }
};

// One output pixel from the pixel s and whichever of its neighbours exist (null where the pixel
// lies on that edge): inside (a + b + 2 (l + s + r)) / 8, on an edge (s + three neighbours) / 4,
// in a corner (2 s + two neighbours) / 4.
template <typename T, typename Sum>
T Stencil(T s, const T* above, const T* below, const T* left, const T* right, Sum sum) {
  if (above != nullptr && below != nullptr && left != nullptr && right != nullptr) {
    sum.Add(*above, 1);
    sum.Add(*below, 1);
    sum.Add(*left, 2);
    sum.Add(s, 2);
    sum.Add(*right, 2);
    return static_cast<T>(sum.Result(3));
  }
  uint32_t present = 0;
  for (const T* neighbour : {above, below, left, right}) {
    if (neighbour == nullptr) continue;
    sum.Add(*neighbour, 1);
    ++present;
  }
  sum.Add(s, present == 3 ? 1 : 2);
  return static_cast<T>(sum.Result(2));
}

template <typename T, typename Sum>
uint32_t Smooth(T* pixels, int32_t pitch, int32_t width, int32_t height, const Sum& empty) {
  const size_t row_length = static_cast<size_t>(width);
  std::unique_ptr<T[]> rows(new (std::nothrow) T[2 * row_length]);
  if (!rows) return 2;
  T* previous = rows.get();
  T* current = rows.get() + row_length;
  for (int32_t y = 0; y < height; ++y) {
    T* row = OffsetBytes(pixels, intptr_t{y} * pitch);
    const T* above = y > 0 ? previous : nullptr;
    const T* below = y + 1 < height ? OffsetBytes(pixels, intptr_t{y + 1} * pitch) : nullptr;
    std::copy(row, row + width, current);
    const auto at = [](const T* line, int32_t x) { return line != nullptr ? line + x : nullptr; };
    row[0] = Stencil<T>(current[0], at(above, 0), at(below, 0), nullptr, current + 1, empty);
    for (int32_t x = 1; x + 1 < width; ++x) {
      row[x] = Stencil<T>(current[x], at(above, x), at(below, x), current + x - 1, current + x + 1, empty);
    }
    row[width - 1] = Stencil<T>(current[width - 1], at(above, width - 1), at(below, width - 1), current + width - 2,
                             nullptr, empty);
    std::swap(previous, current);
  }
  return 0;
}

// The first block column's width and the first block row's height for an alignment mode.
std::pair<int32_t, int32_t> FirstBlock(int32_t width, int32_t height, int32_t n, uint8_t mode) {
  const auto full_when_zero = [n](int32_t size) { return size == 0 ? n : size; };
  const auto centred = [n](int32_t size) { return n < size ? ((size - n) / 2) % n : 0; };
  switch (mode) {
    case 1:
      return {n, n};
    case 2:
      return {full_when_zero(width % n), n};
    case 3:
      return {n, full_when_zero(height % n)};
    case 4:
      return {full_when_zero(width % n), full_when_zero(height % n)};
    default:
      return {full_when_zero(centred(width)), full_when_zero(centred(height))};
  }
}

template <typename T>
void Mosaic(T* pixels, int32_t pitch, int32_t width, int32_t height, int32_t n, uint8_t mode) {
  if (width < 3 || height < 3 || n < 2) return;
  const auto [first_width, first_height] = FirstBlock(width, height, n, mode);
  int64_t block_height = first_height;
  for (int64_t top = 0; top < height; top += block_height, block_height = n) {
    const int64_t rows = std::min<int64_t>(block_height, height - top);
    const T* first_row = OffsetBytes(pixels, static_cast<intptr_t>(top) * pitch);
    int64_t block_width = first_width;
    for (int64_t left = 0; left < width; left += block_width, block_width = n) {
      const int64_t columns = std::min<int64_t>(block_width, width - left);
      const T colour = first_row[left];
      for (int64_t r = 0; r < rows; ++r) {
        T* row = OffsetBytes(pixels, static_cast<intptr_t>(top + r) * pitch);
        std::fill(row + left, row + left + columns, colour);
      }
    }
  }
}

}  // namespace

uint32_t Smooth32(uint32_t* pixels, int32_t skip, int32_t pitch, int32_t width, int32_t height, uint8_t mode) {
  if (width < 4 || height < 4 || skip % 4 != 0 || pitch % 4 != 0) return 1;
  const PackedSum empty{mode < 2 ? 0xF8F8F8u : 0xFFFFFFu, mode == 1 ? 0x070707u : 0u};
  return Smooth(pixels, pitch, width, height, empty);
}

uint32_t Smooth8(uint8_t* pixels, int32_t, int32_t pitch, int32_t width, int32_t height) {
  if (width < 4 || height < 4) return 1;
  return Smooth(pixels, pitch, width, height, ByteSum{});
}

void Mosaic32(uint32_t* pixels, int32_t, int32_t pitch, int32_t width, int32_t height, int32_t block, uint8_t mode) {
  Mosaic(pixels, pitch, width, height, block, mode);
}

void Mosaic8(uint8_t* pixels, int32_t, int32_t pitch, int32_t width, int32_t height, int32_t block, uint8_t mode) {
  Mosaic(pixels, pitch, width, height, block, mode);
}
