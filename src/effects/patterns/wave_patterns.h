// The patterns that show the whole source distorted by an amount that falls to nothing as the
// level rises, or hand it to an image operation: the stretch bulges (2, 3), the waves (23 to
// 26), the cross-fade (53), the zoom scatter (59), the block rotations (60 to 62), the mosaics
// (68, 69) and the negative (70).
#pragma once

#include <cstdint>

#include "effects/patterns/pattern_painter.h"

// Rows stretched sideways about the centre line (columns: up and down about the middle row).
void DrawBulgePattern(const CPatternPainter& painter, bool columns);

// Rows shifted sideways by a cosine of the row: 23 and 24 over 512 rows, 25 and 26 over 64, the
// second of each half a period later.
enum class EWave : uint8_t { kLong, kLongLate, kShort, kShortLate };
void DrawWavePattern(const CPatternPainter& painter, EWave wave);

// The whole source blended over the destination at the level; -1 for display surfaces.
int32_t DrawCrossFadePattern(const CPatternPainter& painter);

// 4 × 2 blocks pushed away from the centre in proportion to their distance.
void DrawZoomScatterPattern(const CPatternPainter& painter);

// Blocks of `block` pixels (2, 4, 8) whose places are turned about the centre.
void DrawRotationPattern(const CPatternPainter& painter, int32_t block);

// The whole source, then the area it covers made a mosaic (grid centred or anchored at the
// top-left) or its colours inverted. 3 and 4 for a target surface that cannot be locked or
// unlocked; otherwise the status of the image operation.
enum class EImageOperation : uint8_t { kMosaicCentred, kMosaicTopLeft, kNegative };
int32_t DrawImageOperationPattern(const CPatternPainter& painter, EImageOperation operation);
