// The hot pixel kernels on an 800x600 image, against a reference compositing library's matching
// operations on premultiplied copies of the same pixels and against memcpy of the same bytes.
// After the runs a table gives each kernel's time as a ratio to both (to memcpy alone where the
// library has nothing comparable). The library has no saturating subtract: the subtract is set
// against its saturating add, the same work per byte. A second table sets each vector member's
// SSE2 form against its plain form and its AVX2 form against the SSE2 one.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "pixel/kernels/alpha_level_kernels.h"
#include "pixel/kernels/alpha_run_blend.h"
#include "pixel/kernels/alpha_run_map.h"
#include "pixel/kernels/arithmetic_kernels.h"
#include "pixel/kernels/bilinear_kernels.h"
#include "pixel/kernels/blend_kernels.h"
#include "pixel/kernels/box_blur_kernels.h"
#include "pixel/kernels/colour_transform_kernels.h"
#include "pixel/kernels/copy_kernels.h"
#include "pixel/kernels/masked_colour_kernels.h"
#include "pixel/kernels/pixel_kernel_choice.h"
#include "pixel/kernels/pixel_tables.h"
#include "pixel/kernels/stretch_step.h"
#include "pixel/kernels/quad_map_kernels.h"
#include "pixel/kernels/smooth_mosaic_kernels.h"
#include "platform/system/cpu_features.h"
#include "ratio_reporter.h"

namespace {

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;
constexpr int32_t kStride = kWidth * 4;
constexpr size_t kPixels = static_cast<size_t>(kWidth) * kHeight;
constexpr uint8_t kLevel = 128;
constexpr uint32_t kColour = 0x00C86432;
constexpr int32_t kBlurRadius = 2;
// The quadrilateral kernels read the source turned by this angle about its centre.
constexpr double kQuadTurn = 10.0 * 3.14159265358979 / 180.0;

uint32_t Premultiplied(uint32_t pixel) {
  const uint32_t alpha = pixel >> 24;
  uint32_t scaled = alpha << 24;
  for (int shift = 0; shift < 24; shift += 8) scaled |= ((((pixel >> shift) & 0xFF) * alpha + 127) / 255) << shift;
  return scaled;
}

// A picture shaped like a game's figure: an opaque ellipse of varied colour with a soft edge a few
// pixels wide, on clear surroundings (about 40 % of the pixels opaque).
uint32_t FigurePixel(int32_t x, int32_t y, uint32_t colour) {
  const double dx = (x - kWidth / 2.0) / (kWidth * 0.3);
  const double dy = (y - kHeight / 2.0) / (kHeight * 0.45);
  const double inside = (1.0 - std::sqrt(dx * dx + dy * dy)) * kWidth * 0.3 / 3.0;
  const auto alpha = static_cast<uint32_t>(std::clamp(inside, 0.0, 1.0) * 255.0);
  return alpha << 24 | (colour & 0x00FFFFFF);
}

struct Images {
  std::vector<uint32_t> source;
  std::vector<uint32_t> destination;
  std::vector<uint32_t> premultiplied;
  std::vector<uint8_t> mask;
  std::vector<uint32_t> figure;
  std::vector<uint32_t> figure_premultiplied;

