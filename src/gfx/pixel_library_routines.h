// The routines of the engine's pixel-routine library, one file per family: the blends
// (pixel_library_blend.cpp), the affine draw (pixel_library_transform.cpp) and the mirrors
// (pixel_library_mirror.cpp).
#pragma once

#include "gfx/pixel_library.h"

PixelRoutineResult PixelLibBlendRoutine(CImage& dst, CImage& src, const PixelBlendArgs& args);
PixelRoutineResult PixelLibStretchBlendRoutine(CImage& dst, CImage& src, const PixelStretchArgs& args);
PixelRoutineResult PixelLibTransformRoutine(CImage& dst, CImage& src, const PixelTransformArgs& args);
PixelRoutineResult PixelLibMirrorHorizontalRoutine(CImage& image, const plat::Rect* rect);
PixelRoutineResult PixelLibMirrorVerticalRoutine(CImage& image, const plat::Rect* rect);
