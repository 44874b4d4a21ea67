// Every transition pattern drawing one frame at level 128 from an 800 x 600 page into an 800 x 600
// page, as the "trans" filter draws them in a game: the pixel library installed, both pictures
// made as a canvas makes its pages (a destination that keeps a dirty region, emptied after each
// frame as a present empties it). Against memcpy of the same frame and the one anchor (OVER of a
// whole frame with per-pixel alpha) in the same run. After the runs: every pattern's time as a
// ratio to both anchors, and the slowest ten.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "effects/patterns/transition_patterns.h"
#include "gfx/images/dirty_region.h"
#include "gfx/images/image.h"

#include "game_drawing_set_up.h"
#include "pixman_over_anchor.h"
#include "ratio_reporter.h"

namespace {

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;
constexpr int32_t kLevel = 128;

struct Frame {
  GameDrawingSetUp game;
  CImage source;
  CImage destination;

  Frame() {
    source.Create(kWidth, kHeight, 32, CImage::kUseDib | CImage::kOwnDirtyRegion);
    destination.Create(kWidth, kHeight, 32, CImage::kUseDib | CImage::kOwnDirtyRegion);
    for (int32_t y = 0; y < kHeight; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(source.GetRowPointer(y));
      for (int32_t x = 0; x < kWidth; ++x) row[x] = 0xFF000000u | static_cast<uint32_t>((y % 256) << 8 | (x % 256));
    }
  }
};

Frame& TheFrame() {
  static Frame frame;
  return frame;
}

std::string PatternName(int32_t type) { return "pattern/" + std::to_string(type); }

void BM_Pattern(benchmark::State& state, int32_t type) {
  Frame& frame = TheFrame();
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        DrawTransitionPattern(type, &frame.destination, &frame.source, kLevel, 0, 0, kTransitionCopy, nullptr));
    frame.destination.GetDirtyRegion()->Clear();
    benchmark::ClobberMemory();
  }
}

void BM_Memcpy(benchmark::State& state) {
  Frame& frame = TheFrame();
  const size_t bytes = static_cast<size_t>(frame.source.GetPitch()) * kHeight;
  for (auto _ : state) {
    std::memcpy(frame.destination.GetPixels(), frame.source.GetPixels(), bytes);
    benchmark::ClobberMemory();
  }
}

class PatternReporter : public RatioReporter {
 public:
  void PrintPatternRatios() const {
    const auto memcpy_time = times_.find("memcpy");
    const auto pixman_time = times_.find(kPixmanOverName);
    if (memcpy_time == times_.end() || pixman_time == times_.end()) return;
    // (time / pixman, pattern, time / memcpy)
    std::vector<std::tuple<double, int32_t, double>> ratios;
    for (int32_t type = 0; type < kTransitionPatternCount; ++type) {
      const auto time = times_.find(PatternName(type));
      if (time == times_.end()) continue;
      ratios.emplace_back(time->second / pixman_time->second, type, time->second / memcpy_time->second);
    }
    std::printf("\n%-12s %12s %10s\n", "pattern", "/ pixman_over", "/ memcpy");
    for (const auto& [pixman, type, copy] : ratios) std::printf("%-12d %12.2f %10.2f\n", type, pixman, copy);
    PrintSlowest("slowest ten", "pattern/", kPixmanOverName, 10);
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::RegisterBenchmark("memcpy", BM_Memcpy)->Unit(benchmark::kMicrosecond);
  RegisterPixmanOver(kWidth, kHeight);
  for (int32_t type = 0; type < kTransitionPatternCount; ++type) {
    benchmark::RegisterBenchmark(PatternName(type).c_str(), BM_Pattern, type)->Unit(benchmark::kMicrosecond);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  PatternReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintPatternRatios();
  benchmark::Shutdown();
  return 0;
}
