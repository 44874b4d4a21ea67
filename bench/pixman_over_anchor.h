// The one anchor of the frame benchmarks of patterns, filters, transitions and effects: the
// reference compositing library's OVER of a whole 800 x 600 frame whose every pixel has an alpha
// of its own, named "pixman_over" in every ratio table. The benchmarks measured against it draw
// with the pixel library installed as a game installs it (game_drawing_set_up.h).
#pragma once

#include <benchmark/benchmark.h>

#include <pixman.h>

#include <cstdint>
#include <vector>

inline constexpr const char* kPixmanOverName = "pixman_over";

inline void MeasurePixmanOverFrame(benchmark::State& state, int32_t width, int32_t height) {
  std::vector<uint32_t> source(static_cast<size_t>(width) * static_cast<size_t>(height));
  // Alphas from 1 to 255 spread over the frame, none of them 0.
  for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint32_t>(i * 2654435761u) | 0x01000000u;
  std::vector<uint32_t> destination(source.size(), 0xFF336699u);
  pixman_image_t* src = pixman_image_create_bits(PIXMAN_a8r8g8b8, width, height, source.data(), width * 4);
  pixman_image_t* dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, width, height, destination.data(), width * 4);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, src, nullptr, dst, 0, 0, 0, 0, 0, 0, width, height);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(dst);
  pixman_image_unref(src);
}

inline void RegisterPixmanOver(int32_t width, int32_t height) {
  benchmark::RegisterBenchmark(kPixmanOverName, [width, height](benchmark::State& state) {
    MeasurePixmanOverFrame(state, width, height);
  })->Unit(benchmark::kMicrosecond);
}
