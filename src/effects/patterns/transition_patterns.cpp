#include "effects/patterns/transition_patterns.h"

#include "effects/patterns/box_patterns.h"
#include "effects/patterns/pattern_painter.h"
#include "effects/patterns/random_patterns.h"
#include "effects/patterns/strip_patterns.h"
#include "effects/patterns/wave_patterns.h"
#include "gfx/images/image.h"

namespace {

constexpr EPatternTables kTrig = EPatternTables::kTrig;
constexpr EPatternTables kNone = EPatternTables::kNone;

// The thin entries over the shared strip-sweep and smear-slide renderers: a direction and, for
// the sweeps, a strip size.
template <auto Renderer, uint8_t Direction, int32_t... StripSize>
int32_t RendererEntry(CImageInterface* dst, CImageInterface* src, int32_t level, int32_t x, int32_t y, int32_t mode,
                      CScreenManager* target) {
  return Renderer(dst, src, level, x, y, Direction, mode, StripSize..., target);
}

bool IsSoftwareImage(CImageInterface* image) {
  return image->GetKind() == ESurfaceKind::kImage && dynamic_cast<CImage*>(image) != nullptr;
}

bool IsDisplaySource(CImageInterface* image) {
  return image->GetKind() == ESurfaceKind::kDDrawPicture || image->GetKind() == ESurfaceKind::kDDrawSprite;
}

}  // namespace

