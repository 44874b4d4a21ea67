#include "pixel/smooth_mosaic_kernels.h"

#include <algorithm>
#include <memory>
#include <new>
#include <utility>

#include "pixel/kernel_walk.h"

using kernel_walk::OffsetBytes;

namespace {

// How the samples of one channel are taken and the result finished.
struct SmoothChannels {
  int count;             // channels, from the low byte up
  uint32_t sample_mask;  // applied to every sample before summing
  uint32_t bias;         // added to the result
};

// One output pixel from the pixel s and whichever of its neighbours exist (null where the
// pixel lies on that edge).
template <typename T>
T Stencil(T s, const T* above, const T* below, const T* left, const T* right, const SmoothChannels& channels) {
  const T* neighbours[] = {above, below, left, right};
  const int present = static_cast<int>(std::count_if(std::begin(neighbours), std::end(neighbours),
                                                     [](const T* n) { return n != nullptr; }));
  uint32_t result = 0;
  for (int channel = 0; channel < channels.count; ++channel) {
    const int shift = 8 * channel;
    const auto sample = [&](T pixel) { return ((uint32_t{pixel} & channels.sample_mask) >> shift) & 0xFF; };
    uint32_t sum = 0;
    for (const T* neighbour : neighbours) sum += neighbour != nullptr ? sample(*neighbour) : 0;
    uint32_t value = 0;
    if (present == 4) {
      value = (sample(*above) + sample(*below) + 2 * (sample(*left) + sample(s) + sample(*right))) / 8;
    } else {
      value = (sum + (present == 3 ? 1 : 2) * sample(s)) / 4;
    }
    result |= value << shift;
  }
  return static_cast<T>(result + channels.bias);
}

template <typename T>
uint32_t Smooth(T* pixels, int32_t pitch, int32_t width, int32_t height, const SmoothChannels& channels) {
  const size_t row_length = static_cast<size_t>(width);
  std::unique_ptr<T[]> rows(new (std::nothrow) T[2 * row_length]);
  if (!rows) return 2;
  T* previous = rows.get();
  T* current = rows.get() + row_length;
  for (int32_t y = 0; y < height; ++y) {
    T* row = OffsetBytes(pixels, intptr_t{y} * pitch);
    const T* below = y + 1 < height ? OffsetBytes(pixels, intptr_t{y + 1} * pitch) : nullptr;
    std::copy(row, row + width, current);
    for (int32_t x = 0; x < width; ++x) {
      row[x] = Stencil(current[x], y > 0 ? previous + x : nullptr, below != nullptr ? below + x : nullptr,
                       x > 0 ? current + x - 1 : nullptr, x + 1 < width ? current + x + 1 : nullptr, channels);
    }
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
  SmoothChannels channels{3, 0xFFFFFF, 0};
  if (mode < 2) channels.sample_mask = 0xF8F8F8;
  if (mode == 1) channels.bias = 0x070707;
  return Smooth(pixels, pitch, width, height, channels);
}

uint32_t Smooth8(uint8_t* pixels, int32_t, int32_t pitch, int32_t width, int32_t height) {
  if (width < 4 || height < 4) return 1;
  return Smooth(pixels, pitch, width, height, SmoothChannels{1, 0xFF, 0});
}

void Mosaic32(uint32_t* pixels, int32_t, int32_t pitch, int32_t width, int32_t height, int32_t block, uint8_t mode) {
  Mosaic(pixels, pitch, width, height, block, mode);
}

void Mosaic8(uint8_t* pixels, int32_t, int32_t pitch, int32_t width, int32_t height, int32_t block, uint8_t mode) {
  Mosaic(pixels, pitch, width, height, block, mode);
}
