#include "gfx/images/pixel_library.h"

#include "gfx/images/pixel_library_routines.h"
#include "gfx/images/pixel_routine_run.h"

CPixelLibrary* g_PixelLib = nullptr;

namespace {

// The routines run on the drawing thread only; nested runs count.
uint32_t g_RoutineDepth = 0;

}  // namespace

CPixelLibrary::CPixelLibrary()
    : routines_{PixelLibBlendRoutine,
                PixelLibStretchBlendRoutine,
                PixelLibTransformRoutine,
                PixelLibAffineRoutine,
                PixelLibCrossFadeRoutine,
                PixelLibRuleTransitionRoutine,
                PixelLibRowBlendRoutine,
                PixelLibFrameBlendRoutine,
                PixelLibFrameStretchBlendRoutine,
                PixelLibMirrorHorizontalRoutine,
                PixelLibMirrorVerticalRoutine,
                PixelLibFill32Routine,
                PixelLibFill8Routine,
                PixelLibFillValueRoutine,
                PixelLibBlendColourRoutine,
                PixelLibSoftenRoutine,
                PixelLibInvertColourRoutine,
                PixelLibInvertAlphaRoutine,
                PixelLibBrightnessRoutine,
                PixelLibAlphaLevelRoutine} {}

void SetPixelLib(CPixelLibrary* library) { g_PixelLib = library; }

CPixelLibrary* ActivePixelLib() { return g_RoutineDepth == 0 ? g_PixelLib : nullptr; }

CPixelRoutineRun::CPixelRoutineRun(CImage& dst)
    : dst_(dst), region_(dst.GetDirtyRegion()), modified_(dst.IsModified()) {
  ++g_RoutineDepth;
  dst_.SetDirtyRegionInUse(&changes_);
}

CPixelRoutineRun::~CPixelRoutineRun() {
  dst_.SetDirtyRegionInUse(region_);
  if (!modified_) dst_.ClearModified();
  --g_RoutineDepth;
}

PixelRoutineResult CPixelRoutineRun::Result(uint32_t status) {
  PixelRoutineResult result;
  result.ok = status == 0;
  if (!result.ok || changes_.Count() == 0) return result;
  if (!changes_.BoundsValid()) changes_.RecomputeBounds();
  result.changed = changes_.BoundingBox();
  return result;
}