  Images()
      : source(kPixels), destination(kPixels), premultiplied(kPixels), mask(kPixels), figure(kPixels),
        figure_premultiplied(kPixels) {
    std::mt19937 random(7);
    for (size_t i = 0; i < kPixels; ++i) {
      source[i] = static_cast<uint32_t>(random());
      mask[i] = static_cast<uint8_t>(random());
      destination[i] = static_cast<uint32_t>(random()) | 0xFF000000;
      premultiplied[i] = Premultiplied(source[i]);
      figure[i] = FigurePixel(static_cast<int32_t>(i % kWidth), static_cast<int32_t>(i / kWidth),
                              static_cast<uint32_t>(random()));
      figure_premultiplied[i] = Premultiplied(figure[i]);
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
void RunKernel(benchmark::State& state, Kernel kernel, bool figure = false) {
  BuildPixelTables();
  Images& images = SharedImages();
  std::vector<uint32_t> destination = images.destination;
  const uint32_t* source = figure ? images.figure.data() : images.source.data();
  for (auto _ : state) {
    kernel(destination.data(), source);
    benchmark::ClobberMemory();
  }
  CountBytes(state);
}

// Runs a vector member in its AVX2 form, where the processor has it.
template <class Kernel>
void RunAvx2(benchmark::State& state, Kernel kernel, bool figure = false) {
  if (!plat::ReadCpuFeatures().avx2) {
    state.SkipWithError("the processor has no AVX2");
    return;
  }
  g_CpuHasAvx2 = 1;
  RunKernel(state, kernel, figure);
  g_CpuHasAvx2 = 0;
}

void Copy(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t* s) { Copy32(d, s, 0, 0, kWidth, kHeight); });
}
void CopyMmx(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t* s) { Copy32Mmx(d, s, 0, 0, kWidth, kHeight); });
}
void CopyAvx2(benchmark::State& state) {
  RunAvx2(state, [](uint32_t* d, const uint32_t* s) { Copy32Mmx(d, s, 0, 0, kWidth, kHeight); });
}
void AlphaBlend(benchmark::State& state) {
  RunKernel(state,
            [](uint32_t* d, const uint32_t* s) { AlphaBlend32(d, s, 0, 0, kWidth, kHeight); });
}
void AlphaBlendMmx(benchmark::State& state) {
  RunKernel(state,
            [](uint32_t* d, const uint32_t* s) { AlphaBlend32Mmx(d, s, 0, 0, kWidth, kHeight); });
}
void AlphaBlendAvx2(benchmark::State& state) {
  RunAvx2(state, [](uint32_t* d, const uint32_t* s) { AlphaBlend32Mmx(d, s, 0, 0, kWidth, kHeight); });
}
void AlphaBlendFigureMmx(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t* s) { AlphaBlend32Mmx(d, s, 0, 0, kWidth, kHeight); }, true);
}
void AlphaBlendFigureAvx2(benchmark::State& state) {
  RunAvx2(state, [](uint32_t* d, const uint32_t* s) { AlphaBlend32Mmx(d, s, 0, 0, kWidth, kHeight); }, true);
}
// The figure blended as a picture is: through its run map, built once as the picture's first
// blend builds it, over a destination whose own map each blend keeps up (its alpha bytes are 0
// where the blend wrote them), as the engine's target image keeps it.
void RunFigureByRuns(benchmark::State& state, bool avx2) {
  if (avx2 && !plat::ReadCpuFeatures().avx2) {
    state.SkipWithError("the processor has no AVX2");
    return;
  }
  BuildPixelTables();
  g_CpuHasAvx2 = avx2 ? 1 : 0;
  Images& images = SharedImages();
  std::vector<uint32_t> destination = images.destination;
  const AlphaRunMap figure_runs = AlphaRunMap::Build(images.figure.data(), kStride, kWidth, kHeight);
  AlphaRunMap destination_runs = AlphaRunMap::Build(destination.data(), kStride, kWidth, kHeight);
  for (auto _ : state) {
    AlphaBlend32RunsMmx(destination.data(), images.figure.data(), 0, 0, kWidth, kHeight, {&figure_runs, 0, 0},
                        {&destination_runs, 0, 0});
    destination_runs.MarkClear(0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
  g_CpuHasAvx2 = 0;
  CountBytes(state);
}
void AlphaBlendFigureRunsMmx(benchmark::State& state) { RunFigureByRuns(state, false); }
void AlphaBlendFigureRunsAvx2(benchmark::State& state) { RunFigureByRuns(state, true); }
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
void LevelBlendAvx2(benchmark::State& state) {
  RunAvx2(state, [](uint32_t* d, const uint32_t* s) { BlendLevel32Mmx(d, s, 0, 0, kWidth, kHeight, kLevel); });
}
void SaturatingAdd(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t* s) { AddSat32(d, s, 0, 0, kWidth, kHeight); });
}
void SaturatingAddMmx(benchmark::State& state) {
  RunKernel(state,
            [](uint32_t* d, const uint32_t* s) { AddSat32Mmx(d, s, 0, 0, kWidth, kHeight); });
}

void SaturatingAddAvx2(benchmark::State& state) {
  RunAvx2(state, [](uint32_t* d, const uint32_t* s) { AddSat32Mmx(d, s, 0, 0, kWidth, kHeight); });
}
void SaturatingSub(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t* s) { SubSat32(d, s, 0, 0, kWidth, kHeight); });
}
void SaturatingSubMmx(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t* s) { SubSat32Mmx(d, s, 0, 0, kWidth, kHeight); });
}
void SaturatingSubAvx2(benchmark::State& state) {
  RunAvx2(state, [](uint32_t* d, const uint32_t* s) { SubSat32Mmx(d, s, 0, 0, kWidth, kHeight); });
}

const uint8_t* LevelRow() { return g_PixelTables.product[kLevel]; }

