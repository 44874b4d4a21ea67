// The unpacking routines of ELG pixel streams. Each takes the stream's position and the end of
// the data, unpacks into an output of a stated size and returns the position after the stream's
// end byte, so that streams can be read one after the other. A stream without its end byte, one
// that would write past the output or one that refers back before the output's start gives
// null, and nothing outside the output is written.
//
// 8-bit streams (pixels of 8-bit pictures, palettes, alpha) count units of one byte; colour
// streams count pixels of three stored bytes that unpack to four (blue, green, red, 0).
// Outputs given as rows run top-down at `pitch` bytes apart; the DIB variants put the first
// stored row into the last row of a bottom-up bitmap.
#pragma once

#include <cstddef>
#include <cstdint>

// Consecutive bytes.
const std::uint8_t* UnpackElg8(const std::uint8_t* stream, const std::uint8_t* end, std::uint8_t* output,
                               std::size_t output_size);
// Palette indices into four-byte pixels: the 1024-byte palette's entry with its fourth byte
// replaced by `alpha`. `output_size` counts pixels.
const std::uint8_t* UnpackElgIndexedTo32(const std::uint8_t* stream, const std::uint8_t* end, std::uint8_t* output,
                                         std::size_t output_size, const std::uint8_t* palette, std::uint8_t alpha);
// A colour stream into consecutive four-byte pixels; `output_size` counts pixels.
const std::uint8_t* UnpackElgRgb(const std::uint8_t* stream, const std::uint8_t* end, std::uint8_t* output,
                                 std::size_t width, std::size_t output_size);
// An 8-bit stream into the fourth byte of consecutive four-byte pixels; offsets count pixels.
const std::uint8_t* UnpackElgAlpha(const std::uint8_t* stream, const std::uint8_t* end, std::uint8_t* output,
                                   std::size_t output_size);
// A colour stream into one grey byte per pixel: (77 red + 150 green + 29 blue) / 256.
const std::uint8_t* UnpackElgRgbToGrey(const std::uint8_t* stream, const std::uint8_t* end, std::uint8_t* output,
                                       std::size_t width, std::size_t output_size);

// Row variants: `height` rows of `width` units, `pitch` bytes apart.
const std::uint8_t* UnpackElg8ToRows(const std::uint8_t* stream, const std::uint8_t* end, std::uint8_t* output,
                                     std::size_t width, std::size_t height, std::ptrdiff_t pitch);
const std::uint8_t* UnpackElgRgbToGreyRows(const std::uint8_t* stream, const std::uint8_t* end, std::uint8_t* output,
                                           std::size_t width, std::size_t height, std::ptrdiff_t pitch);
const std::uint8_t* UnpackElgIndexedTo32Rows(const std::uint8_t* stream, const std::uint8_t* end,
                                             std::uint8_t* output, std::size_t width, std::size_t height,
                                             std::ptrdiff_t pitch, const std::uint8_t* palette, std::uint8_t alpha);
const std::uint8_t* UnpackElgRgbRows(const std::uint8_t* stream, const std::uint8_t* end, std::uint8_t* output,
                                     std::size_t width, std::size_t height, std::ptrdiff_t pitch);
const std::uint8_t* UnpackElgAlphaRows(const std::uint8_t* stream, const std::uint8_t* end, std::uint8_t* output,
                                       std::size_t width, std::size_t height, std::ptrdiff_t pitch);

// Bottom-up bitmap variants.
const std::uint8_t* UnpackElg8ToDib(const std::uint8_t* stream, const std::uint8_t* end, std::uint8_t* bits,
                                    std::size_t width, std::size_t height, std::size_t pitch);
const std::uint8_t* UnpackElgRgbToDib24(const std::uint8_t* stream, const std::uint8_t* end, std::uint8_t* bits,
                                        std::size_t width, std::size_t height, std::size_t pitch);
const std::uint8_t* UnpackElgRgbToDib32(const std::uint8_t* stream, const std::uint8_t* end, std::uint8_t* bits,
                                        std::size_t width, std::size_t height);
const std::uint8_t* UnpackElgAlphaToDib(const std::uint8_t* stream, const std::uint8_t* end, std::uint8_t* bits,
                                        std::size_t width, std::size_t height);
