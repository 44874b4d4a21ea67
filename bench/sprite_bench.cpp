// A whole 800 x 600 frame recomposed each frame by the draw layer, against a reference compositing
// library doing the same pixels in the same run (SRC of the background, then OVER of each
// picture's premultiplied pixels). Two scenes:
// - the sprite scene: a background with alpha and three 300 x 500 sprites whose pixels are
//   opaque, clear or of any alpha at random;
// - the novel frame: a background as a picture without alpha loads (alpha bytes 0), three
//   figures shaped like a game's (an opaque body with a soft edge on clear surroundings) and a
//   message window (a translucent panel in an opaque frame), drawn in that order.
// Frames per second are the "frames" counter of each line; the ratios of the times are printed
// after the runs.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "gfx/images/pixel_library.h"
#include "pixel/kernels/pixel_kernel_choice.h"
#include "pixel/kernels/pixel_tables.h"
#include "platform/system/cpu_features.h"
#include "scene/drawables/draw_layer.h"
#include "scene/sprites/sprite.h"

#include "ratio_reporter.h"

namespace {

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;
constexpr int32_t kFigureWidth = 300;
constexpr int32_t kFigureHeight = 500;
constexpr std::array<std::array<int32_t, 2>, 3> kFigurePlaces{{{20, 60}, {250, 40}, {480, 100}}};
constexpr int32_t kWindowWidth = 760;
constexpr int32_t kWindowHeight = 150;
constexpr std::array<int32_t, 2> kWindowPlace{20, 440};

enum class Shape { kRandomMix, kNovelFrame };

uint32_t Premultiplied(uint32_t pixel) {
  const uint32_t alpha = pixel >> 24;
  uint32_t scaled = alpha << 24;
  for (int shift = 0; shift < 24; shift += 8) scaled |= ((((pixel >> shift) & 0xFF) * alpha + 127) / 255) << shift;
  return scaled;
}

// A figure: a body (head and torso as two ellipses) opaque inside, with an edge three pixels
// wide, on clear surroundings.
uint32_t FigureAlpha(int32_t x, int32_t y) {
  const auto inside = [&](double cx, double cy, double rx, double ry) {
    const double dx = (x - cx) / rx;
    const double dy = (y - cy) / ry;
    return (1.0 - std::sqrt(dx * dx + dy * dy)) * std::min(rx, ry) / 3.0;
  };
  const double head = inside(kFigureWidth * 0.5, kFigureHeight * 0.18, kFigureWidth * 0.2, kFigureHeight * 0.14);
  const double body = inside(kFigureWidth * 0.5, kFigureHeight * 0.75, kFigureWidth * 0.42, kFigureHeight * 0.45);
  return static_cast<uint32_t>(std::clamp(std::max(head, body), 0.0, 1.0) * 255.0);
}

// The message window: a panel of alpha 0xB0 inside an opaque frame four pixels wide.
uint32_t WindowAlpha(int32_t x, int32_t y) {
  const bool frame = x < 4 || y < 4 || x >= kWindowWidth - 4 || y >= kWindowHeight - 4;
  return frame ? 0xFF : 0xB0;
}

// A picture with alpha, its premultiplied copy for the library, and the sprite that draws it.
struct Picture {
  CImage image;
  std::vector<uint32_t> premultiplied;
  CSprite sprite;
  int32_t x = 0;
  int32_t y = 0;

  template <typename AlphaFn>
  void Make(int32_t width, int32_t height, int32_t place_x, int32_t place_y, std::mt19937& random, AlphaFn alpha_of) {
    x = place_x;
    y = place_y;
    image.Create(width, height, 32, 0);
    image.SetAlphaFlag(1);
    for (int32_t row_index = 0; row_index < height; ++row_index) {
      auto* row = reinterpret_cast<uint32_t*>(image.GetRowPointer(row_index));
      for (int32_t column = 0; column < width; ++column) {
        row[column] = alpha_of(column, row_index) << 24 | (static_cast<uint32_t>(random()) & 0xFFFFFF);
        premultiplied.push_back(Premultiplied(row[column]));
      }
    }
    sprite.SetImage(&image, nullptr, x, y);
  }
};

struct Scene {
  CPixelLibrary library;
  CImage target;
  CImage background;
  std::array<Picture, 4> pictures;
  size_t picture_count = 3;
  CDrawLayer layer;

