// The images the mapping kernels' tests draw with: a source of random pixels that builds its row
// table on request (or refuses to) and a destination that starts as one known value.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "pixel/kernels/quad_map_kernels.h"

namespace quad_map_test_images {

// How a source's rows lie in its memory: one after another from the top or from the bottom (as
// a picture's do), or the even rows first and the odd ones after them, so that no pitch steps
// from one row to the next.
enum class RowLayout { kTopDown, kBottomUp, kEvenRowsFirst };

// A source image with its row table, which it builds on request (or refuses to).
class TestSource : public QuadMapSource {
 public:
  TestSource(int32_t width, int32_t height, uint32_t seed) : width_(width), height_(height) {
    std::mt19937 random(seed);
    pixels_.resize(static_cast<size_t>(width) * height);
    for (uint32_t& p : pixels_) p = static_cast<uint32_t>(random());
    sample_ = {0, 0, width, height};
  }

  uint8_t* const* GetRowTable() const override { return rows_.empty() ? nullptr : rows_.data(); }
  uint32_t BuildRowTable() override {
    ++builds_;
    if (refuse_) return 2;
    for (int32_t y = 0; y < height_; ++y) {
      rows_.push_back(reinterpret_cast<uint8_t*>(pixels_.data() + static_cast<size_t>(StoredRow(y)) * width_));
    }
    return 0;
  }
  plat::Rect SampleRect() const override { return sample_; }

  uint32_t At(int64_t x, int64_t y) const { return pixels_[static_cast<size_t>(StoredRow(y) * width_ + x)]; }
  void Fill(uint32_t value) { pixels_.assign(pixels_.size(), value); }
  void MakeOpaque() {
    for (uint32_t& p : pixels_) p |= 0xFF000000;
  }

  plat::Rect sample_;
  bool refuse_ = false;
  int builds_ = 0;
  // Read when the row table is built.
  RowLayout layout_ = RowLayout::kTopDown;

 private:
  int64_t StoredRow(int64_t y) const {
    switch (layout_) {
      case RowLayout::kTopDown:
        break;
      case RowLayout::kBottomUp:
        return height_ - 1 - y;
      case RowLayout::kEvenRowsFirst:
        return y % 2 == 0 ? y / 2 : (height_ + 1) / 2 + y / 2;
    }
    return y;
  }

  int32_t width_;
  int32_t height_;
  std::vector<uint32_t> pixels_;
  std::vector<uint8_t*> rows_;
};

struct TestTarget {
  int32_t width;
  int32_t height;
  std::vector<uint32_t> pixels;
  TestTarget(int32_t w, int32_t h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, 0x01020304) {}
  QuadMapTarget View() { return {pixels.data(), width * 4, width, height}; }
  uint32_t At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y * width + x)]; }
  bool Untouched(int32_t x, int32_t y) const { return At(x, y) == 0x01020304; }
};

}  // namespace quad_map_test_images
