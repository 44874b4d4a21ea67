// Every transition pattern drawing one frame at level 128 from an 800 x 600 page into an 800 x 600
// page, as the "trans" filter draws them in a game: the pixel library installed, both pictures
// made as a canvas makes its pages (a destination that keeps a dirty region, emptied after each
// frame as a present empties it). Each pattern in the copy mode from an opaque page, and in the
// alpha-blend mode from a page whose every pixel has an alpha of its own. Against memcpy of the
// same frame and the one anchor (OVER of a whole frame with per-pixel alpha) in the same run.
// After the runs: every pattern's time in both modes as a ratio to the anchors, and the slowest
// ten of each mode.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

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
  CImage alpha_source;
  CImage destination;

  Frame() {
    for (CImage* page : {&source, &alpha_source, &destination}) {
      page->Create(kWidth, kHeight, 32, CImage::kUseDib | CImage::kOwnDirtyRegion);
    }
    for (int32_t y = 0; y < kHeight; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(source.GetRowPointer(y));
      auto* alpha_row = reinterpret_cast<uint32_t*>(alpha_source.GetRowPointer(y));
      for (int32_t x = 0; x < kWidth; ++x) {
        const auto colour = static_cast<uint32_t>((y % 256) << 8 | (x % 256));
        row[x] = 0xFF000000u | colour;
        // Alphas from 1 to 255, none 0: no run of clear or opaque pixels to take a short cut.
        alpha_row[x] = static_cast<uint32_t>((x * 7 + y * 13) % 255 + 1) << 24 | colour;
      }
    }
  }
};

Frame& TheFrame() {
  static Frame frame;
  return frame;
}

// The benchmark of a pattern in a mode: "pattern/N" copies, "blend/N" blends by alpha.
std::string PatternName(int32_t type, int32_t mode) {
  return (mode == kTransitionCopy ? "pattern/" : "blend/") + std::to_string(type);
}

void BM_Pattern(benchmark::State& state, int32_t type, int32_t mode) {
  Frame& frame = TheFrame();
  CImage* source = mode == kTransitionCopy ? &frame.source : &frame.alpha_source;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        DrawTransitionPattern(type, &frame.destination, source, kLevel, 0, 0, mode, nullptr));
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
    // A mode's time as a ratio to an anchor, or none when either did not run.
    const auto ratio = [&](int32_t type, int32_t mode, double anchor) -> std::optional<double> {
      const auto time = times_.find(PatternName(type, mode));
      if (time == times_.end()) return std::nullopt;
      return time->second / anchor;
    };
    const auto print = [](std::optional<double> value) {
      if (value) {
        std::printf(" %12.2f", *value);
      } else {
        std::printf(" %12s", "-");
      }
    };
    std::printf("\n%-8s %12s %12s %12s %12s\n", "pattern", "copy/pixman", "copy/memcpy", "blend/pixman",
                "blend/memcpy");
    for (int32_t type = 0; type < kTransitionPatternCount; ++type) {
      std::printf("%-8d", type);
      for (const int32_t mode : {kTransitionCopy, kTransitionAlphaBlend}) {
        print(ratio(type, mode, pixman_time->second));
        print(ratio(type, mode, memcpy_time->second));
      }
      std::printf("\n");
    }
    PrintSlowest("slowest ten copies", "pattern/", kPixmanOverName, 10);
    PrintSlowest("slowest ten blends", "blend/", kPixmanOverName, 10);
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::RegisterBenchmark("memcpy", BM_Memcpy)->Unit(benchmark::kMicrosecond);
  RegisterPixmanOver(kWidth, kHeight);
  for (const int32_t mode : {kTransitionCopy, kTransitionAlphaBlend}) {
    for (int32_t type = 0; type < kTransitionPatternCount; ++type) {
      benchmark::RegisterBenchmark(PatternName(type, mode).c_str(), BM_Pattern, type, mode)
          ->Unit(benchmark::kMicrosecond);
    }
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  PatternReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintPatternRatios();
  benchmark::Shutdown();
  return 0;
}
