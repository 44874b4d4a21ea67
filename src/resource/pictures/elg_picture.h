// Unpacking a whole ELG picture into rows at a given pitch: the shared core of the decoder's
// loads and of images that take ELG data straight into their pixels.
#pragma once

#include <cstddef>
#include <cstdint>

#include "resource/pictures/elg_header.h"

// Into 32-bit pixels: 8-bit pictures through their palette with alpha 0, 24-bit with alpha 0,
// 32-bit with their alpha stream, or with alpha 0 as well when `with_alpha` is false. False
// when a stream is damaged.
bool UnpackElgPictureTo32(const ElgHeader& header, const std::uint8_t* data, std::size_t size, std::uint8_t* target,
                          std::ptrdiff_t pitch, bool with_alpha = true);
// Into 8-bit pixels: indices of 8-bit pictures (their palette into `palette` when given, 1024
// bytes), grey for 24- and 32-bit ones (the alpha stream is not read).
bool UnpackElgPictureTo8(const ElgHeader& header, const std::uint8_t* data, std::size_t size, std::uint8_t* target,
                         std::ptrdiff_t pitch, std::uint8_t* palette);
