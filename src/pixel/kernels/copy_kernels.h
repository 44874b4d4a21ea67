// The copy kernels: plain, colour-keyed, stretched and mirrored copies between 32-bit and 8-bit
// pixels, the copies of single channels, and the fills. A 32-bit pixel is 0xAARRGGBB.
//
// Common arguments: the first destination pixel; the first source pixel to read (a mirrored
// kernel gets the position just past the right end of the first source row); the destination
// skip (pitch minus the row's bytes); for a one-to-one kernel the source skip (pitch minus the
// row's bytes, or minus the pitch minus the row's bytes for a flipped pass), for a stretched one
// the signed source pitch; the width and the height (a zero or negative count returns at once);
// then the StretchStep, the palette and the colour key, in this order where several occur.
// A keyed kernel leaves the destination pixel where the whole 32-bit source pixel equals the key;
// an 8-bit source compares its index with the key's low byte.
// The "Mmx" members give exactly the results of their portable twins, four pixels at a time.
// Where the vector members run in their AVX2 form (g_CpuHasAvx2), the keyed 32-bit copies,
// which have no "Mmx" twin, take an AVX2 form too, with the same results.
#pragma once

#include <cstdint>

#include "pixel/kernels/stretch_step.h"

// d = p
void Copy32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width, int32_t height);
void Copy32Key(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width, int32_t height,
               uint32_t key);
void Copy32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width, int32_t height);
void Copy32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                   int32_t height, const StretchStep& step);
void Copy32StretchKey(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                      int32_t height, const StretchStep& step, uint32_t key);
void Copy32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                      int32_t height, const StretchStep& step);
void Copy32Mirror(uint32_t* dst, const uint32_t* src_end, int32_t dst_skip, int32_t src_skip, int32_t width,
                  int32_t height);
void Copy32MirrorKey(uint32_t* dst, const uint32_t* src_end, int32_t dst_skip, int32_t src_skip, int32_t width,
                     int32_t height, uint32_t key);
void Copy32MirrorMmx(uint32_t* dst, const uint32_t* src_end, int32_t dst_skip, int32_t src_skip, int32_t width,
                     int32_t height);
void Copy32MirrorStretch(uint32_t* dst, const uint32_t* src_end, int32_t dst_skip, int32_t src_pitch, int32_t width,
                         int32_t height, const StretchStep& step);
void Copy32MirrorStretchKey(uint32_t* dst, const uint32_t* src_end, int32_t dst_skip, int32_t src_pitch,
                            int32_t width, int32_t height, const StretchStep& step, uint32_t key);
void Copy32MirrorStretchMmx(uint32_t* dst, const uint32_t* src_end, int32_t dst_skip, int32_t src_pitch,
                            int32_t width, int32_t height, const StretchStep& step);

// d = palette[p], the entry's fourth byte becoming the alpha byte.
void Copy8To32(uint32_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_skip, int32_t width, int32_t height,
               const uint32_t* palette);
void Copy8To32Key(uint32_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                  int32_t height, const uint32_t* palette, uint32_t key);
void Copy8To32Stretch(uint32_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                      int32_t height, const StretchStep& step, const uint32_t* palette);
void Copy8To32StretchKey(uint32_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                         int32_t height, const StretchStep& step, const uint32_t* palette, uint32_t key);
void Copy8To32Mirror(uint32_t* dst, const uint8_t* src_end, int32_t dst_skip, int32_t src_skip, int32_t width,
                     int32_t height, const uint32_t* palette);
void Copy8To32MirrorKey(uint32_t* dst, const uint8_t* src_end, int32_t dst_skip, int32_t src_skip, int32_t width,
                        int32_t height, const uint32_t* palette, uint32_t key);
void Copy8To32MirrorStretch(uint32_t* dst, const uint8_t* src_end, int32_t dst_skip, int32_t src_pitch,
                            int32_t width, int32_t height, const StretchStep& step, const uint32_t* palette);
void Copy8To32MirrorStretchKey(uint32_t* dst, const uint8_t* src_end, int32_t dst_skip, int32_t src_pitch,
                               int32_t width, int32_t height, const StretchStep& step, const uint32_t* palette,
                               uint32_t key);

