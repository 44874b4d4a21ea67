// Bilinear resampling: each destination pixel interpolates the 2 x 2 source pixels around its
// sampling position, which steps across and down the source in 32.32 fixed point. The caller
// chooses positions, steps and sizes so that every sample's right and lower neighbours lie inside
// the source.
#pragma once

#include <cstdint>

// The stepping record: where the first sample of each row lies within its source pixel, and the
// steps per destination pixel and row as 32.32 fixed-point numbers (fraction word first). The
// interpolation weights are the top 8 bits of the fractions.
struct BilinearStep {
  uint32_t xFracStart = 0;  // fraction of the first sample's x (the source pointer is its pixel)
  uint32_t yFrac = 0;       // fraction of the first row's y
  uint32_t xStepFrac = 0;
  int32_t xStepInt = 0;
  uint32_t yStepFrac = 0;
  int32_t yStepInt = 0;
};

// With lerp(a, b, f) = a + floor((b - a) * f / 256) per channel: top = lerp(NW, NE, fx),
// bottom = lerp(SW, SE, fx), result = lerp(top, bottom, fy). Arguments: destination, first
// source pixel, destination skip, source pitch (bytes, signed), then for an 8-bit source with a
// 32-bit destination its palette of 256 entries, then width, height and the step. The 32-bit
// members interpolate all four bytes, alpha included; Bilinear8 interpolates the index bytes.
// The "Mmx" members give exactly their portable twins' results.
void Bilinear32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                int32_t height, const BilinearStep& step);
void Bilinear32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                   int32_t height, const BilinearStep& step);
void Bilinear8To32(uint32_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_pitch, const uint32_t* palette,
                   int32_t width, int32_t height, const BilinearStep& step);
void Bilinear8To32Mmx(uint32_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_pitch, const uint32_t* palette,
                      int32_t width, int32_t height, const BilinearStep& step);
void Bilinear8(uint8_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width, int32_t height,
               const BilinearStep& step);
