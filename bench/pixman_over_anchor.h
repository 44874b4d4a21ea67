// The anchor of the frame benchmarks: the reference compositing library's OVER of a whole frame
// through a constant mask of level 127.
#pragma once

#include <benchmark/benchmark.h>

#include <pixman.h>

#include <cstdint>
#include <vector>

inline void MeasurePixmanOverFrame(benchmark::State& state, int32_t width, int32_t height) {
  std::vector<uint32_t> source(static_cast<size_t>(width) * static_cast<size_t>(height), 0xFF336699u);
  std::vector<uint32_t> destination(source.size(), 0xFF996633u);
  pixman_image_t* src = pixman_image_create_bits(PIXMAN_a8r8g8b8, width, height, source.data(), width * 4);
  pixman_image_t* dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, width, height, destination.data(), width * 4);
  const pixman_color_t level{0, 0, 0, static_cast<uint16_t>(127 * 257)};
  pixman_image_t* mask = pixman_image_create_solid_fill(&level);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, src, mask, dst, 0, 0, 0, 0, 0, 0, width, height);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(mask);
  pixman_image_unref(dst);
  pixman_image_unref(src);
}
