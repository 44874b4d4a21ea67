// Filling the pixels of a background cache with the layer's fill value (a 32-bit colour, or a
// palette index on 8 bits).
#pragma once

#include <cstdint>

class CImage;

// `count` pixels of `bytes` bytes each from `pixels` on; nothing for a count below 1.
void FillPixels(std::uint8_t* pixels, std::int32_t count, std::int32_t bytes, std::uint32_t value);
// Every pixel of an 8- or 32-bit image, which is then marked changed.
void FillImage(CImage& image, std::uint32_t value);
