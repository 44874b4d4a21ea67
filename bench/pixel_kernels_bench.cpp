// The hot pixel kernels on an 800x600 image, against a reference compositing library's matching
// operations on premultiplied copies of the same pixels and against memcpy of the same bytes.
// After the runs a table gives each kernel's time as a ratio to both.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "pixel/arithmetic_kernels.h"
#include "pixel/blend_kernels.h"
#include "pixel/copy_kernels.h"
#include "pixel/pixel_tables.h"

namespace {

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;
constexpr int32_t kStride = kWidth * 4;
constexpr size_t kPixels = static_cast<size_t>(kWidth) * kHeight;
constexpr uint8_t kLevel = 128;

struct Images {
  std::vector<uint32_t> source;
  std::vector<uint32_t> destination;
  std::vector<uint32_t> premultiplied;

  Images() : source(kPixels), destination(kPixels), premultiplied(kPixels) {
    std::mt19937 random(7);
    for (size_t i = 0; i < kPixels; ++i) {
      source[i] = static_cast<uint32_t>(random());
      destination[i] = static_cast<uint32_t>(random()) | 0xFF000000;
      const uint32_t alpha = source[i] >> 24;
      uint32_t scaled = alpha << 24;
      for (int shift = 0; shift < 24; shift += 8) {
        scaled |= ((((source[i] >> shift) & 0xFF) * alpha + 127) / 255) << shift;
      }
      premultiplied[i] = scaled;
    }
  }
};

Images& SharedImages() {
  static Images images;
  return images;
}

void CountBytes(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kStride * kHeight);
}

template <class Kernel>
void RunKernel(benchmark::State& state, Kernel kernel) {
  BuildPixelTables();
  Images& images = SharedImages();
  std::vector<uint32_t> destination = images.destination;
  for (auto _ : state) {
    kernel(destination.data(), images.source.data());
    benchmark::ClobberMemory();
  }
  CountBytes(state);
}

void Copy(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t* s) { Copy32(d, s, 0, 0, kWidth, kHeight); });
}
void CopyMmx(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t* s) { Copy32Mmx(d, s, 0, 0, kWidth, kHeight); });
}
void AlphaBlend(benchmark::State& state) {
  RunKernel(state,
            [](uint32_t* d, const uint32_t* s) { AlphaBlend32(d, s, 0, 0, kWidth, kHeight); });
}
void AlphaBlendMmx(benchmark::State& state) {
  RunKernel(state,
            [](uint32_t* d, const uint32_t* s) { AlphaBlend32Mmx(d, s, 0, 0, kWidth, kHeight); });
}
void LevelBlend(benchmark::State& state) {
  const uint32_t level = 0x010101u * kLevel;
  RunKernel(state, [level](uint32_t* d, const uint32_t* s) {
    BlendWeighted32(d, s, 0, 0, kWidth, kHeight, 0xFFFFFF - level, level);
  });
}
void LevelBlendMmx(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t* s) {
    BlendLevel32Mmx(d, s, 0, 0, kWidth, kHeight, kLevel);
  });
}
void SaturatingAdd(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t* s) { AddSat32(d, s, 0, 0, kWidth, kHeight); });
}
void SaturatingAddMmx(benchmark::State& state) {
  RunKernel(state,
            [](uint32_t* d, const uint32_t* s) { AddSat32Mmx(d, s, 0, 0, kWidth, kHeight); });
}

void Memcpy(benchmark::State& state) {
  Images& images = SharedImages();
  std::vector<uint32_t> destination(kPixels);
  for (auto _ : state) {
    std::memcpy(destination.data(), images.source.data(), kPixels * 4);
    benchmark::ClobberMemory();
  }
  CountBytes(state);
}

// Composites one library image over a copy of the destination; `opaque` reads the straight
// source as opaque pixels (the level blend ignores alpha), and a level gives a solid mask.
void RunReference(benchmark::State& state, pixman_op_t op, bool opaque, bool masked) {
  Images& images = SharedImages();
  std::vector<uint32_t> destination = images.destination;
  std::vector<uint32_t>& source = opaque ? images.source : images.premultiplied;
  pixman_image_t* src = pixman_image_create_bits(opaque ? PIXMAN_x8r8g8b8 : PIXMAN_a8r8g8b8, kWidth,
                                                 kHeight, source.data(), kStride);
  pixman_image_t* dst =
      pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, destination.data(), kStride);
  const pixman_color_t level{0, 0, 0, static_cast<uint16_t>(kLevel * 257)};
  pixman_image_t* mask = masked ? pixman_image_create_solid_fill(&level) : nullptr;
  for (auto _ : state) {
    pixman_image_composite32(op, src, mask, dst, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
  if (mask != nullptr) pixman_image_unref(mask);
  pixman_image_unref(dst);
  pixman_image_unref(src);
  CountBytes(state);
}

void ReferenceSrc(benchmark::State& state) { RunReference(state, PIXMAN_OP_SRC, false, false); }
void ReferenceOver(benchmark::State& state) { RunReference(state, PIXMAN_OP_OVER, false, false); }
void ReferenceOverAtLevel(benchmark::State& state) {
  RunReference(state, PIXMAN_OP_OVER, true, true);
}
void ReferenceAdd(benchmark::State& state) { RunReference(state, PIXMAN_OP_ADD, false, false); }

// Keeps each run's mean time per iteration for the table of ratios.
class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.iterations > 0) times_[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintRatios() const {
    struct Pair {
      const char* kernel;
      const char* reference;
    };
    const Pair pairs[] = {
        {"AlphaBlend", "ReferenceOver"},        {"AlphaBlendMmx", "ReferenceOver"},
        {"LevelBlend", "ReferenceOverAtLevel"}, {"LevelBlendMmx", "ReferenceOverAtLevel"},
        {"SaturatingAdd", "ReferenceAdd"},      {"SaturatingAddMmx", "ReferenceAdd"},
        {"Copy", "ReferenceSrc"},               {"CopyMmx", "ReferenceSrc"}};
    const auto memcpy_time = times_.find("Memcpy");
    std::printf("\n%-18s %-22s %12s %14s\n", "kernel", "reference", "/ reference", "/ memcpy");
    for (const Pair& pair : pairs) {
      const auto kernel = times_.find(pair.kernel);
      const auto reference = times_.find(pair.reference);
      if (kernel == times_.end() || reference == times_.end() || memcpy_time == times_.end()) {
        continue;
      }
      std::printf("%-18s %-22s %12.2f %14.2f\n", pair.kernel, pair.reference,
                  kernel->second / reference->second, kernel->second / memcpy_time->second);
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

BENCHMARK(Copy)->Unit(benchmark::kMicrosecond);
BENCHMARK(CopyMmx)->Unit(benchmark::kMicrosecond);
BENCHMARK(AlphaBlend)->Unit(benchmark::kMicrosecond);
BENCHMARK(AlphaBlendMmx)->Unit(benchmark::kMicrosecond);
BENCHMARK(LevelBlend)->Unit(benchmark::kMicrosecond);
BENCHMARK(LevelBlendMmx)->Unit(benchmark::kMicrosecond);
BENCHMARK(SaturatingAdd)->Unit(benchmark::kMicrosecond);
BENCHMARK(SaturatingAddMmx)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReferenceSrc)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReferenceOver)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReferenceOverAtLevel)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReferenceAdd)->Unit(benchmark::kMicrosecond);
BENCHMARK(Memcpy)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
