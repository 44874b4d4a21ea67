// Horizontal box blur of 32-bit rows: each output pixel averages the 2r + 1 source pixels
// centred on its column, all four channels, as (sum * floor(65536 / (2r + 1)) + 32768) >> 16.
// Window positions left of the pixels available repeat the leftmost available one, positions
// past the row's end repeat its last pixel.
//
// Arguments: destination, source (the pixel under the first output column), destination skip,
// source skip, width, height, the number of source pixels left of the first output column (only
// up to r of them are read), the number from it to the end of the row (at least 1), the radius r
// (a negative radius acts as 0), then the member's own argument.
#pragma once

#include <cstdint>

// Writes the blurred pixel.
void BoxBlurH32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width, int32_t height,
                int32_t left_available, int32_t right_available, int32_t radius);
// Moves each colour channel toward the blurred one: d + floor((blur - d) * w(L) / 256), with the
// weight-table entry w of the level; the alpha byte is kept.
void BoxBlurH32Level(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                     int32_t height, int32_t left_available, int32_t right_available, int32_t radius, uint8_t level);
// The same with the weight w(P[L][blurred alpha]) from the product-table row P[L] of the level.
void BoxBlurH32AlphaLevel(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                          int32_t height, int32_t left_available, int32_t right_available, int32_t radius,
                          const uint8_t* level_row);
