// Kernels that paint a colour into a 32-bit image through an 8-bit coverage mask (0 no
// coverage, 255 full). The colour is one 0x00RRGGBB word for the whole call, one per row
// (a vertical gradient), or a plane of width x height colours stored row after row without gaps.
//
// Rectangle members take the destination, the mask, the destination and mask skips, the width
// and the height (a zero count does nothing), the colour, and the product-table row P[L] of the
// level L. The plane and per-row members without "Mmx" take the full row pitches of destination
// and mask instead of skips. With the coverage c = P[L][m] of mask byte m and w(k) the weight
// table entry (k + 1, 0 for k = 0), each colour channel d becomes:
//   Blend: d + floor((colour - d) * w(c) / 256)      Add: min(255, d + (colour * w(c) >> 8))
//   Sub:   max(0, d - (colour * w(c) >> 8))
//   Over:  d + floor((colour - d) * w(source share of (dA, c)) / 256), and the alpha byte becomes
//          the composite alpha of (dA, c).
// Blend, Add and Sub keep the alpha byte. The "Mmx" members give exactly the same results. The
// kernels read the pixel tables (BuildPixelTables first).
#pragma once

#include <cstdint>

void BlendColorMasked32(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width,
                        int32_t height, uint32_t colour, const uint8_t* level_row);
void BlendColorMasked32Mmx(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width,
                           int32_t height, uint32_t colour, const uint8_t* level_row);
void AddColorMasked32(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width,
                      int32_t height, uint32_t colour, const uint8_t* level_row);
void AddColorMasked32Mmx(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width,
                         int32_t height, uint32_t colour, const uint8_t* level_row);
void SubColorMasked32(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width,
                      int32_t height, uint32_t colour, const uint8_t* level_row);
void SubColorMasked32Mmx(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width,
                         int32_t height, uint32_t colour, const uint8_t* level_row);
void OverColorMasked32(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width,
                       int32_t height, uint32_t colour, const uint8_t* level_row);
void OverColorMasked32Mmx(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width,
                          int32_t height, uint32_t colour, const uint8_t* level_row);

void BlendColorPlaneMasked32(uint32_t* dst, const uint8_t* mask, int32_t dst_pitch, int32_t mask_pitch, int32_t width,
                             int32_t height, const uint32_t* colours, const uint8_t* level_row);
void BlendColorPlaneMasked32Mmx(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip,
                                int32_t width, int32_t height, const uint32_t* colours, const uint8_t* level_row);
void BlendColorRowsMasked32(uint32_t* dst, const uint8_t* mask, int32_t dst_pitch, int32_t mask_pitch, int32_t width,
                            int32_t height, const uint32_t* row_colours, const uint8_t* level_row);
void BlendColorRowsMasked32Mmx(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width,
                               int32_t height, const uint32_t* row_colours, const uint8_t* level_row);
void OverColorPlaneMasked32(uint32_t* dst, const uint8_t* mask, int32_t dst_pitch, int32_t mask_pitch, int32_t width,
                            int32_t height, const uint32_t* colours, const uint8_t* level_row);
void OverColorPlaneMasked32Mmx(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width,
                               int32_t height, const uint32_t* colours, const uint8_t* level_row);
void OverColorRowsMasked32(uint32_t* dst, const uint8_t* mask, int32_t dst_pitch, int32_t mask_pitch, int32_t width,
                           int32_t height, const uint32_t* row_colours, const uint8_t* level_row);
void OverColorRowsMasked32Mmx(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width,
                              int32_t height, const uint32_t* row_colours, const uint8_t* level_row);

// A whole glyph mask drawn with its top-left corner at (x, y), clipped to the destination;
// pitches in bytes. Returns false, drawing nothing, when no pixel of the mask lies on the
// destination. DrawMaskSolid32 writes the colour wherever the mask byte is non-zero;
// DrawMaskSmooth32 writes P[colour][m] + P[d][255 - m] there, or, when the vector kernels are
// chosen (g_CpuHasMmx), d + floor((colour - d) * w(m) / 256). Both keep the alpha byte.
bool DrawMaskSolid32(int32_t x, int32_t y, uint8_t red, uint8_t green, uint8_t blue, uint32_t* dst,
                     int32_t dst_width, int32_t dst_height, int32_t dst_pitch, const uint8_t* mask, int32_t mask_width,
                     int32_t mask_height, int32_t mask_pitch);
bool DrawMaskSmooth32(int32_t x, int32_t y, uint8_t red, uint8_t green, uint8_t blue, uint32_t* dst,
                      int32_t dst_width, int32_t dst_height, int32_t dst_pitch, const uint8_t* mask,
                      int32_t mask_width, int32_t mask_height, int32_t mask_pitch);
