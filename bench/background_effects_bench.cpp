// The background effects' frames on an 800 x 600 layer, with the engine's drawing set up as a
// game's (the pixel library installed): a turning step of the motion blur at level 128 against
// the pixel library's affine draw alone on the same pictures; that draw at level 128 against the
// same draw at level 255 (a copy), for an opaque picture and for one of per-pixel alpha (drawn by
// its alpha, as the blur draws such a picture); and a raster frame against memcpy of the cache.
// After the runs each figure is printed as a ratio to its anchor and to the one anchor of the
// frame benchmarks (OVER of a whole frame with per-pixel alpha).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "base/time/timer_manager.h"
#include "effects/background/bg_blur_effect.h"
#include "effects/background/bg_rast_effect.h"
#include "gfx/display/image_canvas.h"
#include "gfx/images/image.h"
#include "gfx/images/pixel_library.h"
#include "scene/drawables/draw_layer.h"

#include "game_drawing_set_up.h"
#include "pixman_over_anchor.h"
#include "ratio_reporter.h"

namespace {

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;

// A canvas whose layer shows an 800 x 600 picture, with what the effects need to run, and the
// same picture with per-pixel alpha: clear and opaque bands with ramps of every alpha between.
struct Stage {
  GameDrawingSetUp drawing;
  CImage background;
  CImage alpha_picture;
  CImageCanvasEx canvas;
  CTimerManager timers;

  Stage() {
    background.Create(kWidth, kHeight, 32, 0);
    alpha_picture.Create(kWidth, kHeight, 32, 0);
    for (int32_t y = 0; y < kHeight; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(background.GetRowPointer(y));
      auto* alpha_row = reinterpret_cast<uint32_t*>(alpha_picture.GetRowPointer(y));
      for (int32_t x = 0; x < kWidth; ++x) {
        row[x] = 0xFF000000u | static_cast<uint32_t>((y % 256) << 8 | (x % 256));
        const auto alpha = static_cast<uint32_t>(std::clamp((x + y) % 400 - 72, 0, 255));
        alpha_row[x] = (row[x] & 0x00FFFFFFu) | alpha << 24;
      }
    }
    alpha_picture.SetAlphaFlag(1);
    canvas.Create(kWidth, kHeight, 32, CImagePart::kLayer);
    Layer().SetBackgroundImage(&background, 0, 0, false);
  }
  CDrawLayer& Layer() { return *dynamic_cast<CDrawLayer*>(canvas.GetLayer()); }
  CImagePart* Part() { return &canvas; }
};

Stage& TheStage() {
  static Stage stage;
  return stage;
}

// The turn of the blur's steps: a quarter of a turn and a little, zoomed by 1.25.
PixelAffineArgs TurnedDraw(uint8_t level) {
  const double c = TheStage().drawing.trig.double_cosine[300];
  const double n = TheStage().drawing.trig.double_cosine[172];
  const double zoom = 1.25;
  PixelAffineArgs draw;
  const double matrix[6] = {zoom * c, -zoom * n, zoom * n, zoom * c, 400 - (300 * n + 400 * c) * zoom,
                            (400 * n - 300 * c) * zoom + 300};
  std::copy(matrix, matrix + 6, draw.matrix);
  draw.level = level;
  return draw;
}

// The affine draw of the opaque picture, or of the one with per-pixel alpha by its alpha.
void BM_AffineDraw(benchmark::State& state, uint8_t level, bool alpha) {
  Stage& stage = TheStage();
  CImage destination;
  destination.Create(kWidth, kHeight, 32, 0);
  PixelAffineArgs draw = TurnedDraw(level);
  draw.mode = alpha ? kPixelBlendAlpha : kPixelBlendLevel;
  CImage* source = alpha ? &stage.alpha_picture : &stage.background;
  for (auto _ : state) {
    benchmark::DoNotOptimize(destination.PixelLibAffineDraw(source, draw));
    benchmark::ClobberMemory();
  }
}

void BM_BlurTurningStep(benchmark::State& state) {
  Stage& stage = TheStage();
  // Many turns over a long time, so that every step below draws a new angle.
  auto blur = std::make_unique<CBgBlurEffect>();
  const PluginArgList args{0, 400, 300, reinterpret_cast<uintptr_t>("1.25"), 0, reinterpret_cast<uintptr_t>("1.25"),
                           reinterpret_cast<uintptr_t>("-100000"), 2000000000u, 128, 0, 0, 0, 0, 0, 0, 0, 0};
  if (blur->Setup(&stage.timers, stage.Part(), args.View()) != CEffect::kRunning) {
    state.SkipWithError("the blur was not set up");
    return;
  }
  CBgBlurEffect* running = blur.release();
  uint32_t now = 1000;
  running->Update(now);
  for (auto _ : state) {
    now += 1000;
    benchmark::DoNotOptimize(running->Update(now));
  }
  stage.timers.RemoveAll();
  stage.Layer().ReleaseBackgroundCache();
}

void BM_Memcpy(benchmark::State& state) {
  Stage& stage = TheStage();
  CImage cache;
  cache.Create(kWidth, kHeight, 32, 0);
  const size_t bytes = static_cast<size_t>(cache.GetPitch()) * kHeight;
  for (auto _ : state) {
    std::memcpy(cache.GetPixels(), stage.background.GetPixels(), bytes);
    benchmark::ClobberMemory();
  }
}

void BM_RasterFrame(benchmark::State& state) {
  Stage& stage = TheStage();
  auto raster = std::make_unique<CBgRastEffect>();
  const PluginArgList args{20, 100, 1000, 0, 0, 100, 1, 0};
  if (raster->Setup(&stage.timers, stage.Part(), args.View()) != CEffect::kRunning) {
    state.SkipWithError("the raster was not set up");
    return;
  }
  CBgRastEffect* running = raster.release();
  uint32_t now = 1000;
  for (auto _ : state) {
    // A new phase in every frame.
    now += 7;
    benchmark::DoNotOptimize(running->Update(now));
  }
  stage.timers.RemoveAll();
  stage.Layer().ReleaseBackgroundCache();
}

BENCHMARK_CAPTURE(BM_AffineDraw, level_128, 128, false)->Name("affine_draw")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AffineDraw, level_255, 255, false)->Name("affine_draw_255")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AffineDraw, alpha_128, 128, true)->Name("affine_alpha")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AffineDraw, alpha_255, 255, true)->Name("affine_alpha_255")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlurTurningStep)->Name("blur_turning_step")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Memcpy)->Name("memcpy")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RasterFrame)->Name("raster_frame")->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  RegisterPixmanOver(kWidth, kHeight);
  std::vector<std::pair<const char*, const char*>> pairs{{"blur_turning_step", "affine_draw"},
                                                         {"affine_draw", "affine_draw_255"},
                                                         {"affine_alpha", "affine_alpha_255"},
                                                         {"raster_frame", "memcpy"}};
  for (const char* frame : {"affine_draw", "affine_draw_255", "affine_alpha", "affine_alpha_255", "blur_turning_step",
                            "raster_frame"}) {
    pairs.emplace_back(frame, kPixmanOverName);
  }
  return RunBenchmarksWithRatios(argc, argv, "background", pairs);
}
