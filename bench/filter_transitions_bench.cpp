// The built-in "cross", "rule" and "ripple" transitions, one 800 x 600 frame each through the
// whole filter path (the advance and every strip that the present asks for), at half way, against
// the reference compositing library's OVER of the same size through a constant mask, in the same
// run. After the runs: each transition's frame time as a ratio to the anchor, and the ripple's
// (its waves at full height) to the cross-fade's.
#include <benchmark/benchmark.h>

#include <pixman.h>

#include <cstdint>
#include <vector>

#include "effects/cross_transition.h"
#include "effects/ripple_rows.h"
#include "effects/ripple_transition.h"
#include "effects/rule_transition.h"
#include "gfx/image_canvas.h"
#include "gfx/pixel_library.h"
#include "pixel/pixel_kernel_choice.h"
#include "pixel/pixel_tables.h"
#include "platform/cpu_features.h"
#include "scene/draw_layer_factory.h"

#include "ratio_reporter.h"

namespace {

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;
constexpr uint32_t kDuration = 1000;
constexpr uint32_t kStart = 5000;

void Paint(CImage& image, uint32_t seed) {
  for (int32_t y = 0; y < kHeight; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(image.GetRowPointer(y));
    for (int32_t x = 0; x < kWidth; ++x) row[x] = 0xFF000000u | ((x * seed + y) & 0xFFFFFF);
  }
}

// The two pages of the frame, the front one carrying the transition.
struct Pages {
  CPixelLibrary library;
  CDrawLayerFactory layers;
  CImageCanvasEx front;
  CImageCanvasEx back;
  CImage rule;

  Pages() {
    BuildPixelTables();
    ChoosePixelKernels(plat::ReadCpuFeatures(), {});
    SetPixelLib(&library);
    g_DrawLayerFactory = &layers;
    front.Create(kWidth, kHeight, 32, CImagePart::kLayer);
    back.Create(kWidth, kHeight, 32, CImagePart::kLayer);
    front.SetPartner(&back);
    Paint(*front.GetImage(), 3);
    Paint(*back.GetImage(), 7);
    rule.Create(kWidth, kHeight, 8, 0);
    for (int32_t y = 0; y < kHeight; ++y) {
      for (int32_t x = 0; x < kWidth; ++x) rule.GetRowPointer(y)[x] = static_cast<uint8_t>(x * 255 / (kWidth - 1));
    }
  }
};

Pages& ThePages() {
  static Pages pages;
  return pages;
}

template <class Transition>
void BM_Transition(benchmark::State& state, std::vector<std::uintptr_t> words) {
  Pages& pages = ThePages();
  RefPtr<CScreenTransition> attached = MakeRef<Transition>();
  auto& transition = static_cast<Transition&>(*attached);
  CImagePart* part = &pages.front;
  if (transition.Create(reinterpret_cast<std::uintptr_t>(part),
                        PluginArgs{words.data(), static_cast<uint32_t>(words.size())}) != 0 ||
      pages.front.Attach(attached, CImagePart::kModeSwapLayers, 1, false) != 0) {
    state.SkipWithError("the transition was refused");
    return;
  }
  transition.Advance(kStart);
  const int32_t strip_height = TransitionStripHeight(kWidth);
  for (auto _ : state) {
    transition.Advance(kStart + kDuration / 2);
    for (int32_t top = 0; top < kHeight; top += strip_height) {
      transition.RenderStrip(plat::Rect{0, top, kWidth, std::min(top + strip_height, kHeight)});
    }
    benchmark::ClobberMemory();
  }
  pages.front.Detach(false);
}

void BM_Cross(benchmark::State& state) { BM_Transition<CCrossTransition>(state, {kDuration}); }

void BM_Rule(benchmark::State& state) {
  BM_Transition<CRuleTransition>(state, {kDuration, reinterpret_cast<std::uintptr_t>(&ThePages().rule), 64});
}

void BM_Ripple(benchmark::State& state) {
  StartUpRipple();
  BM_Transition<CRippleTransition>(state, {kDuration, 0xFFFFFFFF, 0xFFFFFFFF, 32, 0, 0, 24});
}

void BM_OverConstantMask(benchmark::State& state) {
  std::vector<uint32_t> source(static_cast<size_t>(kWidth) * kHeight, 0xFF336699u);
  std::vector<uint32_t> destination(source.size(), 0xFF996633u);
  pixman_image_t* src = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, source.data(), kWidth * 4);
  pixman_image_t* dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, destination.data(), kWidth * 4);
  const pixman_color_t level{0, 0, 0, static_cast<uint16_t>(127 * 257)};
  pixman_image_t* mask = pixman_image_create_solid_fill(&level);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, src, mask, dst, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(mask);
  pixman_image_unref(dst);
  pixman_image_unref(src);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::RegisterBenchmark("over_mask", BM_OverConstantMask)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("cross", BM_Cross)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("rule", BM_Rule)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("ripple", BM_Ripple)->Unit(benchmark::kMicrosecond);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios("frame", {{"cross", "over_mask"}, {"rule", "over_mask"}, {"ripple", "over_mask"},
                                 {"ripple", "cross"}});
  benchmark::Shutdown();
  return 0;
}
