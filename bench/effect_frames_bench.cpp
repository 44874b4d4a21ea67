// The background, screen and sprite effects made by name (those that need no picture files),
// one 800 x 600 frame each half way through: the effect's step and the page's whole repaint into
// a surface of the window's format, against the reference compositing library's OVER of the same
// size through a constant mask, in the same run. After the runs: each frame time as a ratio to
// the anchor.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "base/millisecond_clock.h"
#include "base/subtractive_random.h"
#include "base/timer_manager.h"
#include "base/trig_tables.h"
#include "effects/builtin_effects.h"
#include "effects/create_by_name.h"
#include "effects/effect.h"
#include "gfx/image_canvas.h"
#include "gfx/pixel_library.h"
#include "pixel/pixel_format_codes.h"
#include "pixel/pixel_kernel_choice.h"
#include "pixel/pixel_tables.h"
#include "platform/cpu_features.h"
#include "platform/surface.h"
#include "resource/dcp_plugin_manager.h"
#include "resource/tcp_plugin_manager.h"
#include "scene/draw_layer.h"
#include "scene/draw_layer_factory.h"
#include "scene/sprite.h"

#include "pixman_over_anchor.h"
#include "ratio_reporter.h"

namespace {

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;
constexpr uint32_t kDuration = 1000;

std::uintptr_t Word(const void* pointer) { return reinterpret_cast<std::uintptr_t>(pointer); }

void PaintPicture(CImage& image, uint32_t seed, uint32_t alpha) {
  for (int32_t y = 0; y < image.GetHeight(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(image.GetRowPointer(y));
    for (int32_t x = 0; x < image.GetWidth(); ++x) row[x] = alpha << 24 | ((x * seed + y) & 0xFFFFFF);
  }
}

// Two pages with a draw layer and a list each, showing an 800 x 600 picture, the front one with
// a 400 x 300 sprite of per-pixel alpha in its middle; the window surface the frames go to.
struct EffectStage {
  CPixelLibrary library;
  CDrawLayerFactory layers;
  CTrigTables trig;
  CDcpPluginManager effects;
  CTcpPluginManager filters;
  CTimerManager timers;
  std::int16_t random_index = 0;
  SubtractiveTable random_state{};
  CImage background;
  CImage sprite_picture;
  CSprite sprite;
  CImageCanvasEx front;
  CImageCanvasEx back;
  std::shared_ptr<plat::Surface> window;

  EffectStage() {
    BuildPixelTables();
    ChoosePixelKernels(plat::ReadCpuFeatures(), {});
    SetPixelLib(&library);
    g_DrawLayerFactory = &layers;
    g_TrigTable = &trig;
    trig.EnsureCosTable();
    g_DcpHost = &effects;
    g_TcpHost = &filters;
    g_PausableTimerManager = &timers;
    RegisterSetUpEffects(effects, filters);
    RegisterBuiltinEffects(effects, filters);
    SeedSubtractive(random_index, random_state, 4321);
    g_BuiltinEffectServices.random_index = &random_index;
    g_BuiltinEffectServices.random_state = &random_state;
    background.Create(kWidth, kHeight, 32, 0);
    PaintPicture(background, 3, 0xFF);
    sprite_picture.Create(kWidth / 2, kHeight / 2, 32, 0);
    PaintPicture(sprite_picture, 7, 200);
    sprite.SetImage(&sprite_picture, nullptr, kWidth / 4, kHeight / 4);
    for (CImageCanvasEx* page : {&front, &back}) {
      page->Create(kWidth, kHeight, 32, CImagePart::kLayerAndDrawList);
      Layer(*page).SetBackgroundImage(&background, 0, 0, false);
    }
    front.SetPartner(&back);
    Layer(front).GetOwnList().Insert(&sprite, 10, 0);
    window = plat::Surface::Make(kWidth, kHeight, plat::MakePixelFormat(plat::SurfaceFormat::kXrgb8888), 0, {});
  }
  static CDrawLayer& Layer(CImagePart& page) { return *dynamic_cast<CDrawLayer*>(page.GetLayer()); }
};

EffectStage& TheEffectStage() {
  static EffectStage stage;
  return stage;
}

// An effect by name: its set-up words, and the words of a SetParam that starts its work.
struct NamedEffect {
  const char* name;
  std::vector<std::uintptr_t> args;
  std::vector<std::uintptr_t> start = {};
};

std::vector<NamedEffect> NamedEffects() {
  const std::uintptr_t sprite = Word(&TheEffectStage().sprite);
  return {
      {"bg_zoom", {400, 300, Word("2"), 0, kDuration}},
      {"bg_rot", {400, 300, 128, Word("1.5"), 0, kDuration}},
      {"bg_blur", {0, 400, 300, Word("1"), Word("0"), Word("1.5"), Word("90"), kDuration, 128, 0, 0, 0, 0, 0, 0, 0,
                   0}},
      {"bg_rast", {20, 100, kDuration, 0, 0, 100, 1, 0}},
      {"bg_haze", {Word("(1,0,16)"), 8, kDuration, 0, 0, 100, 1, 0}},
      {"bg_loop", {0, kDuration, 0, 0}},
      {"bg_cross", {kDuration, 0, 0, 0}},
      {"quake", {0, 12, 8, kDuration, Word("1.0"), 0, 1, 1, 0}},
      {"sp_fade", {1, 0, 0}, {1, 0, sprite, kDuration, 0, 0, 0, 0, 0}},
      {"sp_gfade", {sprite, kDuration, 0, 64, 0}},
      {"sp_panime", {sprite, Word("O0 1 r 500 O255 0 l"), kDuration, 1, 0}},
  };
}

void BM_EffectFrame(benchmark::State& state, const NamedEffect& named) {
  EffectStage& stage = TheEffectStage();
  CEffect* effect = nullptr;
  const PluginArgs args{named.args.data(), static_cast<uint32_t>(named.args.size())};
  CImagePart* front = &stage.front;
  if (CreateEffectByName(&effect, named.name, front, args) != kEffectCreated || effect == nullptr) {
    state.SkipWithError("the effect was not made");
    return;
  }
  if (!named.start.empty()) {
    effect->SetParam(PluginArgs{named.start.data(), static_cast<uint32_t>(named.start.size())});
  }
  CDrawLayer& layer = EffectStage::Layer(stage.front);
  // The effects take their start from the clock at their set-up.
  const uint32_t start = ReadMillisecondClock();
  stage.timers.Dispatch(start);
  uint32_t step = 0;
  for (auto _ : state) {
    // A new time in every frame, about half way.
    stage.timers.Dispatch(start + kDuration / 2 + (++step & 1));
    layer.InvalidateAll();
    benchmark::DoNotOptimize(layer.RepaintTo(0, nullptr, stage.window.get(), kPixelFormatXrgb8888, 0, 0));
    benchmark::ClobberMemory();
  }
  if (stage.timers.GetCount() == 0) state.SkipWithError("the effect ended before its frames");
  stage.timers.RemoveAll();
  layer.ReleaseBackgroundCache();
  layer.SetBackgroundImage(&stage.background, 0, 0, false);
}

void BM_EffectAnchorOver(benchmark::State& state) { MeasurePixmanOverFrame(state, kWidth, kHeight); }

}  // namespace

int main(int argc, char** argv) {
  benchmark::RegisterBenchmark("over_mask", BM_EffectAnchorOver)->Unit(benchmark::kMicrosecond);
  static const std::vector<NamedEffect> named_effects = NamedEffects();
  for (const NamedEffect& named : named_effects) {
    benchmark::RegisterBenchmark(named.name, BM_EffectFrame, named)->Unit(benchmark::kMicrosecond);
  }
  // The plain frame: the page repainted with no effect running.
  benchmark::RegisterBenchmark("no_effect", [](benchmark::State& state) {
    EffectStage& stage = TheEffectStage();
    CDrawLayer& layer = EffectStage::Layer(stage.front);
    for (auto _ : state) {
      layer.InvalidateAll();
      benchmark::DoNotOptimize(layer.RepaintTo(0, nullptr, stage.window.get(), kPixelFormatXrgb8888, 0, 0));
    }
  })->Unit(benchmark::kMicrosecond);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::vector<std::pair<const char*, const char*>> pairs;
  for (const NamedEffect& named : named_effects) pairs.emplace_back(named.name, "over_mask");
  pairs.emplace_back("no_effect", "over_mask");
  reporter.PrintRatios("frame", pairs);
  benchmark::Shutdown();
  return 0;
}
