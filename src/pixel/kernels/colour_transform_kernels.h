// Pixel kernels that change 32-bit pixels in place. Each takes the first pixel, the skip in
// bytes from the end of one row to the start of the next (ScaleRgb32 and FillColorLevel32: the
// full pitch instead), the width and the height (a zero count does nothing), then its own
// arguments. Keyed members leave pixels equal to the key (all 32 bits) unchanged. The "Mmx"
// members give exactly their portable twins' results. Only the colour channels change unless
// stated; the kernels that read the pixel tables need BuildPixelTables first.
#pragma once

#include <cstdint>

// c = P[L][c] with the product table P.
void ScaleRgb32(uint32_t* pixels, int32_t pitch, int32_t width, int32_t height, uint8_t level);

// c = (P[255 - L][c] + P[colour c][L]) mod 256: the colour mixed in at the level.
void FillColorLevel32(uint32_t* pixels, int32_t pitch, int32_t width, int32_t height, uint8_t level, uint8_t red,
                      uint8_t green, uint8_t blue);
void FillColorLevel32Key(uint32_t* pixels, int32_t pitch, int32_t width, int32_t height, uint8_t level, uint8_t red,
                         uint8_t green, uint8_t blue, uint32_t key);
void FillColorLevel32Mmx(uint32_t* pixels, int32_t pitch, int32_t width, int32_t height, uint8_t level, uint8_t red,
                         uint8_t green, uint8_t blue);
void FillColorLevel32KeyMmx(uint32_t* pixels, int32_t pitch, int32_t width, int32_t height, uint8_t level,
                            uint8_t red, uint8_t green, uint8_t blue, uint32_t key);

// c = min(255, c + colour c) and c = max(0, c - colour c) with a colour 0x00RRGGBB.
void AddColor32(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint32_t colour);
void AddColor32Key(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint32_t colour, uint32_t key);
void AddColor32Mmx(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint32_t colour);
void AddColor32KeyMmx(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint32_t colour, uint32_t key);
void SubColor32(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint32_t colour);
void SubColor32Key(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint32_t colour, uint32_t key);
void SubColor32Mmx(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint32_t colour);
void SubColor32KeyMmx(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint32_t colour, uint32_t key);

// Blue, green and red all become (29 blue + 150 green + 77 red) >> 8.
void Grayscale32(uint32_t* pixels, int32_t skip, int32_t width, int32_t height);
void Grayscale32Key(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint32_t key);
void Grayscale32Mmx(uint32_t* pixels, int32_t skip, int32_t width, int32_t height);

// c = clamp((c * scale >> 7) + offset) to 0..255 per channel: a scale of 128 is unity.
struct RgbAdjustment {
  uint16_t red_scale;
  uint16_t green_scale;
  uint16_t blue_scale;
  int16_t red_offset;
  int16_t green_offset;
  int16_t blue_offset;
};
void AdjustRgb32(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, const RgbAdjustment& adjustment);
void AdjustRgb32Key(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, const RgbAdjustment& adjustment,
                    uint32_t key);
void AdjustRgb32Mmx(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, const RgbAdjustment& adjustment);

// XORs every pixel with a mask chosen by the mode: 0 the colour bits (0x00FFFFFF), 1 all bits,
// any other mode the alpha byte (0xFF000000).
void Invert32(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint8_t mode);
void Invert32Key(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint8_t mode, uint32_t key);
void Invert32Mmx(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint8_t mode);

// Each colour byte c of a 0x00RRGGBB word made darker (shift <= 0: c >> -shift) or lighter
// (shift > 0: c << shift while that stays within 255, else c moved toward 255 by
// (2^shift - 1) / 2^shift of the way: blue rounds its step down before the multiplication,
// green and red after it). Shifts beyond 8 either way act as 8.
uint32_t ShadeColor(uint32_t colour, int32_t shift);
