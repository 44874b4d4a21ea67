// The patterns that break the source into small blocks placed by chance or along computed
// paths: the row jitter (4), the shimmer (5), the random dissolves (6 to 10, 20), blocks flying
// in (54 to 58, 63), shutters with random delays (64, 65) and blocks that jitter or fall into
// place (66, 67). The dissolves draw fresh numbers at every call; the others read the pattern
// random table and look the same at a given level in every call.
#pragma once

#include <cstdint>

#include "effects/patterns/pattern_painter.h"

void DrawRowJitterPattern(const CPatternPainter& painter);
void DrawShimmerPattern(const CPatternPainter& painter);

// 4 × 2 blocks, shown when a random byte is at most the sweep's threshold.
enum class EDissolveSweep : uint8_t { kNone, kFromTop, kFromBottom, kFromLeft, kFromRight };
void DrawDissolvePattern(const CPatternPainter& painter, EDissolveSweep sweep);
// 2 × 2 blocks spreading from the centre as a disc.
void DrawDiscDissolvePattern(const CPatternPainter& painter);

// Fly-ins: 54 from below right, 55 and 56 (2 × 2 blocks) along the rays from the centre, 57 on a
// swirl, 58 steered by the level's angle, 63 turned about the centre. 2 when the table cannot be
// had.
enum class EFlyIn : uint8_t { kBelowRight, kRadial, kRadialSmall, kSwirl, kSteered, kTurning };
int32_t DrawFlyInPattern(const CPatternPainter& painter, EFlyIn kind);

// Cells of `cell` pixels (8, 16) filling from their bottom edges after delays of their own.
int32_t DrawShutterPattern(const CPatternPainter& painter, int32_t cell);
// 4 × 4 blocks scattered by table offsets that shrink as the level rises (jitter), or falling
// into place from below.
int32_t DrawJitterPattern(const CPatternPainter& painter, bool fall_in);
