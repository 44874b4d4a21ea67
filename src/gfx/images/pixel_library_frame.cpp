// The routines that draw a frame held in plain memory (a movie frame): the frame's rectangle is
// taken into a staging image, which the blend routines then draw like any source.
#include <cstring>

#include "gfx/images/image.h"
#include "gfx/images/pixel_library_routines.h"

namespace {

// The rectangle of the frame that a routine reads; false for a frame that is not 32 bits, whose
// rows do not hold its width, or a rectangle that is empty or not inside the frame.
bool FrameRect(const PixelFrame& frame, const plat::Rect* requested, plat::Rect& rect) {
  if (frame.bpp != 32 || frame.pixels == nullptr || frame.width < 1 || frame.height < 1 ||
      static_cast<int64_t>(frame.pitch) < static_cast<int64_t>(frame.width) * 4) {
    return false;
  }
  rect = requested != nullptr ? *requested : plat::Rect{0, 0, frame.width, frame.height};
  return rect.left >= 0 && rect.top >= 0 && rect.left < rect.right && rect.top < rect.bottom &&
         rect.right <= frame.width && rect.bottom <= frame.height;
}

// The one staging image of the drawing thread, sized to the last frame rectangle drawn.
CImage* StageFrame(const PixelFrame& frame, const plat::Rect& rect) {
  static CImage staging;
  const int32_t width = rect.right - rect.left;
  const int32_t height = rect.bottom - rect.top;
  if (staging.GetWidth() != width || staging.GetHeight() != height || !staging.HasPixels()) {
    if (staging.Create(width, height, 32, 0) != 0) return nullptr;
  }
  const size_t row_bytes = static_cast<size_t>(width) * 4;
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* from = frame.pixels + static_cast<size_t>(rect.top + y) * frame.pitch + rect.left * size_t{4};
    std::memcpy(staging.GetRowPointer(y), from, row_bytes);
  }
  return &staging;
}

// Runs a blend routine over the staged frame rectangle, which it draws whole.
template <typename Args>
PixelRoutineResult DrawStaged(CImage& dst, const PixelFrame& frame, const Args& args,
                              PixelRoutineResult (*routine)(CImage&, CImage&, const Args&)) {
  plat::Rect rect;
  if (!FrameRect(frame, args.src_rect, rect)) return {};
  CImage* staged = StageFrame(frame, rect);
  if (staged == nullptr) return {};
  Args whole = args;
  whole.src_rect = nullptr;
  return routine(dst, *staged, whole);
}

}  // namespace

PixelRoutineResult PixelLibFrameBlendRoutine(CImage& dst, const PixelFrame& frame, const PixelBlendArgs& args) {
  return DrawStaged(dst, frame, args, PixelLibBlendRoutine);
}

PixelRoutineResult PixelLibFrameStretchBlendRoutine(CImage& dst, const PixelFrame& frame,
                                                    const PixelStretchArgs& args) {
  return DrawStaged(dst, frame, args, PixelLibStretchBlendRoutine);
}