  explicit Scene(Shape shape) {
    BuildPixelTables();
    // The kernels the game chooses on this processor.
    ChoosePixelKernels(plat::ReadCpuFeatures(), {});
    SetPixelLib(&library);
    target.Create(kWidth, kHeight, 32, 0);
    background.Create(kWidth, kHeight, 32, 0);
    const uint32_t background_alpha = shape == Shape::kNovelFrame ? 0 : 0xFF000000u;
    for (int32_t y = 0; y < kHeight; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(background.GetRowPointer(y));
      for (int32_t x = 0; x < kWidth; ++x) row[x] = background_alpha | (y % 256) << 8 | (x % 256);
    }
    std::mt19937 random(11);
    for (size_t i = 0; i < kFigurePlaces.size(); ++i) {
      const auto [x, y] = kFigurePlaces[i];
      if (shape == Shape::kNovelFrame) {
        pictures[i].Make(kFigureWidth, kFigureHeight, x, y, random, FigureAlpha);
      } else {
        // A mix of opaque, clear and any alpha, pixel by pixel.
        pictures[i].Make(kFigureWidth, kFigureHeight, x, y, random, [&](int32_t, int32_t) -> uint32_t {
          const uint32_t pick = random() % 8;
          return pick < 4 ? 255 : pick < 6 ? 0 : random() % 256;
        });
      }
    }
    if (shape == Shape::kNovelFrame) {
      pictures[3].Make(kWindowWidth, kWindowHeight, kWindowPlace[0], kWindowPlace[1], random, WindowAlpha);
      picture_count = 4;
    }
    for (size_t i = 0; i < picture_count; ++i) {
      layer.GetOwnList().Insert(&pictures[i].sprite, static_cast<uint32_t>(i), 0);
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

void RunLayerFrame(benchmark::State& state, Shape shape) {
  Scene scene(shape);
  for (auto _ : state) {
    scene.layer.InvalidateAll();
    scene.layer.Repaint();
    benchmark::ClobberMemory();
  }
  CountFrames(state);
}

void RunPixmanFrame(benchmark::State& state, Shape shape) {
  Scene scene(shape);
  constexpr int kStride = kWidth * 4;
  pixman_image_t* dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight,
                                                 reinterpret_cast<uint32_t*>(scene.target.GetPixels()), kStride);
  // A background without alpha is what the library's users give it as such.
  pixman_image_t* back =
      pixman_image_create_bits(shape == Shape::kNovelFrame ? PIXMAN_x8r8g8b8 : PIXMAN_a8r8g8b8, kWidth, kHeight,
                               reinterpret_cast<uint32_t*>(scene.background.GetPixels()), kStride);
  std::array<pixman_image_t*, 4> pictures{};
  for (size_t i = 0; i < scene.picture_count; ++i) {
    Picture& picture = scene.pictures[i];
    pictures[i] = pixman_image_create_bits(PIXMAN_a8r8g8b8, picture.image.GetWidth(), picture.image.GetHeight(),
                                           picture.premultiplied.data(), picture.image.GetWidth() * 4);
  }
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_SRC, back, nullptr, dst, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    for (size_t i = 0; i < scene.picture_count; ++i) {
      const Picture& picture = scene.pictures[i];
      pixman_image_composite32(PIXMAN_OP_OVER, pictures[i], nullptr, dst, 0, 0, 0, 0, picture.x, picture.y,
                               picture.image.GetWidth(), picture.image.GetHeight());
    }
    benchmark::ClobberMemory();
  }
  for (size_t i = 0; i < scene.picture_count; ++i) pixman_image_unref(pictures[i]);
  pixman_image_unref(back);
  pixman_image_unref(dst);
  CountFrames(state);
}

void LayerFrame(benchmark::State& state) { RunLayerFrame(state, Shape::kRandomMix); }
void PixmanFrame(benchmark::State& state) { RunPixmanFrame(state, Shape::kRandomMix); }
void LayerNovelFrame(benchmark::State& state) { RunLayerFrame(state, Shape::kNovelFrame); }
void PixmanNovelFrame(benchmark::State& state) { RunPixmanFrame(state, Shape::kNovelFrame); }

BENCHMARK(LayerFrame);
BENCHMARK(PixmanFrame);
BENCHMARK(LayerNovelFrame);
BENCHMARK(PixmanNovelFrame);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarksWithRatios(argc, argv, "recompose",
                                 {{"LayerFrame", "PixmanFrame"}, {"LayerNovelFrame", "PixmanNovelFrame"}});
}
