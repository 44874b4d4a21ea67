// The shared row runner of the filters: a 32-bit row kernel applied to a rectangle of a source
// image and the place it lands on in a destination image.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/system/geometry.h"

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

// A row kernel that reads a window around each source pixel (a blur): it is handed besides the
// rows the number of source pixels left of the first one in its row and the number from it to
// the row's end, so that it never reads past the source image.
using WindowRowKernel =
    std::function<void(std::uint32_t* destination, const std::uint32_t* source, std::int32_t destination_skip,
                       std::int32_t source_skip, std::int32_t width, std::int32_t height, std::int32_t left_available,
                       std::int32_t right_available)>;

// RunRowKernel for a window kernel, cut to both images the same way.
bool RunWindowRowKernel(const WindowRowKernel& kernel, CImage& destination, std::int32_t x, std::int32_t y,
                        const CImage& source, const plat::Rect& rect);
