// Blend kernels of the compositing operations. Arguments: the first destination pixel, the first
// source pixel, the destination skip (bytes from the end of one row to the start of the next),
// the source skip (one-to-one members) or the signed source pitch (stretched members), the width
// and the height, then the members' own arguments. A zero width or height does nothing.
//
// Mirrored members read leftwards from the position just past the right end of the first source
// row; the source skip of a one-to-one mirrored member is, as in every family, the pitch minus the
// row's bytes (it counts from the right end of the row just read). A vertically flipped pass hands over the bottom row and a negative skip or
// pitch. Keyed members leave the destination pixel where the whole source word equals the key.
//
// Each family has a portable member and a vector ("Mmx") member; where their results differ each
// states its own. The blends that read the pixel tables need BuildPixelTables to have run.
#pragma once

#include <cstdint>
#include <span>

#include "pixel/kernels/stretch_step.h"

// Blend by the source alpha A. Source weight wA = A (256 for A = 255); each colour channel is
// min(255, (s * wA >> 8) + (d * wB >> 8)) and the alpha byte becomes 0. Portable: wB = 255 - A,
// 256 for A = 0. Mmx: wB = 256 - wA.
void AlphaBlend32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                  int32_t width, int32_t height);
void AlphaBlend32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                         int32_t width, int32_t height, const StretchStep& step);
void AlphaBlend32Mirror(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                        int32_t width, int32_t height);
void AlphaBlend32MirrorStretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip,
                               int32_t src_pitch, int32_t width, int32_t height,
                               const StretchStep& step);
void AlphaBlend32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                     int32_t width, int32_t height);
void AlphaBlend32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                            int32_t width, int32_t height, const StretchStep& step);
void AlphaBlend32MirrorMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                           int32_t width, int32_t height);
void AlphaBlend32MirrorStretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip,
                                  int32_t src_pitch, int32_t width, int32_t height,
                                  const StretchStep& step);

// Blocks of width × height blended by the source alpha one after another, each exactly as the
// one-to-one member of the same rule blends it alone: `blocks` holds each block's first
// destination and source pixel as offsets in pixels from dst and src, whose strides are in
// pixels too. The vector member takes a narrow block's rows a whole vector at a time (two rows of
// four pixels to an AVX2 register) where a call of the one-to-one member per block would pay a
// call and a partial step for every row: the moving patterns lay down blocks of 2 × 2 to 8 × 8 by
// the ten thousand.
struct BlockPlace {
  intptr_t to;
  intptr_t from;
};
void AlphaBlendBlocks32(uint32_t* dst, intptr_t dst_stride, const uint32_t* src, intptr_t src_stride, int32_t width,
                        int32_t height, std::span<const BlockPlace> blocks);
void AlphaBlendBlocks32Mmx(uint32_t* dst, intptr_t dst_stride, const uint32_t* src, intptr_t src_stride,
                           int32_t width, int32_t height, std::span<const BlockPlace> blocks);

// Blend with one weight byte per channel (blue in the low byte, then green, red, alpha).
// Portable: each colour channel is (P[wd][d] + P[ws][s]) mod 256 with the product table P, and
// the destination's alpha byte is kept. Mmx: every byte, alpha included, is
// min(65535, s * ws + d * wd) >> 8.
void BlendWeighted32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                     int32_t width, int32_t height, uint32_t dst_weights, uint32_t src_weights);
void BlendWeighted32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                            int32_t width, int32_t height, const StretchStep& step,
                            uint32_t dst_weights, uint32_t src_weights);
void BlendWeighted32Key(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                        int32_t width, int32_t height, uint32_t key, uint32_t dst_weights,
                        uint32_t src_weights);
void BlendWeighted32StretchKey(uint32_t* dst, const uint32_t* src, int32_t dst_skip,
                               int32_t src_pitch, int32_t width, int32_t height,
                               const StretchStep& step, uint32_t key, uint32_t dst_weights,
                               uint32_t src_weights);
void BlendWeighted32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                        int32_t width, int32_t height, uint32_t dst_weights, uint32_t src_weights);
void BlendWeighted32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip,
                               int32_t src_pitch, int32_t width, int32_t height,
                               const StretchStep& step, uint32_t dst_weights, uint32_t src_weights);
void BlendWeighted32KeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                           int32_t width, int32_t height, uint32_t key, uint32_t dst_weights,
                           uint32_t src_weights);
void BlendWeighted32StretchKeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip,
                                  int32_t src_pitch, int32_t width, int32_t height,
                                  const StretchStep& step, uint32_t key, uint32_t dst_weights,
                                  uint32_t src_weights);

// Blend at one level L, the vector path of the constant-level blend (its portable path is the
// weighted blend with weights 255 - L and L). With w = L + 1 (0 for L = 0) each colour channel
// is d + floor((s - d) * w / 256); the destination's alpha byte is kept.
void BlendLevel32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                     int32_t width, int32_t height, uint8_t level);
void BlendLevel32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                            int32_t width, int32_t height, const StretchStep& step, uint8_t level);
void BlendLevel32KeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                        int32_t width, int32_t height, uint8_t level, uint32_t key);
void BlendLevel32StretchKeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip,
                               int32_t src_pitch, int32_t width, int32_t height,
                               const StretchStep& step, uint8_t level, uint32_t key);

// Level blend that treats fully transparent pixels apart: where both alphas are non-zero each
// colour channel is (P[255 - L][d] + P[L][s]) mod 256; a source of alpha 0 keeps the
// destination's colour; a source over a destination of alpha 0 copies the source colour. The
// alpha byte is always (P[255 - L][destination alpha] + P[L][source alpha]) mod 256.
void BlendLevelClearAware32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                            int32_t width, int32_t height, uint8_t level);
