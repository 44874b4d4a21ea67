#include "effects/framework/row_kernel_runner.h"

#include <algorithm>

#include "gfx/images/image.h"
#include "pixel/kernels/copy_kernels.h"
#include "pixel/kernels/pixel_kernel_choice.h"

RowKernel RowCopyKernel() { return g_CpuHasMmx != 0 ? &Copy32Mmx : &Copy32; }

bool RunWindowRowKernel(const WindowRowKernel& kernel, CImage& destination, std::int32_t x, std::int32_t y,
                        const CImage& source, const plat::Rect& rect) {
  if (!kernel || !destination.HasPixels() || !source.HasPixels()) return false;
  if (destination.GetBitsPerPixel() != 32 || source.GetBitsPerPixel() != 32) return false;
  // Cut the rectangle to the source, then what lands outside the destination.
  const std::int32_t left = std::max({rect.left, 0, rect.left + (0 - x)});
  const std::int32_t top = std::max({rect.top, 0, rect.top + (0 - y)});
  const std::int32_t right =
      std::min({rect.right, source.GetWidth(), rect.left + (destination.GetWidth() - x)});
  const std::int32_t bottom =
      std::min({rect.bottom, source.GetHeight(), rect.top + (destination.GetHeight() - y)});
  if (left >= right || top >= bottom) return false;
  const std::int32_t width = right - left;
  const std::int32_t height = bottom - top;
  const std::int32_t dx = x + (left - rect.left);
  const std::int32_t dy = y + (top - rect.top);
  auto* to = reinterpret_cast<std::uint32_t*>(destination.GetRowPointer(dy)) + dx;
  const auto* from = reinterpret_cast<const std::uint32_t*>(source.GetRowPointer(top)) + left;
  kernel(to, from, destination.GetPitch() - 4 * width, source.GetPitch() - 4 * width, width, height, left,
         source.GetWidth() - left);
  return true;
}

bool RunRowKernel(RowKernel kernel, CImage& destination, std::int32_t x, std::int32_t y, const CImage& source,
                  const plat::Rect& rect) {
  if (kernel == nullptr) return false;
  return RunWindowRowKernel(
      [kernel](std::uint32_t* to, const std::uint32_t* from, std::int32_t to_skip, std::int32_t from_skip,
               std::int32_t width, std::int32_t height, std::int32_t, std::int32_t) {
        kernel(to, from, to_skip, from_skip, width, height);
      },
      destination, x, y, source, rect);
}