constexpr std::array<TransitionPatternEntry, kTransitionPatternCount> g_TransitionPatterns = {
    PatternEntry<DrawMirrorPattern, kNone, false>,  // 0
    PatternEntry<DrawMirrorPattern, kNone, true>,
    PatternEntry<DrawBulgePattern, kTrig, false>,
    PatternEntry<DrawBulgePattern, kTrig, true>,
    PatternEntry<DrawRowJitterPattern>,
    PatternEntry<DrawShimmerPattern>,  // 5
    PatternEntry<DrawDissolvePattern, kNone, EDissolveSweep::kNone>,
    PatternEntry<DrawDissolvePattern, kNone, EDissolveSweep::kFromTop>,
    PatternEntry<DrawDissolvePattern, kNone, EDissolveSweep::kFromBottom>,
    PatternEntry<DrawDissolvePattern, kNone, EDissolveSweep::kFromLeft>,
    PatternEntry<DrawDissolvePattern, kNone, EDissolveSweep::kFromRight>,  // 10
    PatternEntry<DrawSquarePattern, kNone, ESquareAnchor::kCentre>,
    PatternEntry<DrawSquarePattern, kNone, ESquareAnchor::kTopLeft>,
    PatternEntry<DrawSquarePattern, kNone, ESquareAnchor::kTopRight>,
    PatternEntry<DrawSquarePattern, kNone, ESquareAnchor::kBottomLeft>,
    PatternEntry<DrawSquarePattern, kNone, ESquareAnchor::kBottomRight>,  // 15
    PatternEntry<DrawCombPattern, kNone, false>,
    PatternEntry<DrawCombPattern, kNone, true>,
    PatternEntry<DrawDoubleCombPattern, kNone, false>,
    PatternEntry<DrawDoubleCombPattern, kNone, true>,
    PatternEntry<DrawDiscDissolvePattern>,  // 20
    PatternEntry<DrawCurtainPattern, kNone, false>,
    PatternEntry<DrawCurtainPattern, kNone, true>,
    PatternEntry<DrawWavePattern, kTrig, EWave::kLong>,
    PatternEntry<DrawWavePattern, kTrig, EWave::kLongLate>,
    PatternEntry<DrawWavePattern, kTrig, EWave::kShort>,  // 25
    PatternEntry<DrawWavePattern, kTrig, EWave::kShortLate>,
    PatternEntry<DrawDiscPattern, kNone, EDiscKind::kTop>,
    PatternEntry<DrawDiscPattern, kNone, EDiscKind::kBottom>,
    PatternEntry<DrawDiscPattern, kNone, EDiscKind::kLeft>,
    PatternEntry<DrawDiscPattern, kNone, EDiscKind::kRight>,  // 30
    PatternEntry<DrawDiscPattern, kNone, EDiscKind::kCentre>,
    PatternEntry<DrawGridPattern, kNone, 4>,
    PatternEntry<DrawGridPattern, kNone, 8>,
    PatternEntry<DrawGridPattern, kNone, 16>,
    PatternEntry<DrawBlindsPattern, kNone, false, 8, false>,  // 35
    PatternEntry<DrawBlindsPattern, kNone, false, 8, true>,
    PatternEntry<DrawBlindsPattern, kNone, false, 16, false>,
    PatternEntry<DrawBlindsPattern, kNone, false, 16, true>,
    PatternEntry<DrawBlindsPattern, kNone, true, 8, false>,
    PatternEntry<DrawBlindsPattern, kNone, true, 8, true>,  // 40
    PatternEntry<DrawBlindsPattern, kNone, true, 16, false>,
    PatternEntry<DrawBlindsPattern, kNone, true, 16, true>,
    PatternEntry<DrawSlantedBlindsPattern, kNone, 8>,
    PatternEntry<DrawSlantedBlindsPattern, kNone, 16>,
    PatternEntry<DrawDitherPattern, kNone, 1, false>,  // 45
    PatternEntry<DrawDitherPattern, kNone, 1, true>,
    PatternEntry<DrawDitherPattern, kNone, 2, false>,
    PatternEntry<DrawDitherPattern, kNone, 2, true>,
    PatternEntry<DrawDitherPattern, kNone, 4, false>,
    PatternEntry<DrawDitherPattern, kNone, 4, true>,  // 50
    PatternEntry<DrawDitherPattern, kNone, 8, false>,
    PatternEntry<DrawDitherPattern, kNone, 8, true>,
    PatternEntry<DrawCrossFadePattern>,
    PatternEntry<DrawFlyInPattern, kNone, EFlyIn::kBelowRight>,
    PatternEntry<DrawFlyInPattern, kNone, EFlyIn::kRadial>,  // 55
    PatternEntry<DrawFlyInPattern, kNone, EFlyIn::kRadialSmall>,
    PatternEntry<DrawFlyInPattern, kTrig, EFlyIn::kSwirl>,
    PatternEntry<DrawFlyInPattern, kTrig, EFlyIn::kSteered>,
    PatternEntry<DrawZoomScatterPattern, kTrig>,
    PatternEntry<DrawRotationPattern, kTrig, 2>,  // 60
    PatternEntry<DrawRotationPattern, kTrig, 4>,
    PatternEntry<DrawRotationPattern, kTrig, 8>,
    PatternEntry<DrawFlyInPattern, kTrig, EFlyIn::kTurning>,
    PatternEntry<DrawShutterPattern, kNone, 8>,
    PatternEntry<DrawShutterPattern, kNone, 16>,  // 65
    PatternEntry<DrawJitterPattern, kNone, false>,
    PatternEntry<DrawJitterPattern, kNone, true>,
    PatternEntry<DrawImageOperationPattern, kNone, EImageOperation::kMosaicCentred>,
    PatternEntry<DrawImageOperationPattern, kNone, EImageOperation::kMosaicTopLeft>,
    PatternEntry<DrawImageOperationPattern, kNone, EImageOperation::kNegative>,  // 70
    RendererEntry<DrawStripSweepColumns, 1, 16>,
    RendererEntry<DrawStripSweepColumns, 0, 16>,
    RendererEntry<DrawStripSweepColumns, 1, 8>,
    RendererEntry<DrawStripSweepColumns, 0, 8>,
    RendererEntry<DrawStripSweepRows, 1, 16>,  // 75
    RendererEntry<DrawStripSweepRows, 0, 16>,
    RendererEntry<DrawStripSweepRows, 1, 8>,
    RendererEntry<DrawStripSweepRows, 0, 8>,
    RendererEntry<DrawSmearSlideColumns, 1>,
    RendererEntry<DrawSmearSlideColumns, 0>,  // 80
    RendererEntry<DrawSmearSlideRows, 1>,
    RendererEntry<DrawSmearSlideRows, 0>,
    PatternEntry<DrawPinwheelPattern, kTrig, false>,
    PatternEntry<DrawPinwheelPattern, kTrig, true>,
    PatternEntry<DrawSplitPattern, kNone, false>,  // 85
    PatternEntry<DrawSplitPattern, kNone, true>,
};

int32_t DrawTransitionPattern(int32_t type, CImageInterface* dst, CImageInterface* src, int32_t level, int32_t x,
                              int32_t y, int32_t mode, CScreenManager* target) {
  if (target != nullptr) {
    if (src == nullptr || !IsDisplaySource(src)) return 1;
    mode = kTransitionDirectDraw;
  } else {
    if (dst == nullptr || src == nullptr) return 1;
    if (!IsSoftwareImage(dst) || !IsSoftwareImage(src)) {
      if (dst->GetKind() != ESurfaceKind::kDDrawPicture || !IsDisplaySource(src)) return 1;
      mode = kTransitionDirectDraw;
    }
  }
  if (static_cast<uint32_t>(type) >= static_cast<uint32_t>(kTransitionPatternCount)) return -1;
  return g_TransitionPatterns[static_cast<size_t>(type)](dst, src, level, x, y, mode, target);
}
