// The pixel library's blend routine on an 800x600 picture through the image operation that
// scripts and sprites call, against a reference compositing library on the same pixels: mode 0
// (a copy at level 255) against its SRC and mode 2 (by the source alpha) against its OVER of a
// premultiplied copy. Each figure is printed as a ratio to its anchor after the runs.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "gfx/images/image.h"
#include "gfx/images/pixel_library.h"
#include "pixel/kernels/pixel_kernel_choice.h"
#include "pixel/kernels/pixel_tables.h"
#include "platform/system/cpu_features.h"
#include "ratio_reporter.h"

namespace {

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;
constexpr int32_t kStride = kWidth * 4;

struct Pictures {
  CImage source;
  CImage destination;
  std::vector<uint32_t> premultiplied;

  Pictures() {
    source.Create(kWidth, kHeight, 32, 0);
    destination.Create(kWidth, kHeight, 32, 0);
    std::mt19937 random(7);
    for (int32_t y = 0; y < kHeight; ++y) {
      auto* src = reinterpret_cast<uint32_t*>(source.GetRowPointer(y));
      auto* dst = reinterpret_cast<uint32_t*>(destination.GetRowPointer(y));
      for (int32_t x = 0; x < kWidth; ++x) {
        src[x] = static_cast<uint32_t>(random());
        dst[x] = static_cast<uint32_t>(random()) | 0xFF000000;
        const uint32_t alpha = src[x] >> 24;
        uint32_t scaled = alpha << 24;
        for (int shift = 0; shift < 24; shift += 8)
          scaled |= ((((src[x] >> shift) & 0xFF) * alpha + 127) / 255) << shift;
        premultiplied.push_back(scaled);
      }
    }
  }
};

Pictures& SharedPictures() {
  static Pictures pictures;
  return pictures;
}

void CountBytes(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kStride * kHeight);
}

void LibraryBlend(benchmark::State& state, uint32_t mode) {
  BuildPixelTables();
  ChoosePixelKernels(plat::ReadCpuFeatures(), {});
  CPixelLibrary library;
  SetPixelLib(&library);
  Pictures& pictures = SharedPictures();
  for (auto _ : state) {
    if (pictures.destination.PixelLibBlend(&pictures.source, mode, 255, 0, 0, 0, nullptr) != 0) {
      state.SkipWithError("the blend routine failed");
      break;
    }
    benchmark::ClobberMemory();
  }
  SetPixelLib(nullptr);
  CountBytes(state);
}

void Reference(benchmark::State& state, pixman_op_t op) {
  Pictures& pictures = SharedPictures();
  std::vector<uint32_t> destination(static_cast<size_t>(kWidth) * kHeight);
  std::memcpy(destination.data(), pictures.destination.GetRowPointer(0), destination.size() * 4);
  pixman_image_t* src =
      pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, pictures.premultiplied.data(), kStride);
  pixman_image_t* dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, destination.data(), kStride);
  for (auto _ : state) {
    pixman_image_composite32(op, src, nullptr, dst, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(dst);
  pixman_image_unref(src);
  CountBytes(state);
}

void BlendMode0(benchmark::State& state) { LibraryBlend(state, kPixelBlendLevel); }
void BlendMode2(benchmark::State& state) { LibraryBlend(state, kPixelBlendAlpha); }
void ReferenceSrc(benchmark::State& state) { Reference(state, PIXMAN_OP_SRC); }
void ReferenceOver(benchmark::State& state) { Reference(state, PIXMAN_OP_OVER); }

BENCHMARK(BlendMode0);
BENCHMARK(ReferenceSrc);
BENCHMARK(BlendMode2);
BENCHMARK(ReferenceOver);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarksWithRatios(argc, argv, "blend routine",
                                 {{"BlendMode0", "ReferenceSrc"}, {"BlendMode2", "ReferenceOver"}});
}