void AlphaLevelBlend(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t* s) { BlendAlphaLevel32(d, s, 0, 0, kWidth, kHeight, LevelRow()); });
}
void AlphaLevelBlendMmx(benchmark::State& state) {
  RunKernel(state,
            [](uint32_t* d, const uint32_t* s) { BlendAlphaLevel32Mmx(d, s, 0, 0, kWidth, kHeight, LevelRow()); });
}
void AlphaLevelBlendFigureMmx(benchmark::State& state) {
  RunKernel(
      state, [](uint32_t* d, const uint32_t* s) { BlendAlphaLevel32Mmx(d, s, 0, 0, kWidth, kHeight, LevelRow()); },
      true);
}
void AlphaLevelBlendFigureAvx2(benchmark::State& state) {
  RunAvx2(
      state, [](uint32_t* d, const uint32_t* s) { BlendAlphaLevel32Mmx(d, s, 0, 0, kWidth, kHeight, LevelRow()); },
      true);
}
void AlphaLevelBlendAvx2(benchmark::State& state) {
  RunAvx2(state,
          [](uint32_t* d, const uint32_t* s) { BlendAlphaLevel32Mmx(d, s, 0, 0, kWidth, kHeight, LevelRow()); });
}
void AlphaLevelAdd(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t* s) { AddAlphaLevel32(d, s, 0, 0, kWidth, kHeight, LevelRow()); });
}
void AlphaLevelAddMmx(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t* s) { AddAlphaLevel32Mmx(d, s, 0, 0, kWidth, kHeight, LevelRow()); });
}
void AlphaLevelAddAvx2(benchmark::State& state) {
  RunAvx2(state, [](uint32_t* d, const uint32_t* s) { AddAlphaLevel32Mmx(d, s, 0, 0, kWidth, kHeight, LevelRow()); });
}
void OverLayer(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t* s) { BlendOver32(d, s, 0, 0, kWidth, kHeight, LevelRow()); });
}
void OverLayerMmx(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t* s) { BlendOver32Mmx(d, s, 0, 0, kWidth, kHeight, LevelRow()); });
}
void OverLayerAvx2(benchmark::State& state) {
  RunAvx2(state, [](uint32_t* d, const uint32_t* s) { BlendOver32Mmx(d, s, 0, 0, kWidth, kHeight, LevelRow()); });
}
// The stretched walk at one source pixel per destination pixel: the same pixels as OverLayer
// through the stretched member's stepping.
const StretchStep& UnitStretch() {
  static const StretchStep step = UnclippedStretchStep(kWidth, kHeight, kWidth, kHeight);
  return step;
}
void OverLayerStretch(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t* s) {
    BlendOver32Stretch(d, s, 0, kStride, kWidth, kHeight, LevelRow(), UnitStretch());
  });
}
void OverLayerStretchMmx(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t* s) {
    BlendOver32StretchMmx(d, s, 0, kStride, kWidth, kHeight, LevelRow(), UnitStretch());
  });
}
void OverLayerStretchAvx2(benchmark::State& state) {
  RunAvx2(state, [](uint32_t* d, const uint32_t* s) {
    BlendOver32StretchMmx(d, s, 0, kStride, kWidth, kHeight, LevelRow(), UnitStretch());
  });
}
void MaskLevelBlend(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t* s) {
    BlendMaskLevel32(d, s, SharedImages().mask.data(), 0, 0, 0, kWidth, kHeight, LevelRow());
  });
}
void MaskLevelBlendMmx(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t* s) {
    BlendMaskLevel32Mmx(d, s, SharedImages().mask.data(), 0, 0, 0, kWidth, kHeight, LevelRow());
  });
}
void MaskLevelBlendAvx2(benchmark::State& state) {
  RunAvx2(state, [](uint32_t* d, const uint32_t* s) {
    BlendMaskLevel32Mmx(d, s, SharedImages().mask.data(), 0, 0, 0, kWidth, kHeight, LevelRow());
  });
}
void ColourMasked(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t*) {
    BlendColorMasked32(d, SharedImages().mask.data(), 0, 0, kWidth, kHeight, kColour, g_PixelTables.product[255]);
  });
}
void ColourMaskedMmx(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t*) {
    BlendColorMasked32Mmx(d, SharedImages().mask.data(), 0, 0, kWidth, kHeight, kColour, g_PixelTables.product[255]);
  });
}
void ColourMaskedAvx2(benchmark::State& state) {
  RunAvx2(state, [](uint32_t* d, const uint32_t*) {
    BlendColorMasked32Mmx(d, SharedImages().mask.data(), 0, 0, kWidth, kHeight, kColour, g_PixelTables.product[255]);
  });
}
void ColourOverMasked(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t*) {
    OverColorMasked32(d, SharedImages().mask.data(), 0, 0, kWidth, kHeight, kColour, g_PixelTables.product[255]);
  });
}
void ColourOverMaskedMmx(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t*) {
    OverColorMasked32Mmx(d, SharedImages().mask.data(), 0, 0, kWidth, kHeight, kColour, g_PixelTables.product[255]);
  });
}
void ColourOverMaskedAvx2(benchmark::State& state) {
  RunAvx2(state, [](uint32_t* d, const uint32_t*) {
    OverColorMasked32Mmx(d, SharedImages().mask.data(), 0, 0, kWidth, kHeight, kColour, g_PixelTables.product[255]);
  });
}

