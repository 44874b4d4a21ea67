// Every transition pattern drawing one frame at level 128 from an 800 x 600 source into an
// 800 x 600 destination by software copy, against memcpy of the same frame and pixman's OVER of
// a whole frame with per-pixel alpha in the same run. After the runs: every pattern's time as a
// ratio to both anchors, and the slowest ten. The patterns of the most pieces are drawn as well
// into a destination that keeps a dirty region, as a canvas does ("tracked/N").
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/numbers/trig_tables.h"
#include "effects/patterns/transition_patterns.h"
#include "gfx/images/dirty_region.h"
#include "gfx/images/image.h"
#include "pixel/kernels/pixel_kernel_choice.h"
#include "pixel/kernels/pixel_tables.h"
#include "platform/system/cpu_features.h"

#include "ratio_reporter.h"

namespace {

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;
constexpr int32_t kLevel = 128;

struct Frame {
  CTrigTables trig;
  CImage source;
  CImage destination;
  CImage tracked;

  Frame() {
    BuildPixelTables();
    ChoosePixelKernels(plat::ReadCpuFeatures(), {});
    g_TrigTable = &trig;
    source.Create(kWidth, kHeight, 32, 0);
    destination.Create(kWidth, kHeight, 32, 0);
    tracked.Create(kWidth, kHeight, 32, CImage::kOwnDirtyRegion);
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

// The patterns of the most pieces.
constexpr int32_t kTrackedPatterns[] = {3, 45, 56, 60};
std::string TrackedName(int32_t type) { return "tracked/" + std::to_string(type); }

void BM_Pattern(benchmark::State& state, int32_t type) {
  Frame& frame = TheFrame();
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        DrawTransitionPattern(type, &frame.destination, &frame.source, kLevel, 0, 0, kTransitionCopy, nullptr));
    benchmark::ClobberMemory();
  }
}

void BM_PatternTracked(benchmark::State& state, int32_t type) {
  Frame& frame = TheFrame();
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        DrawTransitionPattern(type, &frame.tracked, &frame.source, kLevel, 0, 0, kTransitionCopy, nullptr));
    frame.tracked.GetDirtyRegion()->Clear();
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

void BM_PixmanOver(benchmark::State& state) {
  std::vector<uint32_t> source(static_cast<size_t>(kWidth) * kHeight);
  std::vector<uint32_t> destination(source.size(), 0xFF336699u);
  for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint32_t>(i * 2654435761u) | 0x01000000u;
  pixman_image_t* src = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, source.data(), kWidth * 4);
  pixman_image_t* dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, destination.data(), kWidth * 4);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, src, nullptr, dst, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(dst);
  pixman_image_unref(src);
}

class PatternReporter : public RatioReporter {
 public:
  void PrintPatternRatios() const {
    const auto memcpy_time = times_.find("memcpy");
    const auto pixman_time = times_.find("pixman_over");
    if (memcpy_time == times_.end() || pixman_time == times_.end()) return;
    // (time / pixman, pattern, time / memcpy)
    std::vector<std::tuple<double, int32_t, double>> ratios;
    for (int32_t type = 0; type < kTransitionPatternCount; ++type) {
      const auto time = times_.find(PatternName(type));
      if (time == times_.end()) continue;
      ratios.emplace_back(time->second / pixman_time->second, type, time->second / memcpy_time->second);
    }
    std::printf("\n%-12s %10s %10s\n", "pattern", "/ pixman", "/ memcpy");
    for (const auto& [pixman, type, copy] : ratios) std::printf("%-12d %10.2f %10.2f\n", type, pixman, copy);
    std::sort(ratios.rbegin(), ratios.rend());
    std::printf("\nslowest ten (frame time / pixman OVER of the frame):\n");
    for (size_t i = 0; i < std::min<size_t>(10, ratios.size()); ++i) {
      std::printf("%-12d %10.2f\n", std::get<1>(ratios[i]), std::get<0>(ratios[i]));
    }
    std::printf("\ninto a destination keeping a dirty region (frame time / pixman OVER of the frame):\n");
    for (const int32_t type : kTrackedPatterns) {
      const auto time = times_.find(TrackedName(type));
      if (time != times_.end()) std::printf("%-12d %10.2f\n", type, time->second / pixman_time->second);
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::RegisterBenchmark("memcpy", BM_Memcpy)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("pixman_over", BM_PixmanOver)->Unit(benchmark::kMicrosecond);
  for (int32_t type = 0; type < kTransitionPatternCount; ++type) {
    benchmark::RegisterBenchmark(PatternName(type).c_str(), BM_Pattern, type)->Unit(benchmark::kMicrosecond);
  }
  for (const int32_t type : kTrackedPatterns) {
    benchmark::RegisterBenchmark(TrackedName(type).c_str(), BM_PatternTracked, type)
        ->Unit(benchmark::kMicrosecond);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  PatternReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintPatternRatios();
  benchmark::Shutdown();
  return 0;
}
