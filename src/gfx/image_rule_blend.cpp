// The rule transition blend: a level for every rule value, applied through the rule image.
#include "gfx/blit_pass.h"
#include "gfx/image.h"
#include "gfx/rule_level_table.h"
#include "pixel/alpha_level_kernels.h"
#include "pixel/pixel_kernel_choice.h"

uint32_t CImage::RuleBlend(CImage* src, CImage* rule, uint8_t level, uint32_t progress, uint32_t width, int32_t x,
                           int32_t y, const plat::Rect* src_rect) {
  if (!HasPixelsFrom(src)) return 1;
  if (!IsDepthPair(src, 32, 32)) return 2;
  if (progress > 512 || width < 1 || width > 511) return 3;
  if (progress == 0 || progress == 512 || level == 0) return 0;
  if (progress == 256) return BlendWeighted(src, (255u - level) * 0x010101u, level * 0x010101u, x, y, src_rect);
  BlitPass pass;
  if (!PlanBlit(*src, {{x, y, src_rect, false, false}, nullptr}, pass)) return 0;
  const uint8_t* mask = nullptr;
  int32_t mask_skip = 0;
  if (rule != nullptr) {
    if (rule->GetPixels() == nullptr || rule->GetBitsPerPixel() != 8 || rule->GetWidth() < source_rect_.right ||
        rule->GetHeight() < source_rect_.bottom) {
      return 4;
    }
    mask = rule->GetRowPointer(source_rect_.top) + source_rect_.left;
    mask_skip = rule->GetPitch() - pass.width;
  }
  const RuleLevelTable table = BuildRuleLevelTable(progress, width, level);
  (g_CpuHasMmx != 0 ? BlendMaskLevel32Mmx : BlendMaskLevel32)(
      reinterpret_cast<uint32_t*>(pass.dst), reinterpret_cast<const uint32_t*>(pass.src), mask, pass.dst_skip,
      pass.src_skip_or_pitch, mask_skip, pass.width, pass.height, table.data());
  MarkChanged(dest_rect_);
  return 0;
}
