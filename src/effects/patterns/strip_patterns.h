// The patterns that reveal the source in straight bands: the mirrors (0, 1), the combs (16 to
// 19), the curtains (21, 22), the blinds (35 to 44), the staggered strip sweeps (71 to 78), the
// smear slides (79 to 82) and the splits (85, 86).
#pragma once

#include <cstdint>

#include "effects/patterns/pattern_painter.h"

// The whole source mirrored: left to right (column i at x + w - 1 - i) or top to bottom.
void DrawMirrorPattern(const CPatternPainter& painter, bool rows);
// Even rows grow from the left edge, odd rows from the right edge (columns: top and bottom).
void DrawCombPattern(const CPatternPainter& painter, bool columns);
// Lines 0 and 2 of every four at double speed, lines 1 and 3 in the second half.
void DrawDoubleCombPattern(const CPatternPainter& painter, bool columns);
// The top (bottom) part revealed, the six rows under its edge shown shifted to alternate sides.
void DrawCurtainPattern(const CPatternPainter& painter, bool from_bottom);
// Bars `bar` lines wide (8 or 16), each opening from its near or its far edge.
void DrawBlindsPattern(const CPatternPainter& painter, bool rows, int32_t bar, bool from_far_edge);
// Row segments of a period of 8 or 16, shifted by the row so that the bars slant.
void DrawSlantedBlindsPattern(const CPatternPainter& painter, int32_t period);
// The middle halves of the source come in from both side edges (rows: top and bottom edges).
void DrawSplitPattern(const CPatternPainter& painter, bool rows);

// Strips of `strip_size` columns (rows) opening one after another from the left (top) edge
// with direction 1, from the right (bottom) edge with 0.
int32_t DrawStripSweepColumns(CImageInterface* dst, CImageInterface* src, int32_t level, int32_t x, int32_t y,
                              uint8_t direction, int32_t mode, int32_t strip_size, CScreenManager* target);
int32_t DrawStripSweepRows(CImageInterface* dst, CImageInterface* src, int32_t level, int32_t x, int32_t y,
                           uint8_t direction, int32_t mode, int32_t strip_size, CScreenManager* target);
// The source slides in from the right (bottom) edge with direction 1, from the left (top) with
// 0, its edge column (row) stretched over the rest of the destination.
int32_t DrawSmearSlideColumns(CImageInterface* dst, CImageInterface* src, int32_t level, int32_t x, int32_t y,
                              uint8_t direction, int32_t mode, CScreenManager* target);
int32_t DrawSmearSlideRows(CImageInterface* dst, CImageInterface* src, int32_t level, int32_t x, int32_t y,
                           uint8_t direction, int32_t mode, CScreenManager* target);
