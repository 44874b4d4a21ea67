// A whole 800 x 600 frame recomposed each frame by the draw layer: a background picture and three
// 300 x 500 sprites with alpha, against a reference compositing library doing the same pixels in
// the same run (SRC of the background, then OVER of each sprite's premultiplied pixels). Frames per
// second are the "frames" counter of each line; the ratio of the two times is printed after the
// runs.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "gfx/pixel_library.h"
#include "pixel/pixel_kernel_choice.h"
#include "pixel/pixel_tables.h"
#include "platform/cpu_features.h"
#include "scene/draw_layer.h"
#include "scene/sprite.h"

#include "ratio_reporter.h"

namespace {

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;
constexpr int32_t kSpriteWidth = 300;
constexpr int32_t kSpriteHeight = 500;
constexpr std::array<std::array<int32_t, 2>, 3> kPlaces{{{20, 60}, {250, 40}, {480, 100}}};

struct Scene {
  CPixelLibrary library;
  CImage target;
  CImage background;
  std::array<CImage, 3> figures;
  std::array<std::vector<uint32_t>, 3> premultiplied;
  CDrawLayer layer;
  std::array<CSprite, 3> sprites;

  Scene() {
    BuildPixelTables();
    // The kernels the game chooses on this processor.
    ChoosePixelKernels(plat::ReadCpuFeatures(), {});
    SetPixelLib(&library);
    target.Create(kWidth, kHeight, 32, 0);
    background.Create(kWidth, kHeight, 32, 0);
    for (int32_t y = 0; y < kHeight; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(background.GetRowPointer(y));
      for (int32_t x = 0; x < kWidth; ++x) row[x] = 0xFF000000u | (y % 256) << 8 | (x % 256);
    }
    std::mt19937 random(11);
    for (size_t i = 0; i < figures.size(); ++i) {
      figures[i].Create(kSpriteWidth, kSpriteHeight, 32, 0);
      figures[i].SetAlphaFlag(1);
      for (int32_t y = 0; y < kSpriteHeight; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(figures[i].GetRowPointer(y));
        for (int32_t x = 0; x < kSpriteWidth; ++x) {
          // A figure's mix: mostly opaque or clear, with soft edges between.
          const uint32_t pick = random() % 8;
          const uint32_t alpha = pick < 4 ? 255 : pick < 6 ? 0 : random() % 256;
          row[x] = alpha << 24 | (static_cast<uint32_t>(random()) & 0xFFFFFF);
          uint32_t scaled = alpha << 24;
          for (int shift = 0; shift < 24; shift += 8) {
            scaled |= ((((row[x] >> shift) & 0xFF) * alpha + 127) / 255) << shift;
          }
          premultiplied[i].push_back(scaled);
        }
      }
      sprites[i].SetImage(&figures[i], nullptr, kPlaces[i][0], kPlaces[i][1]);
      layer.GetOwnList().Insert(&sprites[i], static_cast<uint32_t>(i), 0);
    }
    layer.SetTarget(&target, true);
    layer.SetBackgroundImage(&background, 0, 0, true);
    layer.Repaint();
  }
  ~Scene() { SetPixelLib(nullptr); }
};

void CountFrames(benchmark::State& state) {
  state.counters["frames"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void LayerFrame(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    scene.layer.InvalidateAll();
    scene.layer.Repaint();
    benchmark::ClobberMemory();
  }
  CountFrames(state);
}

void PixmanFrame(benchmark::State& state) {
  Scene scene;
  constexpr int kStride = kWidth * 4;
  pixman_image_t* dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight,
                                                 reinterpret_cast<uint32_t*>(scene.target.GetPixels()), kStride);
  pixman_image_t* back = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight,
                                                  reinterpret_cast<uint32_t*>(scene.background.GetPixels()), kStride);
  std::array<pixman_image_t*, 3> figures{};
  for (size_t i = 0; i < figures.size(); ++i) {
    figures[i] = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSpriteWidth, kSpriteHeight, scene.premultiplied[i].data(),
                                          kSpriteWidth * 4);
  }
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_SRC, back, nullptr, dst, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    for (size_t i = 0; i < figures.size(); ++i) {
      pixman_image_composite32(PIXMAN_OP_OVER, figures[i], nullptr, dst, 0, 0, 0, 0, kPlaces[i][0], kPlaces[i][1],
                               kSpriteWidth, kSpriteHeight);
    }
    benchmark::ClobberMemory();
  }
  for (pixman_image_t* figure : figures) pixman_image_unref(figure);
  pixman_image_unref(back);
  pixman_image_unref(dst);
  CountFrames(state);
}

BENCHMARK(LayerFrame);
BENCHMARK(PixmanFrame);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarksWithRatios(argc, argv, "recompose", {{"LayerFrame", "PixmanFrame"}});
}
