// A clipped compositing pass laid out for its kernel: the first destination pixel, the first
// source pixel (just past the right end of the first row read when mirrored; the bottom row when
// flipped), the skips or the signed source pitch, the size and, stretched, the step record.
#pragma once

#include <cstdint>
#include <optional>
#include <type_traits>

#include "gfx/images/image.h"
#include "pixel/kernels/stretch_step.h"

struct BlitPass {
  uint8_t* dst = nullptr;
  const uint8_t* src = nullptr;
  int32_t dst_skip = 0;
  int32_t src_skip_or_pitch = 0;
  int32_t width = 0;
  int32_t height = 0;
  StretchStep step;
  bool stretched = false;
  bool mirrored = false;

  // Calls the one-to-one or the stretched kernel with the pass's arguments.
  template <typename D, typename S, typename OneToOne, typename Stretched>
  void Run(OneToOne one_to_one, Stretched stretched_kernel) const {
    if (stretched) {
      stretched_kernel(reinterpret_cast<D*>(dst), reinterpret_cast<const S*>(src), dst_skip, src_skip_or_pitch, width,
                       height, step);
    } else {
      Run<D, S>(one_to_one);
    }
  }
  // The same for an operation that has no stretched form.
  template <typename D, typename S, typename OneToOne>
  void Run(OneToOne one_to_one) const {
    one_to_one(reinterpret_cast<D*>(dst), reinterpret_cast<const S*>(src), dst_skip, src_skip_or_pitch, width, height);
  }
};

template <typename Draw>
uint32_t CImage::RunPass(CImage* src, uint8_t dst_bpp, uint8_t src_bpp, uint32_t early, const BlitRequest& request,
                         Draw&& draw) {
  if (!HasPixelsFrom(src)) return 1;
  if (!IsDepthPair(src, dst_bpp, src_bpp)) return 2;
  if (const std::optional<uint32_t> status = LibraryPass(*src, request)) return *status;
  if (early != kDraw) return early;
  BlitPass pass;
  if (!PlanBlit(*src, request, pass)) return 0;
  if constexpr (std::is_void_v<std::invoke_result_t<Draw&, const BlitPass&>>) {
    draw(pass);
  } else {
    const uint32_t status = draw(pass);
    if (status != 0) return status;
  }
  MarkChanged(dest_rect_);
  return 0;
}
