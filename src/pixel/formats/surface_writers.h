// The two conversions that write software-image pixels into surface memory of any pixel
// format: palette indices through their palette, and 32-bit 0xAARRGGBB pixels.
#pragma once

#include <cstdint>

// Writes width x height palette indices (rows src_pitch bytes apart) at (dst_x, dst_y) of the
// surface memory (rows dst_pitch bytes apart); the palette holds 256 entries 0x00RRGGBB.
// False for a format outside RGB555 .. ARGB8888.
bool WritePal8ToSurface(uint32_t format, uint8_t* dst_bits, int32_t dst_x, int32_t dst_y, int32_t dst_pitch,
                        const uint8_t* src, int32_t src_pitch, int32_t width, int32_t height,
                        const uint32_t* palette);
// The same for width x height 32-bit pixels.
bool WriteArgb32ToSurface(uint32_t format, uint8_t* dst_bits, int32_t dst_x, int32_t dst_y, int32_t dst_pitch,
                          const uint8_t* src, int32_t src_pitch, int32_t width, int32_t height);
