#include "pixel/kernels/colour_transform_kernels.h"

#include <algorithm>

#include "pixel/kernels/kernel_walk.h"
#include "pixel/kernels/pixel_tables.h"
#include "pixel/kernels/saturating_pixel.h"

namespace {

constexpr uint32_t kAlphaBits = 0xFF000000;

// Runs op on every pixel, in place: op.One(p) one pixel at a time, or (vector) op.Four(p) on
// groups of four after the leading width mod 4 pixels, which take op.Four through a padded quad.
template <bool kVector, typename Op>
void InPlace(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, const Op& op) {
  kernel_walk::ForEachRow(pixels, skip, width, height, [&](uint32_t* row) {
    if constexpr (kVector) {
      const int32_t lead = width & 3;
      if (lead != 0) {
        alignas(16) uint32_t quad[4] = {};
        std::copy(row, row + lead, quad);
        _mm_store_si128(reinterpret_cast<__m128i*>(quad), op.Four(_mm_load_si128(reinterpret_cast<__m128i*>(quad))));
        std::copy(quad, quad + lead, row);
      }
      for (int32_t x = lead; x < width; x += 4) kernel_walk::StoreFour(row + x, op.Four(kernel_walk::LoadFour(row + x)));
    } else {
      for (int32_t x = 0; x < width; ++x) row[x] = op.One(row[x]);
    }
  });
}

// Leaves pixels equal to the key as they are.
template <typename Op>
struct KeyedInPlace {
  Op op;
  uint32_t key;
  uint32_t One(uint32_t p) const { return p == key ? p : op.One(p); }
  __m128i Four(__m128i p) const {
    return kernel_walk::Select(_mm_cmpeq_epi32(p, kernel_walk::Wide(key)), p, op.Four(p));
  }
};

template <bool kVector = false, typename Op>
void Run(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, const Op& op) {
  InPlace<kVector>(pixels, skip, width, height, op);
}

template <bool kVector = false, typename Op>
void RunKeyed(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, const Op& op, uint32_t key) {
  InPlace<kVector>(pixels, skip, width, height, KeyedInPlace<Op>{op, key});
}

int32_t PitchToSkip(int32_t pitch, int32_t width) { return pitch - width * 4; }

// Per colour channel: P[255 - L][c] + P[colour c][L], modulo 256. Four pixels at a time in
// 16-bit lanes: with t = c × (255 − L) + 127 (at most 65152), P[255 − L][c] = t / 255 =
// (t + 1 + (t >> 8)) >> 8, and no lane passes 16 bits on the way.
struct FillLevelOp {
  const uint8_t* keep_row;
  uint8_t colour_share[3];
  __m128i keep;
  __m128i shares;

  FillLevelOp(uint8_t level, uint8_t red, uint8_t green, uint8_t blue)
      : keep_row(g_PixelTables.product[255 - level]),
        colour_share{g_PixelTables.product[blue][level], g_PixelTables.product[green][level],
                     g_PixelTables.product[red][level]},
        keep(_mm_set1_epi16(static_cast<int16_t>(255 - level))),
        shares(_mm_setr_epi16(colour_share[0], colour_share[1], colour_share[2], 0, colour_share[0], colour_share[1],
                              colour_share[2], 0)) {}

  uint32_t One(uint32_t p) const {
    uint32_t result = p & kAlphaBits;
    for (int i = 0; i < 3; ++i) {
      const uint32_t c = (p >> (8 * i)) & 0xFF;
      result |= ((keep_row[c] + colour_share[i]) & 0xFF) << (8 * i);
    }
    return result;
  }

  __m128i Pair(__m128i channels) const {
    const __m128i t = _mm_add_epi16(_mm_mullo_epi16(channels, keep), _mm_set1_epi16(127));
    const __m128i kept = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(t, _mm_set1_epi16(1)), _mm_srli_epi16(t, 8)), 8);
    return _mm_and_si128(_mm_add_epi16(kept, shares), _mm_set1_epi16(0xFF));
  }

  __m128i Four(__m128i p) const {
    const __m128i zero = _mm_setzero_si128();
    const __m128i colours = _mm_packus_epi16(Pair(_mm_unpacklo_epi8(p, zero)), Pair(_mm_unpackhi_epi8(p, zero)));
    return kernel_walk::Select(kernel_walk::Wide(kAlphaBits), p, colours);
  }
};

struct ScaleOp {
  const uint8_t* row;
  uint32_t One(uint32_t p) const {
    return (p & kAlphaBits) | (uint32_t{row[(p >> 16) & 0xFF]} << 16) | (uint32_t{row[(p >> 8) & 0xFF]} << 8) |
           row[p & 0xFF];
  }
};

