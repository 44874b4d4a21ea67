// The rule transition blends: a level for every rule value, applied through the rule image
// (or, without one, through the source alpha), the alpha form also weighing by the source alpha.
#include "gfx/image_operations/blit_pass.h"
#include "gfx/images/image.h"
#include "gfx/images/rule_level_table.h"
#include "pixel/kernels/alpha_level_kernels.h"
#include "pixel/kernels/pixel_kernel_choice.h"

uint32_t CImage::RuleBlend(CImage* src, CImage* rule, uint8_t level, uint32_t progress, uint32_t width, int32_t x,
                           int32_t y, const plat::Rect* src_rect) {
  return RulePass(false, src, rule, level, progress, width, x, y, src_rect);
}

uint32_t CImage::RuleBlendAlpha(CImage* src, CImage* rule, uint8_t level, uint32_t progress, uint32_t width,
                                int32_t x, int32_t y, const plat::Rect* src_rect) {
  if (HasPixelsFrom(src) && (rule == nullptr || rule->GetBitsPerPixel() != 8)) return 2;
  return RulePass(true, src, rule, level, progress, width, x, y, src_rect);
}

uint32_t CImage::RulePass(bool by_alpha, CImage* src, CImage* rule, uint8_t level, uint32_t progress, uint32_t width,
                          int32_t x, int32_t y, const plat::Rect* src_rect) {
  const bool bad_ramp = progress > 512 || width < 1 || width > 511;
  if (progress == 256 && !bad_ramp) {
    return by_alpha ? BlendModeLevel(0, src, level, x, y, src_rect)
                    : BlendWeighted(src, (255u - level) * 0x010101u, level * 0x010101u, x, y, src_rect);
  }
  const uint32_t early = bad_ramp ? 3 : (progress == 0 || progress == 512 || level == 0) ? 0 : kDraw;
  return RunPass(src, 32, 32, early, {{x, y, src_rect, false, false}}, [&](const BlitPass& pass) -> uint32_t {
    const uint8_t* mask = nullptr;
    int32_t mask_skip = 0;
    if (rule != nullptr) {
      if (!rule->HasPixels() || rule->GetBitsPerPixel() != 8 || rule->GetWidth() < source_rect_.right ||
          rule->GetHeight() < source_rect_.bottom) {
        return 4;
      }
      mask = rule->GetRowPointer(source_rect_.top) + source_rect_.left;
      mask_skip = rule->GetPitch() - pass.width;
    }
    const RuleLevelTable table = BuildRuleLevelTable(progress, width, level);
    const bool mmx = g_CpuHasMmx != 0;
    const auto kernel = by_alpha ? (mmx ? BlendMaskAlphaLevel32Mmx : BlendMaskAlphaLevel32)
                                 : (mmx ? BlendMaskLevel32Mmx : BlendMaskLevel32);
    kernel(reinterpret_cast<uint32_t*>(pass.dst), reinterpret_cast<const uint32_t*>(pass.src), mask, pass.dst_skip,
           pass.src_skip_or_pitch, mask_skip, pass.width, pass.height, table.data());
    return 0;
  });
}
