// The blur blends: the source blurred along its rows and blended into this image at a level,
// plainly or weighted by the blurred alpha.
#include <algorithm>

#include "gfx/image_operations/blit_pass.h"
#include "gfx/images/image.h"
#include "pixel/kernels/box_blur_kernels.h"
#include "pixel/kernels/pixel_tables.h"

namespace {

// The kernels' channel sums hold 2r + 1 pixels of 255 only up to this radius.
constexpr uint32_t kMaxBlurRadius = 127;

}  // namespace

uint32_t CImage::BlurBlendLevel(CImage* src, uint32_t radius, uint8_t level, int32_t x, int32_t y,
                                const plat::Rect* src_rect) {
  if (radius == 0) return BlendWeighted(src, (255u - level) * 0x010101u, level * 0x010101u, x, y, src_rect);
  return BlurPass(false, src, radius, level, x, y, src_rect);
}

uint32_t CImage::BlurBlendAlphaLevel(CImage* src, uint32_t radius, uint8_t level, int32_t x, int32_t y,
                                     const plat::Rect* src_rect) {
  if (radius == 0) return BlendModeLevel(0, src, level, x, y, src_rect);
  return BlurPass(true, src, radius, level, x, y, src_rect);
}

// The window reads the source's clip rectangle around the clipped source rectangle; beyond it
// the kernels repeat the edge pixels.
uint32_t CImage::BlurPass(bool by_alpha, CImage* src, uint32_t radius, uint8_t level, int32_t x, int32_t y,
                          const plat::Rect* src_rect) {
  return RunPass(src, 32, 32, level == 0 ? 0 : kDraw, {{x, y, src_rect, false, false}},
                 [&](const BlitPass& pass) {
                   plat::Rect source_clip;
                   src->GetClipRect(&source_clip);
                   const int32_t left = source_rect_.left - source_clip.left;
                   const int32_t right = source_clip.right - source_rect_.left;
                   const auto r = static_cast<int32_t>(std::min(radius, kMaxBlurRadius));
                   pass.Run<uint32_t, uint32_t>([&](auto... a) {
                     if (by_alpha) {
                       BoxBlurH32AlphaLevel(a..., left, right, r, g_PixelTables.product[level]);
                     } else if (level == 255) {
                       BoxBlurH32(a..., left, right, r);
                     } else {
                       BoxBlurH32Level(a..., left, right, r, level);
                     }
                   });
                 });
}