template <typename Pixel, typename Quad>
struct ColourOp {
  uint32_t colour;
  __m128i wide = kernel_walk::Wide(colour);
  uint32_t One(uint32_t p) const { return Pixel{}.One(p, colour); }
  __m128i Four(__m128i p) const { return Quad{}.Four(p, wide); }
};

using AddColourOp = ColourOp<saturating_pixel::AddSatPixel, saturating_pixel::AddSatQuad>;
using SubColourOp = ColourOp<saturating_pixel::SubSatPixel, saturating_pixel::SubSatQuad>;

struct GrayOp {
  uint32_t One(uint32_t p) const {
    const uint32_t grey = (29 * (p & 0xFF) + 150 * ((p >> 8) & 0xFF) + 77 * ((p >> 16) & 0xFF)) >> 8;
    return (p & kAlphaBits) | (grey * 0x010101);
  }

  // Two pixels' weighted channel pairs, summed into the two low 32-bit lanes.
  static __m128i PairSums(__m128i channels) {
    const __m128i pairs = _mm_madd_epi16(channels, _mm_set_epi16(0, 77, 150, 29, 0, 77, 150, 29));
    const __m128i ordered = _mm_shuffle_epi32(pairs, _MM_SHUFFLE(3, 1, 2, 0));
    return _mm_add_epi32(ordered, _mm_srli_si128(ordered, 8));
  }

  __m128i Four(__m128i p) const {
    const __m128i zero = _mm_setzero_si128();
    const __m128i sums =
        _mm_unpacklo_epi64(PairSums(_mm_unpacklo_epi8(p, zero)), PairSums(_mm_unpackhi_epi8(p, zero)));
    const __m128i grey = _mm_srli_epi32(sums, 8);
    const __m128i spread = _mm_or_si128(grey, _mm_or_si128(_mm_slli_epi32(grey, 8), _mm_slli_epi32(grey, 16)));
    return _mm_or_si128(spread, _mm_and_si128(p, kernel_walk::Wide(kAlphaBits)));
  }
};

struct AdjustOp {
  RgbAdjustment adjustment;

  static uint32_t Channel(uint32_t p, int shift, uint16_t scale, int16_t offset) {
    const int64_t value = ((int64_t{(p >> shift) & 0xFF} * scale) >> 7) + offset;
    return static_cast<uint32_t>(std::clamp<int64_t>(value, 0, 255)) << shift;
  }

  uint32_t One(uint32_t p) const {
    return (p & kAlphaBits) | Channel(p, 16, adjustment.red_scale, adjustment.red_offset) |
           Channel(p, 8, adjustment.green_scale, adjustment.green_offset) |
           Channel(p, 0, adjustment.blue_scale, adjustment.blue_offset);
  }

  // One pixel pair in 16-bit lanes: the full 32-bit products, shifted, offset, and saturated
  // back to bytes. The alpha lane scales by 128 and adds 0, so it comes back unchanged.
  __m128i Pair(__m128i channels) const {
    const auto scale = [](uint16_t s) { return static_cast<short>(s); };
    const __m128i scales =
        _mm_set_epi16(128, scale(adjustment.red_scale), scale(adjustment.green_scale), scale(adjustment.blue_scale), 128,
                      scale(adjustment.red_scale), scale(adjustment.green_scale), scale(adjustment.blue_scale));
    const __m128i offsets = _mm_set_epi32(0, adjustment.red_offset, adjustment.green_offset, adjustment.blue_offset);
    const __m128i low = _mm_mullo_epi16(channels, scales);
    const __m128i high = _mm_mulhi_epu16(channels, scales);
    const __m128i first = _mm_add_epi32(_mm_srli_epi32(_mm_unpacklo_epi16(low, high), 7), offsets);
    const __m128i second = _mm_add_epi32(_mm_srli_epi32(_mm_unpackhi_epi16(low, high), 7), offsets);
    return _mm_packs_epi32(first, second);
  }

  __m128i Four(__m128i p) const {
    const __m128i zero = _mm_setzero_si128();
    return _mm_packus_epi16(Pair(_mm_unpacklo_epi8(p, zero)), Pair(_mm_unpackhi_epi8(p, zero)));
  }
};

struct InvertOp {
  uint32_t mask;
  explicit InvertOp(uint8_t mode) : mask(mode == 0 ? 0x00FFFFFF : (mode == 1 ? 0xFFFFFFFF : kAlphaBits)) {}
  uint32_t One(uint32_t p) const { return p ^ mask; }
  __m128i Four(__m128i p) const { return _mm_xor_si128(p, kernel_walk::Wide(mask)); }
};

