// The AVX2 forms of the colour-through-mask blends, adds, subtracts and overs (avx2_kernels.h).
#include <array>

#include "pixel/kernels/avx2_kernels.h"
#include "pixel/kernels/weighted_oct.h"

using avx2_kernels::MaskColours;
using avx2_kernels::Mix;

namespace {

// Paints every row eight pixels a step, d = paint(d, colours, eight mask bytes); the rest of a
// row goes through padded vectors.
template <MaskColours kColours, typename Paint>
void PaintRows(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width, int32_t height,
               const uint32_t* colours, Paint paint) {
  kernel_walk::ForEachRowOfPlanes(
      width, height,
      [&](int32_t y, uint32_t* d, const uint8_t* m) {
        const uint32_t* plane_row = colours + (kColours == MaskColours::kPlane ? intptr_t{y} * width : 0);
        const uint32_t solid = colours[kColours == MaskColours::kRows ? y : 0];
        const __m256i row_colour = _mm256_set1_epi32(static_cast<int>(solid));
        const auto colours_at = [&](const uint32_t* eight) {
          if constexpr (kColours == MaskColours::kPlane) {
            return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(eight));
          }
          return row_colour;
        };
        int32_t x = 0;
        for (; x <= width - 8; x += 8) {
          auto* pixels = reinterpret_cast<__m256i*>(d + x);
          _mm256_storeu_si256(pixels, paint(_mm256_loadu_si256(pixels), colours_at(plane_row + x), m + x));
        }
        if (x == width) return;
        alignas(32) std::array<uint32_t, 8> rest{};
        alignas(32) std::array<uint32_t, 8> rest_colours{};
        std::array<uint8_t, 8> rest_mask{};
        const int32_t count = width - x;
        for (int32_t i = 0; i < count; ++i) {
          rest[static_cast<size_t>(i)] = d[x + i];
          rest_colours[static_cast<size_t>(i)] = kColours == MaskColours::kPlane ? plane_row[x + i] : solid;
          rest_mask[static_cast<size_t>(i)] = m[x + i];
        }
        const __m256i painted = paint(_mm256_load_si256(reinterpret_cast<const __m256i*>(rest.data())),
                                      _mm256_load_si256(reinterpret_cast<const __m256i*>(rest_colours.data())),
                                      rest_mask.data());
        _mm256_store_si256(reinterpret_cast<__m256i*>(rest.data()), painted);
        for (int32_t i = 0; i < count; ++i) d[x + i] = rest[static_cast<size_t>(i)];
      },
      kernel_walk::SkipPlane(dst, dst_skip, width), kernel_walk::SkipPlane(mask, mask_skip, width));
}

}  // namespace

namespace avx2_kernels {

template <Mix kMix, MaskColours kColours>
void MixColourMasked32(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width,
                       int32_t height, const uint32_t* colours, const uint8_t* level_row) {
  const weighted_oct::LevelWeights weights = weighted_oct::WeightsOfLevelRow(level_row);
  PaintRows<kColours>(dst, mask, dst_skip, mask_skip, width, height, colours,
                      [&](__m256i d, __m256i colour, const uint8_t* m) {
                        return weighted_oct::MixEight<kMix>(d, colour, weighted_oct::LookUpWeights(weights, m));
                      });
}

template <MaskColours kColours>
void OverColourMasked32(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width,
                        int32_t height, const uint32_t* colours, const uint8_t* level_row) {
  PaintRows<kColours>(dst, mask, dst_skip, mask_skip, width, height, colours,
                      [level_row](__m256i d, __m256i colour, const uint8_t* m) {
                        return weighted_oct::OverEight(d, colour, weighted_oct::LevelsAt(level_row, m));
                      });
}

#define KESTRUNE_COLOUR_MASKED(mix, colours)                                                                    \
  template void MixColourMasked32<mix, colours>(uint32_t*, const uint8_t*, int32_t, int32_t, int32_t, int32_t, \
                                                const uint32_t*, const uint8_t*);
KESTRUNE_COLOUR_MASKED(Mix::kBlend, MaskColours::kOne)
KESTRUNE_COLOUR_MASKED(Mix::kAdd, MaskColours::kOne)
KESTRUNE_COLOUR_MASKED(Mix::kSub, MaskColours::kOne)
KESTRUNE_COLOUR_MASKED(Mix::kBlend, MaskColours::kRows)
KESTRUNE_COLOUR_MASKED(Mix::kBlend, MaskColours::kPlane)
#undef KESTRUNE_COLOUR_MASKED
template void OverColourMasked32<MaskColours::kOne>(uint32_t*, const uint8_t*, int32_t, int32_t, int32_t, int32_t,
                                                    const uint32_t*, const uint8_t*);
template void OverColourMasked32<MaskColours::kRows>(uint32_t*, const uint8_t*, int32_t, int32_t, int32_t, int32_t,
                                                     const uint32_t*, const uint8_t*);
template void OverColourMasked32<MaskColours::kPlane>(uint32_t*, const uint8_t*, int32_t, int32_t, int32_t, int32_t,
                                                      const uint32_t*, const uint8_t*);

}  // namespace avx2_kernels
