// The draw layer's repaint of an 800 x 600 frame with a background picture and three colour boxes
// (fill, add, subtract): one box moving each frame against the whole frame repainted each frame,
// and against memcpy of one frame's bytes in the same run. Frames per second are the "frames"
// counter of each line.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "pixel/kernels/pixel_kernel_choice.h"
#include "pixel/kernels/pixel_tables.h"
#include "platform/system/cpu_features.h"
#include "scene/drawables/draw_layer.h"
#include "scene/sprites/color_box.h"

#include "ratio_reporter.h"

namespace {

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;

struct Scene {
  CImage target;
  CImage background;
  CDrawLayer layer;
  CColorBox boxes[3];

  Scene() {
    BuildPixelTables();
    // The kernels the game chooses on this processor.
    ChoosePixelKernels(plat::ReadCpuFeatures(), {});
    target.Create(kWidth, kHeight, 32, 0);
    background.Create(kWidth, kHeight, 32, 0);
    for (int32_t y = 0; y < kHeight; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(background.GetRowPointer(y));
      for (int32_t x = 0; x < kWidth; ++x) row[x] = 0xFF000000u | (y % 256) << 8 | (x % 256);
    }
    layer.SetTarget(&target, true);
    layer.SetBackgroundImage(&background, 0, 0, true);
    boxes[0].SetBox(200, 150, 0xC0E02020, 100, 100);
    boxes[1].SetBox(160, 160, 0x800060C0, 250, 180);
    boxes[1].SetBlendMode(CColorBox::kAdd);
    boxes[2].SetBox(120, 90, 0xFF202020, 400, 300);
    boxes[2].SetBlendMode(CColorBox::kSubtract);
    for (uint32_t i = 0; i < 3; ++i) layer.GetOwnList().Insert(&boxes[i], i, 0);
    layer.Repaint();
  }
};

void CountFrames(benchmark::State& state) {
  state.counters["frames"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void OneBoxMoves(benchmark::State& state) {
  Scene scene;
  int32_t step = 0;
  for (auto _ : state) {
    scene.boxes[1].SetPosition(250 + (step++ % 64) * 4, 180);
    scene.layer.Repaint();
  }
  CountFrames(state);
}

void WholeFrame(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    scene.layer.InvalidateAll();
    scene.layer.Repaint();
  }
  CountFrames(state);
}

void MemcpyFrame(benchmark::State& state) {
  std::vector<uint32_t> from(kWidth * kHeight, 0x12345678), to(kWidth * kHeight);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size() * sizeof(uint32_t));
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  CountFrames(state);
}

BENCHMARK(OneBoxMoves);
BENCHMARK(WholeFrame);
BENCHMARK(MemcpyFrame);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarksWithRatios(argc, argv, "repaint",
                                 {{"OneBoxMoves", "WholeFrame"}, {"OneBoxMoves", "MemcpyFrame"},
                                  {"WholeFrame", "MemcpyFrame"}});
}
