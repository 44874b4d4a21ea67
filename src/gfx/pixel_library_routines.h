// The routines of the engine's pixel-routine library, one file per family: the blends
// (pixel_library_blend.cpp) and the affine draw (pixel_library_transform.cpp).
#pragma once

#include "gfx/pixel_library.h"

PixelRoutineResult PixelLibBlendRoutine(CImage& dst, CImage& src, const PixelBlendArgs& args);
PixelRoutineResult PixelLibStretchBlendRoutine(CImage& dst, CImage& src, const PixelStretchArgs& args);
PixelRoutineResult PixelLibTransformRoutine(CImage& dst, CImage& src, const PixelTransformArgs& args);
