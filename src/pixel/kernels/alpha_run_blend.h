// The alpha blend (AlphaBlend32 and AlphaBlend32Mmx, one to one, forward) walked by the runs of
// the source's AlphaRunMap: a clear run leaves the destination's colour and clears its alpha
// bytes, an opaque run copies the source's colour with alpha 0, and only mixed runs go through
// the blend member. The pixels are exactly those of the member. Where the destination's own map
// is known, a clear source run leaves alone the parts where the destination's alpha is 0 already,
// without reading them.
#pragma once

#include <cstdint>

#include "pixel/kernels/alpha_run_map.h"

// Where the first pixel of a pass lies in a picture's map; a null map knows nothing.
struct AlphaRunsAt {
  const AlphaRunMap* map = nullptr;
  int32_t x = 0;
  int32_t y = 0;
};

// Arguments as the blend members take them (blend_kernels.h), then where the pass starts in the
// source's map (which must be given) and in the destination's.
void AlphaBlend32Runs(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                      int32_t height, const AlphaRunsAt& source, const AlphaRunsAt& destination);
void AlphaBlend32RunsMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                         int32_t height, const AlphaRunsAt& source, const AlphaRunsAt& destination);
