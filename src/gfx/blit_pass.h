// A clipped compositing pass laid out for its kernel: the first destination pixel, the first
// source pixel (just past the right end of the first row read when mirrored; the bottom row when
// flipped), the skips or the signed source pitch, the size and, stretched, the step record.
#pragma once

#include <cstdint>

#include "pixel/stretch_step.h"

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
    auto* first_dst = reinterpret_cast<D*>(dst);
    const auto* first_src = reinterpret_cast<const S*>(src);
    if (stretched) {
      stretched_kernel(first_dst, first_src, dst_skip, src_skip_or_pitch, width, height, step);
    } else {
      one_to_one(first_dst, first_src, dst_skip, src_skip_or_pitch, width, height);
    }
  }
};
