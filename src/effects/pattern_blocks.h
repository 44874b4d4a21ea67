// Blocks of the source laid on a grid from its top-left corner, rows of blocks outer and the
// blocks of a row inner, each cut to the source where it passes the right or bottom edge; and the
// 32-bit products that the block patterns take their offsets from.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "effects/pattern_painter.h"

// Calls visit(bx, by, rect) for every block of width × height.
template <typename Visit>
void ForEachBlock(const CPatternPainter& painter, int32_t width, int32_t height, Visit&& visit) {
  const int32_t w = painter.Width();
  const int32_t h = painter.Height();
  for (int32_t by = 0; by < h; by += height) {
    for (int32_t bx = 0; bx < w; bx += width) {
      visit(bx, by, plat::Rect{bx, by, std::min(bx + width, w), std::min(by + height, h)});
    }
  }
}

// For every row of blocks of width × height, top to bottom: shown(bx, by) asked of its blocks
// left to right, and the runs of shown neighbours drawn in place together.
template <typename Shown>
void DrawShownBlockRuns(const CPatternPainter& painter, int32_t width, int32_t height, Shown&& shown) {
  std::vector<CImagePieceDrawer::ColumnRun> runs;
  for (int32_t by = 0; by < painter.Height(); by += height) {
    runs.clear();
    ForEachShownRun(
        painter.Width(), width, [&](int32_t bx) { return shown(bx, by); },
        [&](int32_t first, int32_t last) { runs.push_back({first, last}); });
    painter.DrawRunsInPlace(by, std::min(by + height, painter.Height()), runs);
  }
}

// A block drawn from its own place, moved by (dx, dy).
[[gnu::always_inline]] inline void DrawMovedBlock(const CPatternPainter& painter, const plat::Rect& block, int32_t dx, int32_t dy) {
  painter.DrawPiece(block, painter.X() + block.left + dx, painter.Y() + block.top + dy);
}

// a · b kept to its low 32 bits, as the offsets of the block patterns are computed.
inline int32_t Mul32(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

// The travel left to a flying block: (w + h) at level 0, 0 at 256.
inline int32_t FlightLeft(const CPatternPainter& painter) {
  const int32_t span = painter.Width() + painter.Height();
  return span - ((span * painter.Level()) >> 8);
}

// The angle of the turning patterns: almost a whole turn at level 1, none at 256.
inline int32_t TurnAngle(const CPatternPainter& painter) { return 2 * (256 - painter.Level()); }
