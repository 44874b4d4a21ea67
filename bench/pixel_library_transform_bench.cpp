// The pixel library's transform routine, as turned and zoomed sprites call it (the source drawn
// onto three corners, every other pixel of the work image filled), against a reference
// compositing library's SRC of the same picture through the same affine map with the nearest
// filter, which also writes every destination pixel. Each figure is printed as a ratio to its
// anchor after the runs.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstdint>
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

// A draw: the source's size and the corners its top-left, top-right and bottom-left land on.
struct Placement {
  int32_t width;
  int32_t height;
  PixelTransformArgs::Point corners[3];
};

// Turned by 37 of 512 steps about its centre, in the middle of the destination.
Placement Turned() {
  constexpr int32_t kSide = 420;
  const double angle = 37.0 * 2.0 * M_PI / 512.0;
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  const auto at = [&](double x, double y) {
    const double dx = x - kSide / 2.0;
    const double dy = y - kSide / 2.0;
    return PixelTransformArgs::Point{kWidth / 2.0 + dx * c - dy * s, kHeight / 2.0 + dx * s + dy * c};
  };
  return {kSide, kSide, {at(0, 0), at(kSide, 0), at(0, kSide)}};
}

// Zoomed to twice its size over the whole destination.
Placement Zoomed() {
  return {kWidth / 2, kHeight / 2, {{0, 0}, {double{kWidth}, 0}, {0, double{kHeight}}}};
}

CImage& Source(const Placement& placement) {
  static CImage turned;
  static CImage zoomed;
  CImage& image = placement.width == kWidth / 2 ? zoomed : turned;
  if (image.GetPixels() != nullptr) return image;
  image.Create(placement.width, placement.height, 32, 0);
  std::mt19937 random(11);
  for (int32_t y = 0; y < placement.height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(image.GetRowPointer(y));
    for (int32_t x = 0; x < placement.width; ++x) row[x] = static_cast<uint32_t>(random()) | 0xFF000000;
  }
  return image;
}

void CountPixels(benchmark::State& state) {
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight);
}

void LibraryTransform(benchmark::State& state, const Placement& placement) {
  BuildPixelTables();
  ChoosePixelKernels(plat::ReadCpuFeatures(), {});
  CPixelLibrary library;
  SetPixelLib(&library);
  CImage& source = Source(placement);
  CImage destination;
  destination.Create(kWidth, kHeight, 32, 0);
  const ImageSize area{kWidth, kHeight};
  PixelTransformArgs args;
  for (int i = 0; i < 3; ++i) args.points[i] = placement.corners[i];
  args.area = &area;
  for (auto _ : state) {
    if (destination.PixelLibTransform(&source, args) != 0) {
      state.SkipWithError("the transform routine failed");
      break;
    }
    benchmark::ClobberMemory();
  }
  SetPixelLib(nullptr);
  CountPixels(state);
}

// The map from destination points to source points: the inverse of the corners' map.
pixman_transform_t InverseMap(const Placement& placement) {
  const auto& p = placement.corners;
  const double ax = (p[1].x - p[0].x) / placement.width;
  const double ay = (p[1].y - p[0].y) / placement.width;
  const double bx = (p[2].x - p[0].x) / placement.height;
  const double by = (p[2].y - p[0].y) / placement.height;
  const double det = ax * by - bx * ay;
  pixman_f_transform_t inverse;
  inverse.m[0][0] = by / det;
  inverse.m[0][1] = -bx / det;
  inverse.m[1][0] = -ay / det;
  inverse.m[1][1] = ax / det;
  inverse.m[0][2] = -(inverse.m[0][0] * p[0].x + inverse.m[0][1] * p[0].y);
  inverse.m[1][2] = -(inverse.m[1][0] * p[0].x + inverse.m[1][1] * p[0].y);
  inverse.m[2][0] = 0.0;
  inverse.m[2][1] = 0.0;
  inverse.m[2][2] = 1.0;
  pixman_transform_t fixed;
  pixman_transform_from_pixman_f_transform(&fixed, &inverse);
  return fixed;
}

void Reference(benchmark::State& state, const Placement& placement) {
  CImage& source = Source(placement);
  std::vector<uint32_t> destination(static_cast<size_t>(kWidth) * kHeight);
  pixman_image_t* src = pixman_image_create_bits(PIXMAN_a8r8g8b8, placement.width, placement.height,
                                                 reinterpret_cast<uint32_t*>(source.GetRowPointer(0)),
                                                 source.GetPitch());
  pixman_image_t* dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, destination.data(), kWidth * 4);
  const pixman_transform_t map = InverseMap(placement);
  pixman_image_set_transform(src, &map);
  pixman_image_set_filter(src, PIXMAN_FILTER_NEAREST, nullptr, 0);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dst, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(dst);
  pixman_image_unref(src);
  CountPixels(state);
}

void Turn(benchmark::State& state) { LibraryTransform(state, Turned()); }
void Zoom(benchmark::State& state) { LibraryTransform(state, Zoomed()); }
void ReferenceTurn(benchmark::State& state) { Reference(state, Turned()); }
void ReferenceZoom(benchmark::State& state) { Reference(state, Zoomed()); }

BENCHMARK(Turn);
BENCHMARK(ReferenceTurn);
BENCHMARK(Zoom);
BENCHMARK(ReferenceZoom);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarksWithRatios(argc, argv, "transform", {{"Turn", "ReferenceTurn"}, {"Zoom", "ReferenceZoom"}});
}