// A sampling step just under one pixel keeps every right and lower neighbour inside the source.
BilinearStep NearlyUnitStep() {
  BilinearStep step;
  step.xStepFrac = static_cast<uint32_t>(4294967296.0 * (kWidth - 1) / kWidth);
  step.yStepFrac = static_cast<uint32_t>(4294967296.0 * (kHeight - 1) / kHeight);
  return step;
}
void Bilinear(benchmark::State& state) {
  const BilinearStep step = NearlyUnitStep();
  RunKernel(state, [&](uint32_t* d, const uint32_t* s) { Bilinear32(d, s, 0, kStride, kWidth, kHeight, step); });
}
void BilinearMmx(benchmark::State& state) {
  const BilinearStep step = NearlyUnitStep();
  RunKernel(state, [&](uint32_t* d, const uint32_t* s) { Bilinear32Mmx(d, s, 0, kStride, kWidth, kHeight, step); });
}
void BilinearAvx2(benchmark::State& state) {
  const BilinearStep step = NearlyUnitStep();
  RunAvx2(state, [&](uint32_t* d, const uint32_t* s) { Bilinear32Mmx(d, s, 0, kStride, kWidth, kHeight, step); });
}

class BenchQuadSource : public QuadMapSource {
 public:
  explicit BenchQuadSource(uint32_t* pixels) {
    for (int32_t y = 0; y < kHeight; ++y) rows_.push_back(reinterpret_cast<uint8_t*>(pixels + y * kWidth));
  }
  uint8_t* const* GetRowTable() const override { return rows_.data(); }
  uint32_t BuildRowTable() override { return 0; }
  plat::Rect SampleRect() const override { return {0, 0, kWidth, kHeight}; }

 private:
  std::vector<uint8_t*> rows_;
};

// The source corners turned about the source's centre: what the whole destination samples.
QuadCorners TurnedSourceQuad() {
  const double c = std::cos(kQuadTurn);
  const double s = std::sin(kQuadTurn);
  const auto turn = [&](double x, double y) {
    const double dx = x - kWidth / 2.0;
    const double dy = y - kHeight / 2.0;
    return QuadCorner{static_cast<int32_t>(std::lround(kWidth / 2.0 + c * dx - s * dy)),
                      static_cast<int32_t>(std::lround(kHeight / 2.0 + s * dx + c * dy))};
  };
  return {turn(0, 0), turn(kWidth, 0), turn(0, kHeight), turn(kWidth, kHeight)};
}

template <class Map>
void RunQuad(benchmark::State& state, Map map) {
  BenchQuadSource source(SharedImages().source.data());
  const QuadCorners destination{QuadCorner{0, 0}, QuadCorner{kWidth, 0}, QuadCorner{0, kHeight},
                                QuadCorner{kWidth, kHeight}};
  const QuadCorners turned = TurnedSourceQuad();
  RunKernel(state, [&](uint32_t* d, const uint32_t*) {
    map(QuadMapTarget{d, kStride, kWidth, kHeight}, source, destination, turned, plat::Rect{0, 0, kWidth, kHeight});
  });
}
void QuadCopy(benchmark::State& state) {
  RunQuad(state, [](const QuadMapTarget& d, QuadMapSource& s, const QuadCorners& dq, const QuadCorners& sq,
                    const plat::Rect& clip) { MapQuad32(d, s, dq, sq, clip, 1); });
}
void QuadBlend(benchmark::State& state) {
  RunQuad(state, [](const QuadMapTarget& d, QuadMapSource& s, const QuadCorners& dq, const QuadCorners& sq,
                    const plat::Rect& clip) { MapQuadAlphaLevel32(d, s, dq, sq, clip, 1, LevelRow()); });
}
void QuadBlendMmx(benchmark::State& state) {
  RunQuad(state, [](const QuadMapTarget& d, QuadMapSource& s, const QuadCorners& dq, const QuadCorners& sq,
                    const plat::Rect& clip) { MapQuadAlphaLevel32Mmx(d, s, dq, sq, clip, 1, LevelRow()); });
}

