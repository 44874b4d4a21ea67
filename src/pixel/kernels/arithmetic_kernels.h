// The mode blends of the compositing operations: average (mode 0), saturating add (mode 1) and
// saturating subtract (mode 2), each portable and vector ("Mmx"), unkeyed and keyed, one to one
// and stretched. Arguments as for the blend kernels (blend_kernels.h): destination, source,
// destination skip, source skip or signed source pitch, width, height, then the StretchStep of a
// stretched member, then the key of a keyed member. A zero width or height does nothing.
#pragma once

#include <cstdint>

#include "pixel/kernels/stretch_step.h"

// floor((s + d) / 2) per byte; the alpha byte is the AND of both alpha bytes. Both members
// give the same result.
void Average32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
               int32_t width, int32_t height);
void Average32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                      int32_t width, int32_t height, const StretchStep& step);
void Average32Key(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                  int32_t width, int32_t height, uint32_t key);
void Average32StretchKey(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                         int32_t width, int32_t height, const StretchStep& step, uint32_t key);
void Average32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                  int32_t width, int32_t height);
void Average32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                         int32_t width, int32_t height, const StretchStep& step);
void Average32KeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                     int32_t width, int32_t height, uint32_t key);
void Average32StretchKeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                            int32_t width, int32_t height, const StretchStep& step, uint32_t key);

// min(255, s + d) for each colour byte. Alpha byte: portable (s + d) mod 256, Mmx
// min(255, s + d).
void AddSat32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
              int32_t height);
void AddSat32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                     int32_t width, int32_t height, const StretchStep& step);
void AddSat32Key(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                 int32_t width, int32_t height, uint32_t key);
void AddSat32StretchKey(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                        int32_t width, int32_t height, const StretchStep& step, uint32_t key);
void AddSat32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                 int32_t width, int32_t height);
void AddSat32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                        int32_t width, int32_t height, const StretchStep& step);
void AddSat32KeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                    int32_t width, int32_t height, uint32_t key);
void AddSat32StretchKeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                           int32_t width, int32_t height, const StretchStep& step, uint32_t key);

// max(0, d - s) for each colour byte (destination minus source). Alpha byte: portable
// (d - s) mod 256, Mmx max(0, d - s).
void SubSat32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
              int32_t height);
void SubSat32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                     int32_t width, int32_t height, const StretchStep& step);
void SubSat32Key(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                 int32_t width, int32_t height, uint32_t key);
void SubSat32StretchKey(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                        int32_t width, int32_t height, const StretchStep& step, uint32_t key);
void SubSat32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                 int32_t width, int32_t height);
void SubSat32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                        int32_t width, int32_t height, const StretchStep& step);
void SubSat32KeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                    int32_t width, int32_t height, uint32_t key);
void SubSat32StretchKeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                           int32_t width, int32_t height, const StretchStep& step, uint32_t key);
