// In-place smoothing with a small stencil, and mosaic blocks, on 32-bit or 8-bit images.
// Arguments: the first pixel, the skip (bytes from the end of one row to the start of the next),
// the pitch (bytes from one row start to the next), the width and the height, then the
// kernel's own. Each kernel keeps its working rows to itself, so two threads may run them on two
// images at once.
#pragma once

#include <cstdint>

// Every output pixel comes from the pixels as they were before the pass, per colour channel
// (a above, b below, l left, r right, s the pixel): inside (a + b + 2 (l + s + r)) / 8; on an
// edge the sum of s and its three neighbours / 4; in a corner (2 s + its two neighbours) / 4.
// Mode 2 and above divide the exact sums (truncating); mode 0 first clears the low three bits of
// every sample; mode 1 does as mode 0 and adds 7 to each channel of the result. The alpha byte
// of every result is 0. Returns 1 (and changes nothing) when the width or height is below 4 or
// the skip or pitch is not a multiple of 4, 2 when the working rows cannot be allocated, else 0.
uint32_t Smooth32(uint32_t* pixels, int32_t skip, int32_t pitch, int32_t width, int32_t height, uint8_t mode);

// The same stencil on the bytes of an 8-bit image, exact sums truncated. Returns 1 when the width
// or height is below 4, 2 when the working rows cannot be allocated, else 0.
uint32_t Smooth8(uint8_t* pixels, int32_t skip, int32_t pitch, int32_t width, int32_t height);

// Blocks of n x n pixels take the colour of their top-left pixel. The alignment mode sets the
// size of the first block column and row (the others are n wide and high, the last ones cut at
// the edges): 1 top-left (both n); 2 top-right (width mod n wide); 3 bottom-left (height mod n
// high); 4 bottom-right (both); 0 or above 4 centred (((size - n) / 2) mod n where n is below
// the size). A size of 0 means n. Nothing happens when the width or height is below 3 or n is
// below 2.
void Mosaic32(uint32_t* pixels, int32_t skip, int32_t pitch, int32_t width, int32_t height, int32_t block,
              uint8_t mode);
void Mosaic8(uint8_t* pixels, int32_t skip, int32_t pitch, int32_t width, int32_t height, int32_t block,
             uint8_t mode);
