// The shared row runner of the filters: a 32-bit row kernel applied to a rectangle of a source
// image and the place it lands on in a destination image.
#pragma once

#include <cstdint>

#include "platform/window_messages.h"

class CImage;

// Both start pixels, the destination's and the source's row skip in bytes, the width in
// pixels and the row count.
using RowKernel = void (*)(std::uint32_t* destination, const std::uint32_t* source, std::int32_t destination_skip,
                           std::int32_t source_skip, std::int32_t width, std::int32_t height);

// The 32-bit row copy, in its vector form where the processor has one.
RowKernel RowCopyKernel();

// Runs the kernel over the source rectangle, landing at (x, y) of the destination; the
// rectangle is first cut to both images, so nothing outside either is read or written. Both
// images must be 32 bits (false otherwise, or when nothing is left).
bool RunRowKernel(RowKernel kernel, CImage& destination, std::int32_t x, std::int32_t y, const CImage& source,
                  const plat::Rect& rect);
