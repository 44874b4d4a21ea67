// A decode target for the ELG tests: rows of a chosen extra padding, filled with a sentinel, so
// that tests see whether the pitch was honoured and nothing beyond the rows was written.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

struct ElgTestTarget {
  static constexpr std::uint8_t kSentinel = 0xA5;

  std::int32_t padding = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint32_t bits_per_pixel = 0;
  std::uint32_t alpha = 0;
  std::int32_t pitch = 0;
  bool palette_asked = false;
  std::vector<std::uint8_t> pixels;
  std::array<std::uint8_t, 1024> palette{};

  static std::uint8_t* Create(std::int32_t width, std::int32_t height, std::uint32_t bits_per_pixel,
                              std::uint32_t alpha, std::int32_t* pitch, std::uint8_t** palette, void* context) {
    auto& target = *static_cast<ElgTestTarget*>(context);
    target.width = width;
    target.height = height;
    target.bits_per_pixel = bits_per_pixel;
    target.alpha = alpha;
    target.pitch = width * static_cast<std::int32_t>(bits_per_pixel / 8) + target.padding;
    target.pixels.assign(static_cast<std::size_t>(target.pitch) * static_cast<std::size_t>(height), kSentinel);
    *pitch = target.pitch;
    target.palette_asked = palette != nullptr;
    if (palette != nullptr) *palette = target.palette.data();
    return target.pixels.data();
  }

  // The rows without their padding.
  std::vector<std::uint8_t> Rows() const {
    std::vector<std::uint8_t> rows;
    const std::size_t row_bytes = static_cast<std::size_t>(width) * (bits_per_pixel / 8);
    for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
      const auto start = pixels.begin() + static_cast<std::ptrdiff_t>(y * static_cast<std::size_t>(pitch));
      rows.insert(rows.end(), start, start + static_cast<std::ptrdiff_t>(row_bytes));
    }
    return rows;
  }

  bool PaddingUntouched() const {
    const std::size_t row_bytes = static_cast<std::size_t>(width) * (bits_per_pixel / 8);
    for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
      for (std::size_t x = row_bytes; x < static_cast<std::size_t>(pitch); ++x) {
        if (pixels[y * static_cast<std::size_t>(pitch) + x] != kSentinel) return false;
      }
    }
    return true;
  }
};
