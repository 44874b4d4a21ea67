// The routines of the engine's pixel-routine library, one file per family: the blends
// (pixel_library_blend.cpp), the affine draws (pixel_library_transform.cpp,
// pixel_library_affine.cpp), the two- and three-source blends (pixel_library_multi_blend.cpp), the
// frames in plain memory (pixel_library_frame.cpp), the mirrors (pixel_library_mirror.cpp), the
// fills and colour routines (pixel_library_fill.cpp), softening (pixel_library_soften.cpp) and the
// whole-image routines (pixel_library_value_ops.cpp).
#pragma once

#include "gfx/images/pixel_library.h"

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
PixelRoutineResult PixelLibFill32Routine(CImage& image, uint32_t colour, const plat::Rect* rect);
PixelRoutineResult PixelLibFill8Routine(CImage& image, uint8_t index, const plat::Rect* rect);
PixelRoutineResult PixelLibFillValueRoutine(CImage& image, uint8_t value, const plat::Rect* rect);
PixelRoutineResult PixelLibBlendColourRoutine(CImage& image, const PixelColourArgs& args);
PixelRoutineResult PixelLibSoftenRoutine(CImage& image, const PixelSoftenArgs& args);
PixelRoutineResult PixelLibInvertColourRoutine(CImage& image);
PixelRoutineResult PixelLibInvertAlphaRoutine(CImage& image);
PixelRoutineResult PixelLibBrightnessRoutine(CImage& image, uint32_t level);
PixelRoutineResult PixelLibAlphaLevelRoutine(CImage& image, uint32_t level);
