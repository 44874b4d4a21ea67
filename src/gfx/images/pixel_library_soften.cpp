// The softening routine of the engine's pixel-routine library: the engine's box-blur kernel run
// along the rows of the rectangle, then along its columns.
#include <algorithm>
#include <vector>

#include "gfx/images/pixel_library_routines.h"
#include "gfx/images/pixel_routine_run.h"
#include "pixel/kernels/box_blur_kernels.h"

namespace {

constexpr uint32_t kMaxStrength = 127;

// Blurs `lines` lines of `length` pixels in place, each line gathered from pixels `step` apart
// (in pixels), consecutive lines starting `line_step` apart.
void BlurLines(uint32_t* first, ptrdiff_t line_step, ptrdiff_t step, int32_t lines, int32_t length, uint32_t strength) {
  if (strength == 0) return;
  const auto radius = static_cast<int32_t>(std::min(strength, kMaxStrength));
  std::vector<uint32_t> line(static_cast<size_t>(length));
  std::vector<uint32_t> blurred(line.size());
  for (int32_t i = 0; i < lines; ++i) {
    uint32_t* start = first + i * line_step;
    for (int32_t k = 0; k < length; ++k) line[k] = start[k * step];
    BoxBlurH32(blurred.data(), line.data(), 0, 0, length, 1, 0, length, radius);
    for (int32_t k = 0; k < length; ++k) start[k * step] = blurred[k];
  }
}

}  // namespace

PixelRoutineResult PixelLibSoftenRoutine(CImage& image, const PixelSoftenArgs& args) {
  plat::Rect area;
  if (image.GetBitsPerPixel() != 32 || !image.InPlaceRect(args.rect, area)) return {};
  const ptrdiff_t row = image.GetPitch() / 4;
  uint32_t* first = reinterpret_cast<uint32_t*>(image.GetRowPointer(area.top)) + area.left;
  BlurLines(first, row, 1, area.Height(), area.Width(), args.horizontal);
  BlurLines(first, 1, row, area.Width(), area.Height(), args.vertical);
  return {true, area};
}
