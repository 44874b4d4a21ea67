// Every built-in transition and layer filter made by name, one 800 x 600 frame each through the
// whole filter path (the advance and the strips that the present asks for: the frame in strips
// only where the filter allows it), at half way, with the engine's drawing set up as a game's
// (the pixel library installed, the pages made as a canvas makes them); "trans" once with each
// transition pattern ("trans/N"). Against the one anchor (OVER of a whole frame with per-pixel
// alpha) in the same run. After the runs: each frame time as a ratio to the anchor, the slowest
// ten of "trans", and the ripple's (its waves at full height) to the cross-fade's.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "effects/filters/ripple_rows.h"
#include "effects/framework/create_by_name.h"
#include "effects/patterns/transition_patterns.h"
#include "effects/table/builtin_effect_table.h"
#include "gfx/display/image_canvas.h"
#include "resource/plugins/dcp_plugin_manager.h"
#include "resource/plugins/tcp_plugin_manager.h"

#include "game_drawing_set_up.h"
#include "pixman_over_anchor.h"
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
  GameDrawingSetUp game;
  CDcpPluginManager effects;
  CTcpPluginManager filters;
  CImageCanvasEx front;
  CImageCanvasEx back;
  CImage rule;

  Pages() {
    g_TcpHost = &filters;
    RegisterSetUpEffects(effects, filters);
    RegisterBuiltinEffects(effects, filters);
    StartUpRipple();
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

// A filter by name (the benchmark's name where it differs): the words after the duration, and
// the part's attach mode.
struct Filter {
  std::string name;
  std::vector<std::uintptr_t> args;
  uint8_t mode = CImagePart::kModeSwapLayers;
};

std::vector<Filter> Filters() {
  const auto rule = reinterpret_cast<std::uintptr_t>(&ThePages().rule);
  return {
      {"cross", {}},
      {"rule", {rule, 64}},
      {"ripple", {0xFFFFFFFF, 0xFFFFFFFF, 32, 0, 0, 24}},
      {"scroll", {2, 0, 0}},
      {"wave", {0, 12, 2048, 0xFF000000, 0xFFFFFFFF}},
      {"mosaic", {0, 12, 0}},
      {"rotaxis", {0}},
      {"tone", {0xFF40C040, 0}, CImagePart::kModePlain},
      {"zoomflip", {0, 1}},
      {"rotcenter", {0, 0}},
      {"hblur", {1, 20}},
      {"addsub", {0}},
      // The shake's period comes first, where the others take their duration.
      {"quake", {30, 10, kDuration, reinterpret_cast<std::uintptr_t>("1.0"), 1}, CImagePart::kModePlain},
  };
}

constexpr const char* kPatternFilterPrefix = "trans/";

// "trans" with every transition pattern.
std::vector<Filter> PatternFilters() {
  std::vector<Filter> filters;
  for (int32_t pattern = 0; pattern < kTransitionPatternCount; ++pattern) {
    filters.push_back({kPatternFilterPrefix + std::to_string(pattern), {static_cast<std::uintptr_t>(pattern), 0}});
  }
  return filters;
}

// The filter's own name: a pattern's benchmark names "trans".
std::string FilterName(const Filter& filter) {
  return filter.name.starts_with(kPatternFilterPrefix) ? "trans" : filter.name;
}

void BM_Filter(benchmark::State& state, const Filter& filter) {
  Pages& pages = ThePages();
  std::vector<std::uintptr_t> words{kDuration};
  words.insert(words.end(), filter.args.begin(), filter.args.end());
  RefPtr<CScreenTransition> attached =
      MakeLayerFilterByName(&pages.front, FilterName(filter).c_str(), PluginArgs{words.data(), static_cast<uint32_t>(words.size())});
  if (attached == nullptr) {
    state.SkipWithError("no filter bears the name");
    return;
  }
  // The part takes the reference over.
  CScreenTransition& transition = *attached;
  if (pages.front.Attach(attached, filter.mode, 1, false) != 0) {
    state.SkipWithError("the part refused the filter");
    return;
  }
  transition.Advance(kStart);
  const bool strips = (transition.GetFlags() & CScreenTransition::kAllowsStrips) != 0 && g_StripRepaint != 0;
  const int32_t strip_height = strips ? TransitionStripHeight(kWidth) : kHeight;
  for (auto _ : state) {
    transition.Advance(kStart + kDuration / 2);
    for (int32_t top = 0; top < kHeight; top += strip_height) {
      transition.RenderStrip(plat::Rect{0, top, kWidth, std::min(top + strip_height, kHeight)});
    }
    benchmark::ClobberMemory();
  }
  pages.front.Detach(false);
}

}  // namespace

int main(int argc, char** argv) {
  RegisterPixmanOver(kWidth, kHeight);
  static const std::vector<Filter> filters = [] {
    std::vector<Filter> all = Filters();
    for (Filter& pattern : PatternFilters()) all.push_back(std::move(pattern));
    return all;
  }();
  for (const Filter& filter : filters) {
    benchmark::RegisterBenchmark(filter.name.c_str(), BM_Filter, filter)->Unit(benchmark::kMicrosecond);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::vector<std::pair<const char*, const char*>> pairs;
  for (const Filter& filter : filters) pairs.emplace_back(filter.name.c_str(), kPixmanOverName);
  pairs.emplace_back("ripple", "cross");
  reporter.PrintRatios("frame", pairs);
  reporter.PrintSlowest("slowest ten of trans", kPatternFilterPrefix, kPixmanOverName, 10);
  benchmark::Shutdown();
  return 0;
}