// d = p between 8-bit images. Direction +1 reads forward from src; a negative direction reads
// to the left from src, the rightmost source pixel itself.
void Copy8(uint8_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_skip, int32_t direction, int32_t width,
           int32_t height);
void Copy8Key(uint8_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_skip, int32_t direction, int32_t width,
              int32_t height, uint32_t key);
void Copy8Stretch(uint8_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                  int32_t height, const StretchStep& step);
void Copy8StretchKey(uint8_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                     int32_t height, const StretchStep& step, uint32_t key);
void Copy8MirrorStretch(uint8_t* dst, const uint8_t* src_end, int32_t dst_skip, int32_t src_pitch, int32_t width,
                        int32_t height, const StretchStep& step);
void Copy8MirrorStretchKey(uint8_t* dst, const uint8_t* src_end, int32_t dst_skip, int32_t src_pitch, int32_t width,
                           int32_t height, const StretchStep& step, uint32_t key);

// d = (p & 0x00FFFFFF) | (d & 0xFF000000)
void CopyRgb32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width, int32_t height);
void CopyRgb32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                  int32_t height);
void CopyRgb32Key(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                  int32_t height, uint32_t key);
void CopyRgb32KeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                     int32_t height, uint32_t key);
void CopyRgb32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                      int32_t height, const StretchStep& step);
void CopyRgb32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                         int32_t height, const StretchStep& step);
void CopyRgb32StretchKey(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                         int32_t height, const StretchStep& step, uint32_t key);
void CopyRgb32StretchKeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                            int32_t height, const StretchStep& step, uint32_t key);

// d = (p & 0xFF000000) | (d & 0x00FFFFFF)
void CopyAlpha32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                 int32_t height);
void CopyAlpha32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                    int32_t height);
void CopyAlpha32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                        int32_t height, const StretchStep& step);
void CopyAlpha32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                           int32_t height, const StretchStep& step);

// The alpha byte of d becomes the 8-bit source byte; the colour bits stay.
void CopyBytesToAlpha(uint32_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                      int32_t height);
void CopyBytesToAlphaStretch(uint32_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                             int32_t height, const StretchStep& step);
void CopyBytesToAlphaMirror(uint32_t* dst, const uint8_t* src_end, int32_t dst_skip, int32_t src_skip, int32_t width,
                            int32_t height);
void CopyBytesToAlphaMirrorStretch(uint32_t* dst, const uint8_t* src_end, int32_t dst_skip, int32_t src_pitch,
                                   int32_t width, int32_t height, const StretchStep& step);

// The 8-bit d becomes the alpha byte of the 32-bit source pixel.
void CopyAlphaToBytes(uint8_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                      int32_t height);
void CopyAlphaToBytesStretch(uint8_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                             int32_t height, const StretchStep& step);
void CopyAlphaToBytesMirror(uint8_t* dst, const uint32_t* src_end, int32_t dst_skip, int32_t src_skip, int32_t width,
                            int32_t height);
void CopyAlphaToBytesMirrorStretch(uint8_t* dst, const uint32_t* src_end, int32_t dst_skip, int32_t src_pitch,
                                   int32_t width, int32_t height, const StretchStep& step);

// The alpha of d becomes the composite alpha of (alpha of d, p): 255 − (255 − a)(255 − p) / 255
// rounded down; the colour bits stay. Merges glyph coverage into an alpha plane.
void MergeBytesIntoAlpha(uint32_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                         int32_t height);

// Stores the value into every pixel, row by row in ascending address order.
void Fill32(uint32_t* dst, int32_t skip, int32_t width, int32_t height, uint32_t value);
void Fill32Mmx(uint32_t* dst, int32_t skip, int32_t width, int32_t height, uint32_t value);
// d = (d & 0xFF000000) | rgb, rgb being a colour whose top byte is 0.
void SetRgb32(uint32_t* dst, int32_t skip, int32_t width, int32_t height, uint32_t rgb);
void SetRgb32Mmx(uint32_t* dst, int32_t skip, int32_t width, int32_t height, uint32_t rgb);
