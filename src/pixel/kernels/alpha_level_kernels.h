// Kernels that draw a 32-bit source onto a 32-bit destination with a weight per pixel: a source
// scaled by a constant level added or subtracted; a source weighted by its own alpha (or by an
// 8-bit mask) scaled by a level, blended, added or subtracted; and a source with alpha drawn over
// a destination with alpha. Arguments as for the blend kernels (blend_kernels.h): destination,
// source, destination skip, source skip or signed source pitch, width, height, then the
// member's own arguments; a stretched member takes its StretchStep last. A zero width or height
// does nothing. The kernels read the pixel tables (BuildPixelTables first).
//
// w(k) is the weight-table entry of k (k + 1, 0 for k = 0); a level row is the product-table row
// P[L] of the level L; sA and dA are the source and destination alpha bytes. Only the colour
// channels change unless stated. The "Mmx" members give exactly their portable twins' results.
#pragma once

#include <cstdint>

#include "pixel/kernels/stretch_step.h"

// min(255, d + (s * w(L) >> 8)) and max(0, d - (s * w(L) >> 8)).
void AddScaled32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width, int32_t height,
                 uint8_t level);
void AddScaled32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                    int32_t height, uint8_t level);
void SubScaled32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width, int32_t height,
                 uint8_t level);
void SubScaled32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                    int32_t height, uint8_t level);
// Their stretched members.
void AddScaled32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                        int32_t height, uint8_t level, const StretchStep& step);
void AddScaled32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                           int32_t height, uint8_t level, const StretchStep& step);
void SubScaled32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                        int32_t height, uint8_t level, const StretchStep& step);
void SubScaled32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                           int32_t height, uint8_t level, const StretchStep& step);

// With the weight w(P[L][sA]): d + floor((s - d) * w / 256).
void BlendAlphaLevel32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                       int32_t height, const uint8_t* level_row);
void BlendAlphaLevel32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                              int32_t height, const uint8_t* level_row, const StretchStep& step);
void BlendAlphaLevel32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                          int32_t height, const uint8_t* level_row);
void BlendAlphaLevel32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                                 int32_t width, int32_t height, const uint8_t* level_row, const StretchStep& step);

// min(255, d + (s * w >> 8)) with w = w(P[L][sA]).
void AddAlphaLevel32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                     int32_t height, const uint8_t* level_row);
void AddAlphaLevel32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                            int32_t height, const uint8_t* level_row, const StretchStep& step);
void AddAlphaLevel32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                        int32_t height, const uint8_t* level_row);
void AddAlphaLevel32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                               int32_t height, const uint8_t* level_row, const StretchStep& step);

// max(0, d - (s * w >> 8)) with w = w(P[L][sA]).
void SubAlphaLevel32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                     int32_t height, const uint8_t* level_row);
void SubAlphaLevel32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                            int32_t height, const uint8_t* level_row, const StretchStep& step);
void SubAlphaLevel32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                        int32_t height, const uint8_t* level_row);
void SubAlphaLevel32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                               int32_t height, const uint8_t* level_row, const StretchStep& step);

// One layer over another: with c = P[L][sA], the colour moves by w(source share of (dA, c)) and
// the alpha becomes the composite alpha of (dA, c).
void BlendOver32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width, int32_t height,
                 const uint8_t* level_row);
void BlendOver32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                        int32_t height, const uint8_t* level_row, const StretchStep& step);
void BlendOver32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                    int32_t height, const uint8_t* level_row);
void BlendOver32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                           int32_t height, const uint8_t* level_row, const StretchStep& step);

// Blends weighted by an 8-bit mask beside the source (one byte per pixel, its own skip):
// BlendMaskLevel32 with w(P[L][m]), or w(P[L][sA]) when the mask is null;
// BlendMaskAlphaLevel32 with w(P[P[L][m]][sA]).
void BlendMaskLevel32(uint32_t* dst, const uint32_t* src, const uint8_t* mask, int32_t dst_skip, int32_t src_skip,
                      int32_t mask_skip, int32_t width, int32_t height, const uint8_t* level_row);
void BlendMaskLevel32Mmx(uint32_t* dst, const uint32_t* src, const uint8_t* mask, int32_t dst_skip, int32_t src_skip,
                         int32_t mask_skip, int32_t width, int32_t height, const uint8_t* level_row);
void BlendMaskAlphaLevel32(uint32_t* dst, const uint32_t* src, const uint8_t* mask, int32_t dst_skip,
                           int32_t src_skip, int32_t mask_skip, int32_t width, int32_t height,
                           const uint8_t* level_row);
void BlendMaskAlphaLevel32Mmx(uint32_t* dst, const uint32_t* src, const uint8_t* mask, int32_t dst_skip,
                              int32_t src_skip, int32_t mask_skip, int32_t width, int32_t height,
                              const uint8_t* level_row);
