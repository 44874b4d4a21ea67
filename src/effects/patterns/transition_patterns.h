// The numbered transition patterns: each draws a source picture over a destination at a level
// from 0 (nothing of the source yet) to 256 (the whole source), so that a caller raising the
// level over time shows one picture replacing another. The numbers are the vocabulary of the
// scripts' transition commands and never change.
#pragma once

#include <array>
#include <cstdint>

class CImageInterface;
class CScreenManager;

inline constexpr int32_t kTransitionPatternCount = 87;

// How the pieces are drawn: software copy, software alpha blend, or blits between display
// surfaces. The dispatcher settles the last itself whenever the pictures are not both software.
enum ETransitionDrawMode : int32_t {
  kTransitionCopy = 0,
  kTransitionAlphaBlend = 1,
  kTransitionDirectDraw = 2,
};

// (destination, source, level, x, y, mode, extra target) -> status; (x, y) is where the
// source's top-left corner lies in the destination. With an extra target the pieces go to the
// device's back surface, clipped to its screen rectangle.
using TransitionPatternEntry = int32_t (*)(CImageInterface* dst, CImageInterface* src, int32_t level, int32_t x,
                                           int32_t y, int32_t mode, CScreenManager* target);

extern const std::array<TransitionPatternEntry, kTransitionPatternCount> g_TransitionPatterns;

// Checks the pictures, settles the mode and draws pattern `type`. 0 done (also when nothing was
// drawn); 1 a missing picture or surface, pictures of the wrong kinds, or no trigonometric
// tables for a pattern that turns; -1 a pattern number outside 0..86 (checked after the
// pictures) or the cross-fade asked of display surfaces below level 256; 3 and 4 a failed lock
// or unlock of the target surface (patterns 68 to 70); at level 256 and above the status of the
// whole-picture copy. The caller keeps both pictures and the device.
int32_t DrawTransitionPattern(int32_t type, CImageInterface* dst, CImageInterface* src, int32_t level, int32_t x,
                              int32_t y, int32_t mode, CScreenManager* target);
