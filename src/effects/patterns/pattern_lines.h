// A source seen as lines: rows (each as long as the source is wide) or columns (each as long as
// it is high), so that the patterns that work the same way across and down are written once.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "effects/patterns/pattern_painter.h"

class CPatternLines {
 public:
  CPatternLines(const CPatternPainter& painter, bool columns) : painter_(painter), columns_(columns) {}

  // How many lines there are, and how long each is.
  int32_t Count() const { return columns_ ? painter_.Width() : painter_.Height(); }
  int32_t Length() const { return columns_ ? painter_.Height() : painter_.Width(); }
  // The destination coordinate of line 0: x for columns, y for rows.
  int32_t Origin() const { return columns_ ? painter_.X() : painter_.Y(); }
  // The destination extent the lines run towards: the right or the bottom edge.
  int32_t DestinationEnd() const { return columns_ ? painter_.DestinationRight() : painter_.DestinationBottom(); }

  // Line i from a to b, at its own place.
  void Line(int32_t i, int32_t a, int32_t b) const {
    columns_ ? painter_.DrawColumn(i, a, b) : painter_.DrawRow(i, a, b);
  }
  // Lines given as Line takes them, in order: columns are handed to the painter together, which
  // copies them down many at a time.
  struct Span {
    int32_t i;
    int32_t a;
    int32_t b;
  };
  void Lines(std::span<const Span> spans) const {
    if (!columns_) {
      for (const Span& span : spans) painter_.DrawRow(span.i, span.a, span.b);
      return;
    }
    std::vector<CImagePieceDrawer::PlacedPiece> pieces;
    pieces.reserve(spans.size());
    for (const Span& span : spans) {
      pieces.push_back({{span.i, span.a, span.i + 1, span.b}, painter_.X() + span.i, painter_.Y() + span.a});
    }
    painter_.DrawColumns(pieces);
  }
  // Lines first to last - 1 whole, the first at line place `at`.
  void BandAt(int32_t first, int32_t last, int32_t at) const {
    if (columns_) {
      painter_.DrawPiece({first, 0, last, painter_.Height()}, painter_.X() + at, painter_.Y());
    } else {
      painter_.DrawPiece({0, first, painter_.Width(), last}, painter_.X(), painter_.Y() + at);
    }
  }
  void Band(int32_t first, int32_t last) const { BandAt(first, last, first); }
  // Line i whole, stretched across `extent` lines from destination coordinate `start`.
  void Stretch(int32_t i, int32_t start, int32_t extent) const {
    if (columns_) {
      painter_.DrawStretched({i, 0, i + 1, painter_.Height()}, extent, painter_.Height(), start, painter_.Y());
    } else {
      painter_.DrawStretched({0, i, painter_.Width(), i + 1}, painter_.Width(), extent, painter_.X(), start);
    }
  }

 private:
  const CPatternPainter& painter_;
  bool columns_;
};
