// Copies a rectangle of a decoded picture (a bottom-up bitmap of 1, 4, 8, 16, 24 or 32 bits per
// pixel) into 32-bit pixels, 8-bit pixels or 16-bit ARGB4444 words, and writes 32-bit pixels
// or an alpha plane into a locked surface by its pixel-format code.
//
// The conversions return false and write nothing for a bit count other than 1, 4, 8, 16, 24 or
// 32, for compressed 4- and 8-bit pictures, and for a source rectangle outside the picture.
// Palette indices beyond the picture's colour table read as 0.
#pragma once

#include <cstdint>

#include "pixel/formats/decoded_picture.h"
#include "platform/system/geometry.h"

// Where in the picture the rectangle comes from: the bits, their pitch and the source origin.
struct DecodedSource {
  const DibInfo& info;
  const std::uint8_t* bits;
  std::int32_t pitch;
  std::int32_t x;
  std::int32_t y;
};

// Indexed pixels as their colour-table word, 16 bits as 5-5-5 shifted left by 3 with alpha 0,
// 24 bits with alpha 0, 32 bits with their alpha cleared.
bool ConvertDecodedTo32(std::uint8_t* pixels, const plat::Rect& rect, std::int32_t pitch, const DecodedSource& source);
// As ConvertDecodedTo32 but opaque: alpha 0xFF except for 32-bit pixels, which are copied whole.
bool ConvertDibTo32(std::uint8_t* pixels, const plat::Rect& rect, std::int32_t pitch, const DecodedSource& source);
// Indices stay indices; colours become grey (77 red + 150 green + 29 blue) >> 8.
bool ConvertDecodedToNative(std::uint8_t* pixels, const plat::Rect& rect, std::int32_t pitch,
                            const DecodedSource& source);
// 16-bit words 0xARGB of the top nibbles; pictures without alpha are opaque.
bool ConvertDecodedToArgb4444(std::uint8_t* pixels, const plat::Rect& rect, std::int32_t pitch,
                              const DecodedSource& source);

// A rectangle of 32-bit pixels into a locked surface of format 64 (ARGB1555), 128 (ARGB4444)
// or 256 (ARGB8888): 0, or non-zero without writing for any other format.
struct SurfaceRect {
  std::uint8_t* pixels;
  std::int32_t x;
  std::int32_t y;
  std::int32_t width;
  std::int32_t height;
  std::int32_t pitch;
};
struct PlaneSource {
  const std::uint8_t* pixels;
  std::int32_t x;
  std::int32_t y;
  std::int32_t pitch;
};
std::uint32_t CopyToSurface32(std::uint32_t format, const SurfaceRect& surface, const PlaneSource& source);
// An 8-bit alpha plane into the alpha bits of a locked surface, keeping the colour bits.
std::uint32_t CopyAlphaPlaneToSurface(std::uint32_t format, const SurfaceRect& surface, const PlaneSource& plane);

// Folds 4 x 4 coverage samples (four bytes of a word, four rows) into one byte per pixel, in place.
void Reduce32To8(std::uint8_t* pixels, std::int32_t pitch, std::int32_t width, std::int32_t height);
