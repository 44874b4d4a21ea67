// Pixel kernels that change 32-bit pixels in place. Each takes the first pixel, the skip in
// bytes from the end of one row to the start of the next, the width and the height (both at
// least 1), then its own arguments.
#pragma once

#include <cstdint>

// XORs every pixel with a mask chosen by the mode: 0 the colour bits (0x00FFFFFF), 1 all bits,
// any other mode the alpha byte (0xFF000000).
void Invert32(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint8_t mode);
// The same result, several pixels at a time.
void Invert32Mmx(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint8_t mode);
