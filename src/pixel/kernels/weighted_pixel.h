// Per-pixel rules that move the colour of a 32-bit pixel toward another colour, or add or
// subtract that colour, by a weight w of the weight table (0 to 256, w / 256 of the way), and
// the alpha-over rule built on them. The blend, coverage-mask, blur and quadrilateral kernels
// share them. Each rule has a one-pixel form and a four-pixel SSE2 form with the same result.
#pragma once

#include <array>
#include <cstdint>

#include <emmintrin.h>

#include "pixel/kernels/pixel_tables.h"

namespace weighted_pixel {

constexpr uint32_t kColourBits = 0x00FFFFFF;
constexpr uint32_t kAlphaBits = 0xFF000000;

// w(k): k + 1 for k from 1 to 255, 0 for k = 0.
inline uint32_t Weight(uint32_t k) { return g_PixelTables.weight[k][0]; }

// d + floor((s - d) * w / 256) per colour channel, alpha kept. Red and blue share one word: the
// borrow of a negative blue difference is repaid by the carry of the addition.
inline uint32_t Blend(uint32_t d, uint32_t s, uint32_t w) {
  const uint32_t red_blue = ((((s & 0xFF00FF) - (d & 0xFF00FF)) * w >> 8) + (d & 0xFF00FF)) & 0xFF00FF;
  const uint32_t green = ((((s & 0xFF00) - (d & 0xFF00)) * w >> 8) + (d & 0xFF00)) & 0xFF00;
  return (d & kAlphaBits) | red_blue | green;
}

// Each colour channel of d moved by the channel's product s * w >> 8 through the clamp table,
// upwards (kAdd) or downwards.
template <bool kAdd>
uint32_t Shift(uint32_t d, uint32_t s, uint32_t w) {
  const uint32_t red_blue = (s & 0xFF00FF) * w;
  const uint32_t green = (s & 0xFF00) * w;
  const uint8_t* clamp = g_PixelTables.clamp + PixelTables::kClampOrigin;
  const auto channel = [&](uint32_t product, int shift) {
    const int dc = static_cast<int>((d >> shift) & 0xFF);
    const int step = static_cast<int>(product & 0xFF);
    return uint32_t{clamp[kAdd ? dc + step : dc - step]} << shift;
  };
  return (d & kAlphaBits) | channel(red_blue >> 8, 0) | channel(green >> 16, 8) | channel(red_blue >> 24, 16);
}

inline uint32_t Add(uint32_t d, uint32_t s, uint32_t w) { return Shift<true>(d, s, w); }
inline uint32_t Sub(uint32_t d, uint32_t s, uint32_t w) { return Shift<false>(d, s, w); }

// Colour s drawn with coverage c over d: the colour moves by the source share of (dA, c) and
// the alpha becomes the composite alpha of (dA, c).
inline uint32_t Over(uint32_t d, uint32_t s, uint32_t coverage) {
  const uint32_t dst_alpha = d >> 24;
  const uint32_t share = g_PixelTables.source_share[dst_alpha][coverage];
  const uint32_t alpha = g_PixelTables.composite_alpha[dst_alpha][coverage];
  return (Blend(d, s, Weight(share)) & kColourBits) | (alpha << 24);
}

// The weights of four pixels over the 16-bit lanes of two pixel pairs; the alpha lanes get 0.
struct QuadWeights {
  __m128i low;
  __m128i high;
};

inline QuadWeights SpreadOne(uint32_t w) {
  const auto lane = static_cast<short>(w);
  const __m128i pair = _mm_set_epi16(0, lane, lane, lane, 0, lane, lane, lane);
  return {pair, pair};
}

// The weight-table entries w(k) of four pixels, loaded whole: each entry holds the four lanes.
inline QuadWeights TableWeights(const std::array<uint32_t, 4>& k) {
  const auto entry = [&](size_t i) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(g_PixelTables.weight[k[i]]));
  };
  return {_mm_unpacklo_epi64(entry(0), entry(1)), _mm_unpacklo_epi64(entry(2), entry(3))};
}

// The alpha bytes of four pixels.
inline std::array<uint32_t, 4> Alphas(__m128i four) {
  return {static_cast<uint32_t>(_mm_extract_epi16(four, 1)) >> 8, static_cast<uint32_t>(_mm_extract_epi16(four, 3)) >> 8,
          static_cast<uint32_t>(_mm_extract_epi16(four, 5)) >> 8, static_cast<uint32_t>(_mm_extract_epi16(four, 7)) >> 8};
}

// d + floor((s - d) * w / 256) in every 16-bit lane: the product is taken modulo 2^16 and shifted
// logically, and only the low byte of the sum is kept, which is that exact value.
inline __m128i BlendPair(__m128i d, __m128i s, __m128i w) {
  const __m128i step = _mm_srli_epi16(_mm_mullo_epi16(_mm_sub_epi16(s, d), w), 8);
  return _mm_and_si128(_mm_add_epi16(d, step), _mm_set1_epi16(0xFF));
}

inline __m128i BlendFour(__m128i d, __m128i s, const QuadWeights& w) {
  const __m128i zero = _mm_setzero_si128();
  return _mm_packus_epi16(BlendPair(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(s, zero), w.low),
                          BlendPair(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(s, zero), w.high));
}

