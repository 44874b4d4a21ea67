// Every transition pattern drawing one frame at level 128 from an 800 x 600 source into an
// 800 x 600 destination by software copy, against memcpy of the same frame in the same run.
// After the runs: every pattern's time as a ratio to the copy, and the slowest five.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "base/trig_tables.h"
#include "effects/transition_patterns.h"
#include "gfx/image.h"
#include "pixel/pixel_kernel_choice.h"
#include "pixel/pixel_tables.h"
#include "platform/cpu_features.h"

#include "ratio_reporter.h"

namespace {

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;
constexpr int32_t kLevel = 128;

struct Frame {
  CTrigTables trig;
  CImage source;
  CImage destination;

  Frame() {
    BuildPixelTables();
    ChoosePixelKernels(plat::ReadCpuFeatures(), {});
    g_TrigTable = &trig;
    source.Create(kWidth, kHeight, 32, 0);
    destination.Create(kWidth, kHeight, 32, 0);
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
    const auto anchor = times_.find("memcpy");
    if (anchor == times_.end()) return;
    std::vector<std::pair<double, int32_t>> ratios;
    for (int32_t type = 0; type < kTransitionPatternCount; ++type) {
      const auto time = times_.find(PatternName(type));
      if (time != times_.end()) ratios.emplace_back(time->second / anchor->second, type);
    }
    std::printf("\n%-12s %10s\n", "pattern", "/ memcpy");
    for (const auto& [ratio, type] : ratios) std::printf("%-12d %10.2f\n", type, ratio);
    std::sort(ratios.rbegin(), ratios.rend());
    std::printf("\nslowest five (frame time / memcpy of the frame):\n");
    for (size_t i = 0; i < std::min<size_t>(5, ratios.size()); ++i) {
      std::printf("%-12d %10.2f\n", ratios[i].second, ratios[i].first);
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::RegisterBenchmark("memcpy", BM_Memcpy)->Unit(benchmark::kMicrosecond);
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
