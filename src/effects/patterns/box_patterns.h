// The patterns that reveal the source through a growing shape: squares from the centre or a
// corner (11 to 15), half discs and a disc (27 to 31), grids of growing squares (32 to 34),
// ordered dithers (45 to 52) and the pinwheel (83, 84).
#pragma once

#include <cstdint>

#include "effects/patterns/pattern_painter.h"

// Where the square of patterns 11 to 15 grows from.
enum class ESquareAnchor : uint8_t { kCentre, kTopLeft, kTopRight, kBottomLeft, kBottomRight };
void DrawSquarePattern(const CPatternPainter& painter, ESquareAnchor anchor);

// Half discs from the middle of an edge (27 top, 28 bottom, 29 left, 30 right) and the disc from
// the centre (31), one row piece per row.
enum class EDiscKind : uint8_t { kTop, kBottom, kLeft, kRight, kCentre };
void DrawDiscPattern(const CPatternPainter& painter, EDiscKind kind);

// Cells of `cell` pixels (4, 8, 16), in each a square growing from its top-left corner.
void DrawGridPattern(const CPatternPainter& painter, int32_t cell);

// Cells of `cell` pixels (1, 2, 4, 8) shown in the order of a 4 × 4 matrix: order A spirals in
// from the corner of every tile, order B runs out from its middle.
void DrawDitherPattern(const CPatternPainter& painter, int32_t cell, bool order_b);

// Four wedges about the centre opening from the half axes, clockwise on the screen (83) or
// counter-clockwise (84).
void DrawPinwheelPattern(const CPatternPainter& painter, bool counter_clockwise);