// s * w >> 8 per byte.
inline __m128i ScaleFour(__m128i s, const QuadWeights& w) {
  const __m128i zero = _mm_setzero_si128();
  return _mm_packus_epi16(_mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), w.low), 8),
                          _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), w.high), 8));
}

inline __m128i AddFour(__m128i d, __m128i s, const QuadWeights& w) { return _mm_adds_epu8(d, ScaleFour(s, w)); }
inline __m128i SubFour(__m128i d, __m128i s, const QuadWeights& w) { return _mm_subs_epu8(d, ScaleFour(s, w)); }

enum class Mix { kBlend, kAdd, kSub };

template <Mix kMix>
uint32_t MixOne(uint32_t d, uint32_t s, uint32_t w) {
  if constexpr (kMix == Mix::kBlend) return Blend(d, s, w);
  if constexpr (kMix == Mix::kAdd) return Add(d, s, w);
  if constexpr (kMix == Mix::kSub) return Sub(d, s, w);
}

template <Mix kMix>
__m128i MixFour(__m128i d, __m128i s, const QuadWeights& w) {
  if constexpr (kMix == Mix::kBlend) return BlendFour(d, s, w);
  if constexpr (kMix == Mix::kAdd) return AddFour(d, s, w);
  if constexpr (kMix == Mix::kSub) return SubFour(d, s, w);
}

// The source share of coverage c over destination alpha r in each 32-bit lane: the table's
// 65025 c / (255 (c + r) - c r) rounded down, 255 where r = 0. The quotient is taken in single
// precision, which holds numerator and divisor exactly and rounds correctly; a quotient that is
// not whole lies at least 1 / 65025 below the next whole number, more than half a unit in the
// last place of any quotient up to 255, so truncating it gives the integer quotient.
inline __m128i SharesInLanes(__m128i r, __m128i c) {
  const __m128i sum = _mm_add_epi32(r, c);
  const __m128i divisor = _mm_sub_epi32(_mm_sub_epi32(_mm_slli_epi32(sum, 8), sum), _mm_mullo_epi16(r, c));
  const __m128 numerator = _mm_mul_ps(_mm_cvtepi32_ps(c), _mm_set1_ps(65025.0F));
  const __m128i share = _mm_cvttps_epi32(_mm_div_ps(numerator, _mm_cvtepi32_ps(divisor)));
  const __m128i clear = _mm_cmpeq_epi32(r, _mm_setzero_si128());
  return _mm_or_si128(_mm_andnot_si128(clear, share), _mm_and_si128(clear, _mm_set1_epi32(255)));
}

// The composite alpha of coverage c over destination alpha r in each 32-bit lane: the table's
// 255 - floor((255 - r) (255 - c) / 255), the division by 255 done as (x + 1 + (x >> 8)) >> 8,
// exact for every product up to 65025.
inline __m128i CompositeAlphasInLanes(__m128i r, __m128i c) {
  const __m128i full = _mm_set1_epi32(255);
  const __m128i product = _mm_mullo_epi16(_mm_sub_epi32(full, r), _mm_sub_epi32(full, c));
  const __m128i quotient = _mm_srli_epi32(_mm_add_epi32(_mm_add_epi32(product, _mm_set1_epi32(1)),
                                                        _mm_srli_epi32(product, 8)), 8);
  return _mm_sub_epi32(full, quotient);
}

// P[L][sA] of the four pixels of s (the product table's floor((sA L + 127) / 255)), worked out
// in their lanes from the level L in every lane: t = sA L + 127 stays below 65280 in the low half
// of its lane, where (t * 0x8081) >> 23 is floor(t / 255).
inline __m128i ProductsOfAlphas(__m128i s, __m128i level) {
  const __m128i t = _mm_add_epi32(_mm_mullo_epi16(_mm_srli_epi32(s, 24), level), _mm_set1_epi32(127));
  return _mm_srli_epi32(_mm_mulhi_epu16(t, _mm_set1_epi32(0x8081)), 7);
}

// The coverages of four pixels, one 32-bit lane each. Put together in registers: four words
// stored and loaded back whole would wait on each store.
inline __m128i CoverageLanes(uint32_t c0, uint32_t c1, uint32_t c2, uint32_t c3) {
  return _mm_setr_epi32(static_cast<int>(c0), static_cast<int>(c1), static_cast<int>(c2), static_cast<int>(c3));
}

// Over for four pixels with their coverages (one 32-bit lane each), share and alpha worked out in
// the lanes rather than looked up pixel by pixel.
inline __m128i OverFour(__m128i d, __m128i s, __m128i coverage) {
  const __m128i dst_alpha = _mm_srli_epi32(d, 24);
  const __m128i share = SharesInLanes(dst_alpha, coverage);
  // w(k) by the weight table's rule: k + 1, and 0 for 0. The alpha lanes' weight is dropped
  // with the alpha the blend gives them.
  const __m128i weight = _mm_sub_epi32(share, _mm_cmpgt_epi32(share, _mm_setzero_si128()));
  const __m128i paired = _mm_or_si128(weight, _mm_slli_epi32(weight, 16));
  const QuadWeights weights{_mm_unpacklo_epi32(paired, paired), _mm_unpackhi_epi32(paired, paired)};
  const __m128i colour = _mm_and_si128(BlendFour(d, s, weights), _mm_set1_epi32(kColourBits));
  return _mm_or_si128(colour, _mm_slli_epi32(CompositeAlphasInLanes(dst_alpha, coverage), 24));
}

}  // namespace weighted_pixel
