// The AVX2 forms of the vector ("Mmx") pixel kernels: the same walks with eight pixels per step,
// giving exactly the results of the SSE2 forms. Only the *_avx2.cpp files are compiled for AVX2;
// a vector member calls its AVX2 form when g_CpuHasAvx2 is set (pixel_kernel_choice.h), never
// otherwise. Arguments as the kernel families take them: destination, source, destination skip,
// source skip or signed source pitch, width, height, the StretchStep of a stretched walk (null
// one to one), then the family's own.
#pragma once

#include <cstdint>
#include <span>

#include "pixel/kernels/bilinear_kernels.h"
#include "pixel/kernels/blend_kernels.h"
#include "pixel/kernels/kernel_walk.h"
#include "pixel/kernels/parallelogram_vector_copy.h"
#include "pixel/kernels/stretch_step.h"

namespace avx2_kernels {

using kernel_walk::Walk;

// d = s, mirrored or stretched (the one-to-one copy stays with the SSE2 form).
template <Walk kWalk>
void Copy32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width, int32_t height,
            const StretchStep* step);
// The bits of from_source taken from s, the others kept from d; keyed, pixels equal to the key
// are left.
template <Walk kWalk>
void CopyMasked32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width,
                  int32_t height, const StretchStep* step, uint32_t from_source);
template <Walk kWalk>
void CopyMasked32Key(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width,
                     int32_t height, const StretchStep* step, uint32_t from_source, uint32_t key);

// Every pixel the value (Fill32Mmx, copy_kernels.h).
void Fill32(uint32_t* dst, int32_t skip, int32_t width, int32_t height, uint32_t value);

template <Walk kWalk>
void AlphaBlend32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width,
                  int32_t height, const StretchStep* step);
// The blocks of AlphaBlendBlocks32Mmx (blend_kernels.h).
void AlphaBlendBlocks32(uint32_t* dst, intptr_t dst_stride, const uint32_t* src, intptr_t src_stride, int32_t width,
                        int32_t height, std::span<const BlockPlace> blocks);
template <Walk kWalk>
void BlendWeighted32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width,
                     int32_t height, const StretchStep* step, uint32_t dst_weights, uint32_t src_weights);
template <Walk kWalk>
void BlendWeighted32Key(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width,
                        int32_t height, const StretchStep* step, uint32_t key, uint32_t dst_weights,
                        uint32_t src_weights);
template <Walk kWalk>
void BlendLevel32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width,
                  int32_t height, const StretchStep* step, uint8_t level);
template <Walk kWalk>
void BlendLevel32Key(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width,
                     int32_t height, const StretchStep* step, uint8_t level, uint32_t key);

// The mode blends: average, saturating add, saturating subtract.
enum class Mode { kAverage, kAdd, kSubtract };
template <Mode kMode, Walk kWalk>
void ModeBlend32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width,
                 int32_t height, const StretchStep* step);
template <Mode kMode, Walk kWalk>
void ModeBlend32Key(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width,
                    int32_t height, const StretchStep* step, uint32_t key);

// With a weight w per pixel: d + floor((s - d) * w / 256), min(255, d + (s * w >> 8)) or
// max(0, d - (s * w >> 8)) per colour channel, alpha kept. MixScaled32 weighs every pixel by
// w(level), MixAlphaLevel32 by w(P[level][sA]).
enum class Mix { kBlend, kAdd, kSub };
template <Mix kMix, Walk kWalk>
void MixScaled32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width,
                 int32_t height, const StretchStep* step, uint8_t level);
template <Mix kMix, Walk kWalk>
void MixAlphaLevel32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width,
                     int32_t height, const StretchStep* step, uint8_t level);

// The alpha-over rule with the coverage P[level][sA].
template <Walk kWalk>
void Over32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width, int32_t height,
            const StretchStep* step, uint8_t level);

// A source blended through an 8-bit mask beside it (its own skip): by w(level_row[m]), or with
// kAlphaToo by w(P[level_row[m]][sA]).
template <bool kAlphaToo>
void BlendSourceMasked32(uint32_t* dst, const uint32_t* src, const uint8_t* mask, int32_t dst_skip, int32_t src_skip,
                         int32_t mask_skip, int32_t width, int32_t height, const uint8_t* level_row);

// A colour painted through an 8-bit coverage mask (masked_colour_kernels.h) with w(level_row[m]),
// blended, added or subtracted as above: one colour for the whole call, one per row, or a plane
// of width x height colours. Skips as the rectangle members take them.
enum class MaskColours { kOne, kRows, kPlane };
template <Mix kMix, MaskColours kColours>
void MixColourMasked32(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width,
                       int32_t height, const uint32_t* colours, const uint8_t* level_row);
// The same colours drawn by the alpha-over rule with the coverage level_row[m].
template <MaskColours kColours>
void OverColourMasked32(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width,
                        int32_t height, const uint32_t* colours, const uint8_t* level_row);

// The clear and the opaque runs of the alpha run blend (alpha_run_blend.h) over whole steps of
// eight pixels; each gives the number of pixels it did, the caller does the rest.
int32_t ClearRun(uint32_t* d, int32_t count);
int32_t OpaqueRun(uint32_t* d, const uint32_t* s, int32_t count);

// Bilinear resampling (bilinear_kernels.h) of a 32-bit source, and of an 8-bit one through its
// palette.
void Bilinear32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width, int32_t height,
                const BilinearStep& step);
void Bilinear8To32(uint32_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_pitch, const uint32_t* palette,
                   int32_t width, int32_t height, const BilinearStep& step);

// The covered run of a mapped row (parallelogram_vector_copy.h) copied from its evenly spaced
// source rows, eight pixels a step, each step's pixels read by one gather.
void CopyMappedRun(const MappedRun& run, const EvenRows& rows);

}  // namespace avx2_kernels