void BoxBlur(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t* s) {
    BoxBlurH32(d, s, 0, 0, kWidth, kHeight, 0, kWidth, kBlurRadius);
  });
}
void Grey(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t*) { Grayscale32(d, 0, kWidth, kHeight); });
}
void GreyMmx(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t*) { Grayscale32Mmx(d, 0, kWidth, kHeight); });
}
void AddColour(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t*) { AddColor32(d, 0, kWidth, kHeight, kColour); });
}
void AddColourMmx(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t*) { AddColor32Mmx(d, 0, kWidth, kHeight, kColour); });
}
void Adjust(benchmark::State& state) {
  const RgbAdjustment adjustment{140, 128, 100, -10, 5, 20};
  RunKernel(state, [&](uint32_t* d, const uint32_t*) { AdjustRgb32(d, 0, kWidth, kHeight, adjustment); });
}
void AdjustMmx(benchmark::State& state) {
  const RgbAdjustment adjustment{140, 128, 100, -10, 5, 20};
  RunKernel(state, [&](uint32_t* d, const uint32_t*) { AdjustRgb32Mmx(d, 0, kWidth, kHeight, adjustment); });
}
void Smooth(benchmark::State& state) {
  RunKernel(state, [](uint32_t* d, const uint32_t*) { Smooth32(d, 0, kStride, kWidth, kHeight, 2); });
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
void RunReference(benchmark::State& state, pixman_op_t op, bool opaque, bool masked, bool figure = false) {
  Images& images = SharedImages();
  std::vector<uint32_t> destination = images.destination;
  std::vector<uint32_t>& source = opaque ? images.source : figure ? images.figure_premultiplied : images.premultiplied;
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

// Composites src through mask (null for none) onto the library's image of the destination, and
// releases both images afterwards.
void RunComposite(benchmark::State& state, pixman_op_t op, pixman_image_t* src, pixman_image_t* mask) {
  std::vector<uint32_t> destination = SharedImages().destination;
  pixman_image_t* dst =
      pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, destination.data(), kStride);
  for (auto _ : state) {
    pixman_image_composite32(op, src, mask, dst, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(dst);
  if (mask != nullptr) pixman_image_unref(mask);
  pixman_image_unref(src);
  CountBytes(state);
}

pixman_image_t* CoverageMask() {
  return pixman_image_create_bits(PIXMAN_a8, kWidth, kHeight, reinterpret_cast<uint32_t*>(SharedImages().mask.data()),
                                  kWidth);
}

pixman_image_t* LevelMask() {
  const pixman_color_t level{0, 0, 0, static_cast<uint16_t>(kLevel * 257)};
  return pixman_image_create_solid_fill(&level);
}

pixman_image_t* PremultipliedSource() {
  return pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, SharedImages().premultiplied.data(), kStride);
}

void ReferenceOverThroughMask(benchmark::State& state) {
  RunComposite(state, PIXMAN_OP_OVER, PremultipliedSource(), CoverageMask());
}

void ReferenceColourOverMask(benchmark::State& state) {
  const pixman_color_t colour{0xC8C8, 0x6464, 0x3232, 0xFFFF};
  RunComposite(state, PIXMAN_OP_OVER, pixman_image_create_solid_fill(&colour), CoverageMask());
}

void ReferenceAlphaOverAtLevel(benchmark::State& state) {
  RunComposite(state, PIXMAN_OP_OVER, PremultipliedSource(), LevelMask());
}

void ReferenceAlphaOverAtLevelFigure(benchmark::State& state) {
  RunComposite(state, PIXMAN_OP_OVER,
               pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, SharedImages().figure_premultiplied.data(),
                                        kStride),
               LevelMask());
}

void ReferenceAddAtLevel(benchmark::State& state) {
  RunComposite(state, PIXMAN_OP_ADD, PremultipliedSource(), LevelMask());
}

void ReferenceBilinear(benchmark::State& state) {
  pixman_image_t* src = PremultipliedSource();
  pixman_transform_t scale;
  pixman_transform_init_scale(&scale, pixman_double_to_fixed(static_cast<double>(kWidth - 1) / kWidth),
                              pixman_double_to_fixed(static_cast<double>(kHeight - 1) / kHeight));
  pixman_image_set_transform(src, &scale);
  pixman_image_set_filter(src, PIXMAN_FILTER_BILINEAR, nullptr, 0);
  RunComposite(state, PIXMAN_OP_SRC, src, nullptr);
}

// The destination samples the source turned about its centre, nearest pixel.
void RunReferenceTurned(benchmark::State& state, pixman_op_t op, bool at_level) {
  pixman_image_t* src = PremultipliedSource();
  pixman_transform_t turn;
  pixman_transform_init_translate(&turn, pixman_int_to_fixed(-kWidth / 2), pixman_int_to_fixed(-kHeight / 2));
  pixman_transform_rotate(&turn, nullptr, pixman_double_to_fixed(std::cos(kQuadTurn)),
                          pixman_double_to_fixed(std::sin(kQuadTurn)));
  pixman_transform_translate(&turn, nullptr, pixman_int_to_fixed(kWidth / 2), pixman_int_to_fixed(kHeight / 2));
  pixman_image_set_transform(src, &turn);
  pixman_image_set_filter(src, PIXMAN_FILTER_NEAREST, nullptr, 0);
  RunComposite(state, op, src, at_level ? LevelMask() : nullptr);
}
void ReferenceTurnedSrc(benchmark::State& state) { RunReferenceTurned(state, PIXMAN_OP_SRC, false); }
void ReferenceTurnedOverAtLevel(benchmark::State& state) { RunReferenceTurned(state, PIXMAN_OP_OVER, true); }

// A horizontal box of 2r + 1 equal weights as a convolution filter.
void ReferenceBoxBlur(benchmark::State& state) {
  pixman_image_t* src = PremultipliedSource();
  std::vector<pixman_fixed_t> params{pixman_int_to_fixed(2 * kBlurRadius + 1), pixman_int_to_fixed(1)};
  for (int i = 0; i < 2 * kBlurRadius + 1; ++i) params.push_back(pixman_double_to_fixed(1.0 / (2 * kBlurRadius + 1)));
  pixman_image_set_filter(src, PIXMAN_FILTER_CONVOLUTION, params.data(), static_cast<int>(params.size()));
  pixman_image_set_repeat(src, PIXMAN_REPEAT_PAD);
  RunComposite(state, PIXMAN_OP_SRC, src, nullptr);
}

void ReferenceSrc(benchmark::State& state) { RunReference(state, PIXMAN_OP_SRC, false, false); }
void ReferenceOver(benchmark::State& state) { RunReference(state, PIXMAN_OP_OVER, false, false); }
void ReferenceOverFigure(benchmark::State& state) { RunReference(state, PIXMAN_OP_OVER, false, false, true); }
void ReferenceOverAtLevel(benchmark::State& state) {
  RunReference(state, PIXMAN_OP_OVER, true, true);
}
void ReferenceAdd(benchmark::State& state) { RunReference(state, PIXMAN_OP_ADD, false, false); }

// The table of ratios of every kernel to its reference operation and to memcpy.
class KernelRatioReporter : public RatioReporter {
 public:
  void PrintRatios() const {
    struct Pair {
      const char* kernel;
      const char* reference;
    };
    const Pair pairs[] = {
        {"AlphaBlend", "ReferenceOver"},
        {"AlphaBlendMmx", "ReferenceOver"},
        {"AlphaBlendAvx2", "ReferenceOver"},
        {"AlphaBlendFigureMmx", "ReferenceOverFigure"},
        {"AlphaBlendFigureAvx2", "ReferenceOverFigure"},
        {"AlphaBlendFigureRunsMmx", "ReferenceOverFigure"},
        {"AlphaBlendFigureRunsAvx2", "ReferenceOverFigure"},
        {"LevelBlend", "ReferenceOverAtLevel"},
        {"LevelBlendMmx", "ReferenceOverAtLevel"},
        {"LevelBlendAvx2", "ReferenceOverAtLevel"},
        {"SaturatingAdd", "ReferenceAdd"},
        {"SaturatingAddMmx", "ReferenceAdd"},
        {"SaturatingAddAvx2", "ReferenceAdd"},
        {"SaturatingSub", "ReferenceAdd"},
        {"SaturatingSubMmx", "ReferenceAdd"},
        {"SaturatingSubAvx2", "ReferenceAdd"},
        {"Copy", "ReferenceSrc"},
        {"CopyMmx", "ReferenceSrc"},
        {"CopyAvx2", "ReferenceSrc"},
        {"AlphaLevelBlend", "ReferenceAlphaOverAtLevel"},
        {"AlphaLevelBlendMmx", "ReferenceAlphaOverAtLevel"},
        {"AlphaLevelBlendAvx2", "ReferenceAlphaOverAtLevel"},
        {"AlphaLevelBlendFigureMmx", "ReferenceAlphaOverAtLevelFigure"},
        {"AlphaLevelBlendFigureAvx2", "ReferenceAlphaOverAtLevelFigure"},
        {"AlphaLevelAdd", "ReferenceAddAtLevel"},
        {"AlphaLevelAddMmx", "ReferenceAddAtLevel"},
        {"AlphaLevelAddAvx2", "ReferenceAddAtLevel"},
        {"OverLayer", "ReferenceAlphaOverAtLevel"},
        {"OverLayerMmx", "ReferenceAlphaOverAtLevel"},
        {"OverLayerAvx2", "ReferenceAlphaOverAtLevel"},
        {"OverLayerStretch", "ReferenceAlphaOverAtLevel"},
        {"OverLayerStretchMmx", "ReferenceAlphaOverAtLevel"},
        {"OverLayerStretchAvx2", "ReferenceAlphaOverAtLevel"},
        {"MaskLevelBlend", "ReferenceOverThroughMask"},
        {"MaskLevelBlendMmx", "ReferenceOverThroughMask"},
        {"MaskLevelBlendAvx2", "ReferenceOverThroughMask"},
        {"ColourMasked", "ReferenceColourOverMask"},
        {"ColourMaskedMmx", "ReferenceColourOverMask"},
        {"ColourMaskedAvx2", "ReferenceColourOverMask"},
        {"ColourOverMasked", "ReferenceColourOverMask"},
        {"ColourOverMaskedMmx", "ReferenceColourOverMask"},
        {"ColourOverMaskedAvx2", "ReferenceColourOverMask"},
        {"Bilinear", "ReferenceBilinear"},
        {"BilinearMmx", "ReferenceBilinear"},
        {"BilinearAvx2", "ReferenceBilinear"},
        {"QuadCopy", "ReferenceTurnedSrc"},
        {"QuadBlend", "ReferenceTurnedOverAtLevel"},
        {"QuadBlendMmx", "ReferenceTurnedOverAtLevel"},
        {"BoxBlur", "ReferenceBoxBlur"},
        {"Grey", nullptr},
        {"GreyMmx", nullptr},
        {"AddColour", nullptr},
        {"AddColourMmx", nullptr},
        {"Adjust", nullptr},
        {"AdjustMmx", nullptr},
        {"Smooth", nullptr}};
    const auto memcpy_time = times_.find("Memcpy");
    if (memcpy_time == times_.end()) return;
    std::printf("\n%-26s %-32s %12s %14s\n", "kernel", "reference", "/ reference", "/ memcpy");
    for (const Pair& pair : pairs) {
      const auto kernel = times_.find(pair.kernel);
      if (kernel == times_.end()) continue;
      const auto reference = pair.reference != nullptr ? times_.find(pair.reference) : times_.end();
      if (reference == times_.end()) {
        std::printf("%-26s %-32s %12s %14.2f\n", pair.kernel, "-", "-", kernel->second / memcpy_time->second);
        continue;
      }
      std::printf("%-26s %-32s %12.2f %14.2f\n", pair.kernel, pair.reference, kernel->second / reference->second,
                  kernel->second / memcpy_time->second);
    }
  }

  // Each vector member ("...Mmx", run in its SSE2 form) against its plain form, and its AVX2
  // form against the SSE2 one, where the run has them.
  void PrintForms() const {
    std::printf("\n%-26s %12s %12s\n", "vector member", "SSE2 / plain", "AVX2 / SSE2");
    // time / the time of `name`, or "-" where that did not run.
    const auto ratio = [this](const std::string& name, double time) {
      const auto other = times_.find(name);
      if (other == times_.end()) return std::string("-");
      char text[16];
      std::snprintf(text, sizeof text, "%.2f", time / other->second);
      return std::string(text);
    };
    for (const auto& [name, time] : times_) {
      if (!name.ends_with("Mmx")) continue;
      const std::string base = name.substr(0, name.size() - 3);
      const auto avx2 = times_.find(base + "Avx2");
      std::printf("%-26s %12s %12s\n", name.c_str(), ratio(base, time).c_str(),
                  avx2 == times_.end() ? "-" : ratio(name, avx2->second).c_str());
    }
  }
};

}  // namespace

