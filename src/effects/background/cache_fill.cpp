#include "effects/background/cache_fill.h"

#include <algorithm>
#include <cstring>

#include "gfx/images/image.h"

void FillPixels(std::uint8_t* pixels, std::int32_t count, std::int32_t bytes, std::uint32_t value) {
  if (count <= 0) return;
  if (bytes == 1) {
    std::memset(pixels, static_cast<int>(value & 0xFF), static_cast<std::size_t>(count));
    return;
  }
  auto* row = reinterpret_cast<std::uint32_t*>(pixels);
  std::fill(row, row + count, value);
}

void FillImage(CImage& image, std::uint32_t value) {
  const std::int32_t bytes = image.GetBitsPerPixel() / 8;
  if (bytes != 1 && bytes != 4) return;
  for (std::int32_t y = 0; y < image.GetHeight(); ++y) FillPixels(image.GetRowPointer(y), image.GetWidth(), bytes, value);
  image.MarkAllChanged();
}
