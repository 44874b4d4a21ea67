// The filtered stretch: a bilinear resampling of the source rectangle, or a plain copy or
// stretch where filtering would change nothing or only blur a reduction.
#include <algorithm>
#include <cstdlib>

#include "gfx/images/image.h"
#include "pixel/kernels/bilinear_kernels.h"
#include "pixel/kernels/pixel_kernel_choice.h"

namespace {

int32_t SaturatedSum(int32_t a, int32_t b) {
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{a} + b, INT32_MIN, INT32_MAX));
}

}  // namespace

uint32_t CImage::SmoothStretchCopy(CImage* src, const ImageSize* size, int32_t x, int32_t y,
                                   const plat::Rect* src_rect) {
  if (!HasPixelsFrom(src)) return 1;
  plat::Rect source;
  if (src_rect != nullptr) {
    source = *src_rect;
  } else {
    src->GetBounds(&source);
  }
  const ImageSize target = SizeOr(size);
  const int64_t source_width = std::llabs(int64_t{source.right} - source.left);
  const int64_t source_height = std::llabs(int64_t{source.bottom} - source.top);
  const bool same_size = std::llabs(target.width) == source_width && std::llabs(target.height) == source_height;
  const bool reduction = target.width <= source_width / 2 || target.height <= source_height / 2 || source_width < 2 ||
                         source_height < 2;
  if (same_size || reduction) {
    // Plain passes ignore the source's key, as the filtered one does.
    const uint32_t key = src->color_key_;
    src->color_key_ = kNoColorKey;
    const uint32_t result =
        same_size ? Copy(src, x, y, &source, false) : StretchCopy(src, &target, x, y, &source, false);
    src->color_key_ = key;
    return result;
  }
  return SmoothStretchPass(src, target, x, y, source);
}

uint32_t CImage::SmoothStretchPass(CImage* src, ImageSize size, int32_t x, int32_t y, const plat::Rect& src_rect) {
  const bool from_32 = IsDepthPair(src, 32, 32);
  const bool from_8 = IsDepthPair(src, 32, 8);
  if (!from_32 && !from_8 && !IsDepthPair(src, 8, 8)) return 2;
  const plat::Rect dest{x, y, SaturatedSum(x, size.width), SaturatedSum(y, size.height)};
  plat::Rect source_clip;
  plat::Rect dest_clip;
  src->GetClipRect(&source_clip);
  GetClipRect(&dest_clip);
  BlitClip clip;
  BilinearStep step;
  if (!ClipStretchFixed(src_rect, dest, source_clip, dest_clip, clip, step)) return 0;
  if (from_8 && src->GetPalette() == nullptr && src->SetPalette(nullptr, 0, 0) != 0) return 2;
  source_rect_ = clip.source;
  dest_rect_ = clip.dest;

  const intptr_t dst_bytes = GetBitsPerPixel() / 8;
  const intptr_t src_bytes = src->GetBitsPerPixel() / 8;
  const int32_t width = dest_rect_.Width();
  const int32_t height = dest_rect_.Height();
  uint8_t* dst = GetPixels() + intptr_t{dest_rect_.top} * GetPitch() + dest_rect_.left * dst_bytes;
  const int32_t dst_skip = static_cast<int32_t>(GetPitch() - width * dst_bytes);
  const uint8_t* first = src->GetPixels() + intptr_t{source_rect_.top} * src->GetPitch() + source_rect_.left * src_bytes;
  const bool mmx = g_CpuHasMmx != 0;
  if (from_32) {
    (mmx ? Bilinear32Mmx : Bilinear32)(reinterpret_cast<uint32_t*>(dst), reinterpret_cast<const uint32_t*>(first),
                                       dst_skip, src->GetPitch(), width, height, step);
  } else if (from_8) {
    (mmx ? Bilinear8To32Mmx : Bilinear8To32)(reinterpret_cast<uint32_t*>(dst), first, dst_skip, src->GetPitch(),
                                             src->GetPalette(), width, height, step);
  } else {
    Bilinear8(dst, first, dst_skip, src->GetPitch(), width, height, step);
  }
  MarkChanged(dest_rect_);
  return 0;
}