BENCHMARK(Copy)->Unit(benchmark::kMicrosecond);
BENCHMARK(CopyMmx)->Unit(benchmark::kMicrosecond);
BENCHMARK(CopyAvx2)->Unit(benchmark::kMicrosecond);
BENCHMARK(AlphaBlend)->Unit(benchmark::kMicrosecond);
BENCHMARK(AlphaBlendMmx)->Unit(benchmark::kMicrosecond);
BENCHMARK(AlphaBlendAvx2)->Unit(benchmark::kMicrosecond);
BENCHMARK(AlphaBlendFigureMmx)->Unit(benchmark::kMicrosecond);
BENCHMARK(AlphaBlendFigureAvx2)->Unit(benchmark::kMicrosecond);
BENCHMARK(AlphaBlendFigureRunsMmx)->Unit(benchmark::kMicrosecond);
BENCHMARK(AlphaBlendFigureRunsAvx2)->Unit(benchmark::kMicrosecond);
BENCHMARK(LevelBlend)->Unit(benchmark::kMicrosecond);
BENCHMARK(LevelBlendMmx)->Unit(benchmark::kMicrosecond);
BENCHMARK(LevelBlendAvx2)->Unit(benchmark::kMicrosecond);
BENCHMARK(SaturatingAdd)->Unit(benchmark::kMicrosecond);
BENCHMARK(SaturatingAddMmx)->Unit(benchmark::kMicrosecond);
BENCHMARK(SaturatingAddAvx2)->Unit(benchmark::kMicrosecond);
BENCHMARK(SaturatingSub)->Unit(benchmark::kMicrosecond);
BENCHMARK(SaturatingSubMmx)->Unit(benchmark::kMicrosecond);
BENCHMARK(SaturatingSubAvx2)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReferenceSrc)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReferenceOver)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReferenceOverFigure)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReferenceOverAtLevel)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReferenceAdd)->Unit(benchmark::kMicrosecond);
BENCHMARK(AlphaLevelBlend)->Unit(benchmark::kMicrosecond);
BENCHMARK(AlphaLevelBlendMmx)->Unit(benchmark::kMicrosecond);
BENCHMARK(AlphaLevelBlendAvx2)->Unit(benchmark::kMicrosecond);
BENCHMARK(AlphaLevelBlendFigureMmx)->Unit(benchmark::kMicrosecond);
BENCHMARK(AlphaLevelBlendFigureAvx2)->Unit(benchmark::kMicrosecond);
BENCHMARK(AlphaLevelAdd)->Unit(benchmark::kMicrosecond);
BENCHMARK(AlphaLevelAddMmx)->Unit(benchmark::kMicrosecond);
BENCHMARK(AlphaLevelAddAvx2)->Unit(benchmark::kMicrosecond);
BENCHMARK(OverLayer)->Unit(benchmark::kMicrosecond);
BENCHMARK(OverLayerMmx)->Unit(benchmark::kMicrosecond);
BENCHMARK(OverLayerAvx2)->Unit(benchmark::kMicrosecond);
BENCHMARK(OverLayerStretch)->Unit(benchmark::kMicrosecond);
BENCHMARK(OverLayerStretchMmx)->Unit(benchmark::kMicrosecond);
BENCHMARK(OverLayerStretchAvx2)->Unit(benchmark::kMicrosecond);
BENCHMARK(MaskLevelBlend)->Unit(benchmark::kMicrosecond);
BENCHMARK(MaskLevelBlendMmx)->Unit(benchmark::kMicrosecond);
BENCHMARK(MaskLevelBlendAvx2)->Unit(benchmark::kMicrosecond);
BENCHMARK(ColourMasked)->Unit(benchmark::kMicrosecond);
BENCHMARK(ColourMaskedMmx)->Unit(benchmark::kMicrosecond);
BENCHMARK(ColourMaskedAvx2)->Unit(benchmark::kMicrosecond);
BENCHMARK(ColourOverMasked)->Unit(benchmark::kMicrosecond);
BENCHMARK(ColourOverMaskedMmx)->Unit(benchmark::kMicrosecond);
BENCHMARK(ColourOverMaskedAvx2)->Unit(benchmark::kMicrosecond);
BENCHMARK(Bilinear)->Unit(benchmark::kMicrosecond);
BENCHMARK(BilinearMmx)->Unit(benchmark::kMicrosecond);
BENCHMARK(BilinearAvx2)->Unit(benchmark::kMicrosecond);
BENCHMARK(QuadCopy)->Unit(benchmark::kMicrosecond);
BENCHMARK(QuadBlend)->Unit(benchmark::kMicrosecond);
BENCHMARK(QuadBlendMmx)->Unit(benchmark::kMicrosecond);
BENCHMARK(BoxBlur)->Unit(benchmark::kMicrosecond);
BENCHMARK(Grey)->Unit(benchmark::kMicrosecond);
BENCHMARK(GreyMmx)->Unit(benchmark::kMicrosecond);
BENCHMARK(AddColour)->Unit(benchmark::kMicrosecond);
BENCHMARK(AddColourMmx)->Unit(benchmark::kMicrosecond);
BENCHMARK(Adjust)->Unit(benchmark::kMicrosecond);
BENCHMARK(AdjustMmx)->Unit(benchmark::kMicrosecond);
BENCHMARK(Smooth)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReferenceAlphaOverAtLevel)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReferenceAlphaOverAtLevelFigure)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReferenceAddAtLevel)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReferenceOverThroughMask)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReferenceColourOverMask)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReferenceBilinear)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReferenceTurnedSrc)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReferenceTurnedOverAtLevel)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReferenceBoxBlur)->Unit(benchmark::kMicrosecond);
BENCHMARK(Memcpy)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  KernelRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  reporter.PrintForms();
  benchmark::Shutdown();
  return 0;
}
