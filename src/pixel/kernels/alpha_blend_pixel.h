// The blend by the source alpha for one pixel, by the rule of either member of the blend
// kernels (blend_kernels.h): source weight wA = A (256 for A = 255), destination weight 255 - A
// (256 for A = 0) in the portable member, 256 - wA in the vector one. Red and blue share one
// product and green has its own: no channel's product reaches the next channel's bits, and the
// two weights never add up to more than 256, so no channel sum passes 255. The alpha byte
// becomes 0.
#pragma once

#include <cstdint>

namespace alpha_blend_pixel {

enum class Rule { kPortable, kVector };

template <Rule kRule>
uint32_t Blend(uint32_t d, uint32_t s) {
  const uint32_t alpha = s >> 24;
  const uint32_t source_weight = alpha == 255 ? 256 : alpha;
  uint32_t destination_weight = 256 - source_weight;
  if constexpr (kRule == Rule::kPortable) destination_weight = alpha == 0 ? 256 : 255 - alpha;
  const uint32_t red_blue = (((s & 0x00FF00FF) * source_weight >> 8) & 0x00FF00FF) +
                            (((d & 0x00FF00FF) * destination_weight >> 8) & 0x00FF00FF);
  const uint32_t green = (((s & 0x0000FF00) * source_weight >> 8) & 0x0000FF00) +
                         (((d & 0x0000FF00) * destination_weight >> 8) & 0x0000FF00);
  return red_blue | green;
}

}  // namespace alpha_blend_pixel