uint32_t ShadeByte(uint32_t c, int32_t shift, bool round_step_first) {
  if (shift <= 0) return c >> -shift;
  if (c <= (255u >> shift)) return c << shift;
  const uint32_t parts = (1u << shift) - 1;
  if (round_step_first) return c + ((255 - c) >> shift) * parts;
  return c + (255 - c) * parts / (1u << shift);
}

}  // namespace

void ScaleRgb32(uint32_t* pixels, int32_t pitch, int32_t width, int32_t height, uint8_t level) {
  Run(pixels, PitchToSkip(pitch, width), width, height, ScaleOp{g_PixelTables.product[level]});
}

void FillColorLevel32(uint32_t* pixels, int32_t pitch, int32_t width, int32_t height, uint8_t level, uint8_t red,
                      uint8_t green, uint8_t blue) {
  Run(pixels, PitchToSkip(pitch, width), width, height, FillLevelOp(level, red, green, blue));
}

void FillColorLevel32Key(uint32_t* pixels, int32_t pitch, int32_t width, int32_t height, uint8_t level, uint8_t red,
                         uint8_t green, uint8_t blue, uint32_t key) {
  RunKeyed(pixels, PitchToSkip(pitch, width), width, height, FillLevelOp(level, red, green, blue), key);
}

void FillColorLevel32Mmx(uint32_t* pixels, int32_t pitch, int32_t width, int32_t height, uint8_t level, uint8_t red,
                         uint8_t green, uint8_t blue) {
  Run<true>(pixels, PitchToSkip(pitch, width), width, height, FillLevelOp(level, red, green, blue));
}

void FillColorLevel32KeyMmx(uint32_t* pixels, int32_t pitch, int32_t width, int32_t height, uint8_t level,
                            uint8_t red, uint8_t green, uint8_t blue, uint32_t key) {
  RunKeyed<true>(pixels, PitchToSkip(pitch, width), width, height, FillLevelOp(level, red, green, blue), key);
}

void AddColor32(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint32_t colour) {
  Run(pixels, skip, width, height, AddColourOp{colour});
}

void AddColor32Key(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint32_t colour, uint32_t key) {
  RunKeyed(pixels, skip, width, height, AddColourOp{colour}, key);
}

void AddColor32Mmx(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint32_t colour) {
  Run<true>(pixels, skip, width, height, AddColourOp{colour});
}

void AddColor32KeyMmx(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint32_t colour, uint32_t key) {
  RunKeyed<true>(pixels, skip, width, height, AddColourOp{colour}, key);
}

void SubColor32(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint32_t colour) {
  Run(pixels, skip, width, height, SubColourOp{colour});
}

void SubColor32Key(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint32_t colour, uint32_t key) {
  RunKeyed(pixels, skip, width, height, SubColourOp{colour}, key);
}

void SubColor32Mmx(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint32_t colour) {
  Run<true>(pixels, skip, width, height, SubColourOp{colour});
}

void SubColor32KeyMmx(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint32_t colour, uint32_t key) {
  RunKeyed<true>(pixels, skip, width, height, SubColourOp{colour}, key);
}

void Grayscale32(uint32_t* pixels, int32_t skip, int32_t width, int32_t height) {
  Run(pixels, skip, width, height, GrayOp{});
}

void Grayscale32Key(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint32_t key) {
  RunKeyed(pixels, skip, width, height, GrayOp{}, key);
}

void Grayscale32Mmx(uint32_t* pixels, int32_t skip, int32_t width, int32_t height) {
  Run<true>(pixels, skip, width, height, GrayOp{});
}

void AdjustRgb32(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, const RgbAdjustment& adjustment) {
  Run(pixels, skip, width, height, AdjustOp{adjustment});
}

void AdjustRgb32Key(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, const RgbAdjustment& adjustment,
                    uint32_t key) {
  RunKeyed(pixels, skip, width, height, AdjustOp{adjustment}, key);
}

void AdjustRgb32Mmx(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, const RgbAdjustment& adjustment) {
  Run<true>(pixels, skip, width, height, AdjustOp{adjustment});
}

void Invert32(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint8_t mode) {
  Run(pixels, skip, width, height, InvertOp(mode));
}

void Invert32Key(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint8_t mode, uint32_t key) {
  RunKeyed(pixels, skip, width, height, InvertOp(mode), key);
}

void Invert32Mmx(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint8_t mode) {
  Run<true>(pixels, skip, width, height, InvertOp(mode));
}

uint32_t ShadeColor(uint32_t colour, int32_t shift) {
  const int32_t bounded = std::clamp(shift, -8, 8);
  return ShadeByte(colour & 0xFF, bounded, true) | (ShadeByte((colour >> 8) & 0xFF, bounded, false) << 8) |
         (ShadeByte((colour >> 16) & 0xFF, bounded, false) << 16);
}
