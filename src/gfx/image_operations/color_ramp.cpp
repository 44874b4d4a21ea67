#include "gfx/image_operations/color_ramp.h"

#include <new>

#include "pixel/kernels/pixel_tables.h"

namespace {

// A + w (B - A) / 256 with the weight of the accumulator's top byte (0 at the start, 256 at 255).
uint32_t Interpolate(uint32_t a, uint32_t b, uint32_t accumulator) {
  const int32_t w = g_PixelTables.weight[accumulator >> 24][0];
  return static_cast<uint32_t>(((w * (static_cast<int32_t>(b) - static_cast<int32_t>(a))) >> 8) +
                               static_cast<int32_t>(a));
}

}  // namespace

uint32_t CColorRamp::Build(uint32_t count, uint32_t colour_a, uint32_t colour_b, uint8_t depth) {
  Free();
  if (count < 2) return 1;
  if (depth != 8 && depth != 32) return 3;
  const uint32_t step = static_cast<uint32_t>((uint64_t{1} << 32) / count);
  if (depth == 8) {
    bytes_.reset(new (std::nothrow) uint8_t[count]);
    if (!bytes_) return 2;
    const uint32_t a = colour_a & 0xFF;
    const uint32_t b = colour_b & 0xFF;
    uint32_t accumulator = 0;
    for (uint32_t i = 0; i < count; ++i, accumulator += step) {
      if (a == 0 && b == 255) {
        bytes_[i] = static_cast<uint8_t>(accumulator >> 24);
      } else if (a == 255 && b == 0) {
        bytes_[count - 1 - i] = static_cast<uint8_t>(accumulator >> 24);
      } else {
        bytes_[i] = static_cast<uint8_t>(Interpolate(a, b, accumulator));
      }
    }
  } else {
    words_.reset(new (std::nothrow) uint32_t[count]);
    if (!words_) return 2;
    uint32_t accumulator = 0;
    for (uint32_t i = 0; i < count; ++i, accumulator += step) {
      uint32_t colour = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        colour |= Interpolate((colour_a >> shift) & 0xFF, (colour_b >> shift) & 0xFF, accumulator) << shift;
      }
      words_[i] = colour;
    }
  }
  count_ = count;
  colour_a_ = colour_a;
  colour_b_ = colour_b;
  depth_ = depth;
  return 0;
}

void CColorRamp::Free() {
  bytes_.reset();
  words_.reset();
  count_ = 0;
  colour_a_ = 0xFFFFFFFF;
  colour_b_ = 0xFFFFFFFF;
  depth_ = 0;
}

uint32_t CColorRamp::GetEntry(uint32_t i) const {
  if (i >= count_) return 0;
  return depth_ == 8 ? bytes_[i] : words_[i];
}
