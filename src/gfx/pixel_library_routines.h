// The routines of the engine's pixel-routine library, one file per family: the blends
// (pixel_library_blend.cpp), the affine draws (pixel_library_transform.cpp,
// pixel_library_affine.cpp), the two- and three-source blends (pixel_library_multi_blend.cpp), the
// frames in plain memory (pixel_library_frame.cpp) and the mirrors (pixel_library_mirror.cpp).
#pragma once

#include "gfx/pixel_library.h"

PixelRoutineResult PixelLibBlendRoutine(CImage& dst, CImage& src, const PixelBlendArgs& args);
PixelRoutineResult PixelLibStretchBlendRoutine(CImage& dst, CImage& src, const PixelStretchArgs& args);
PixelRoutineResult PixelLibTransformRoutine(CImage& dst, CImage& src, const PixelTransformArgs& args);
// The transform's drawing, for the routines that run it among their own steps.
uint32_t DrawTransform(CImage& dst, CImage& src, const PixelTransformArgs& args);
PixelRoutineResult PixelLibAffineRoutine(CImage& dst, CImage& src, const PixelAffineArgs& args);
PixelRoutineResult PixelLibCrossFadeRoutine(CImage& dst, CImage& a, CImage& b, const PixelCrossFadeArgs& args);
PixelRoutineResult PixelLibRuleTransitionRoutine(CImage& dst, CImage& a, CImage& b, CImage& rule,
                                                 const PixelRuleTransitionArgs& args);
bool PixelLibRowBlendRoutine(uint32_t* dst, const uint32_t* a, const uint32_t* b, int32_t count, uint8_t level);
PixelRoutineResult PixelLibFrameBlendRoutine(CImage& dst, const PixelFrame& frame, const PixelBlendArgs& args);
PixelRoutineResult PixelLibFrameStretchBlendRoutine(CImage& dst, const PixelFrame& frame, const PixelStretchArgs& args);
PixelRoutineResult PixelLibMirrorHorizontalRoutine(CImage& image, const plat::Rect* rect);
PixelRoutineResult PixelLibMirrorVerticalRoutine(CImage& image, const plat::Rect* rect);
