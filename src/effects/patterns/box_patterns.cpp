#include "effects/patterns/box_patterns.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

using Matrix = int32_t[4][4];
constexpr Matrix kDitherOrderA = {{0, 1, 2, 3}, {11, 12, 13, 4}, {10, 15, 14, 5}, {9, 8, 7, 6}};
constexpr Matrix kDitherOrderB = {{6, 7, 8, 9}, {5, 0, 1, 10}, {4, 3, 2, 11}, {15, 14, 13, 12}};

// trunc(scale · sqrt(value)) for a value that is never below 0 where it matters.
int32_t TruncatedRoot(int64_t value, int32_t scale) {
  return static_cast<int32_t>(scale * std::sqrt(static_cast<double>(std::max<int64_t>(value, 0))));
}

// A row piece centred on the source's middle column, the chord cut to the source.
void DrawCentredChord(const CPatternPainter& painter, int32_t row, int32_t chord) {
  const int32_t w = painter.Width();
  const int32_t left = std::max(0, (w >> 1) - (chord >> 1));
  painter.DrawRow(row, left, left + std::min(chord, w - left));
}

// Half discs from the top and bottom edges: the chords of the rows under the edge.
void DrawEdgeHalfDisc(const CPatternPainter& painter, bool bottom) {
  const int64_t w = painter.Width();
  const int64_t h = painter.Height();
  const int32_t diameter = TruncatedRoot((w * w) / 4 + h * h, 2);
  const int64_t t = (int64_t{diameter} * painter.Level()) >> 8;
  const int64_t r2 = (t * t) / 4;
  for (int32_t j = 0; j < (t >> 1); ++j) {
    const int32_t chord = TruncatedRoot(r2 - int64_t{j} * j, 2);
    const int32_t row = bottom ? static_cast<int32_t>(h) - j : j;
    DrawCentredChord(painter, row, chord);
  }
}

// Half discs from the left and right edges and the disc from the centre: rows about the middle
// row; a row above the source is drawn on row 0 with its own chord, one below it draws nothing.
void DrawMiddleRowsDisc(const CPatternPainter& painter, EDiscKind kind) {
  const int64_t w = painter.Width();
  const int64_t h = painter.Height();
  const int64_t t = kind == EDiscKind::kCentre
                        ? ((w + h) * painter.Level()) >> 8
                        : (int64_t{TruncatedRoot((h * h) / 4 + w * w, 2)} * painter.Level()) >> 8;
  const int64_t r2 = (t * t) / 4;
  const int32_t middle = static_cast<int32_t>(h >> 1);
  const int32_t half = static_cast<int32_t>(t >> 1);
  for (int32_t r = middle - half; r < middle + half; ++r) {
    if (r >= h) break;
    const int64_t from_middle = r - middle;
    const int32_t row = std::max(r, 0);
    if (kind == EDiscKind::kCentre) {
      DrawCentredChord(painter, row, TruncatedRoot(r2 - from_middle * from_middle, 2));
      continue;
    }
    const int32_t chord = std::min(TruncatedRoot(r2 - from_middle * from_middle, 1), static_cast<int32_t>(w));
    const int32_t left = kind == EDiscKind::kLeft ? 0 : static_cast<int32_t>(w) - chord;
    painter.DrawInPlace({left, row, left + chord, row + 1});
  }
}

}  // namespace

void DrawSquarePattern(const CPatternPainter& painter, ESquareAnchor anchor) {
  const int32_t w = painter.Width();
  const int32_t h = painter.Height();
  const int32_t s = static_cast<int32_t>((int64_t{std::max(w, h)} * painter.Level()) >> 8);
  int32_t left = 0;
  int32_t top = 0;
  switch (anchor) {
    case ESquareAnchor::kCentre:
      left = std::max(0, (w >> 1) - (s >> 1));
      top = std::max(0, (h >> 1) - (s >> 1));
      break;
    case ESquareAnchor::kTopLeft:
      break;
    case ESquareAnchor::kTopRight:
      left = std::max(0, w - s);
      break;
    case ESquareAnchor::kBottomLeft:
      top = std::max(0, h - s);
      break;
    case ESquareAnchor::kBottomRight:
      left = std::max(0, w - s);
      top = std::max(0, h - s);
      break;
  }
  painter.DrawInPlace({left, top, left + std::min(s, w - left), top + std::min(s, h - top)});
}

void DrawDiscPattern(const CPatternPainter& painter, EDiscKind kind) {
  if (kind == EDiscKind::kTop || kind == EDiscKind::kBottom) {
    DrawEdgeHalfDisc(painter, kind == EDiscKind::kBottom);
  } else {
    DrawMiddleRowsDisc(painter, kind);
  }
}

void DrawGridPattern(const CPatternPainter& painter, int32_t cell) {
  const int32_t w = painter.Width();
  const int32_t h = painter.Height();
  const int32_t k = painter.Level() >> (cell == 4 ? 6 : cell == 8 ? 5 : 4);
  if (k == 0) return;
  // Every row of cells shows the same runs, the squares' rows.
  std::vector<CImagePieceDrawer::ColumnRun> squares;
  for (int32_t cx = 0; cx < w; cx += cell) squares.push_back({cx, cx + std::min(k, w - cx)});
  for (int32_t cy = 0; cy < h; cy += cell) painter.DrawRunsInPlace(cy, cy + std::min(k, h - cy), squares);
}

void DrawDitherPattern(const CPatternPainter& painter, int32_t cell, bool order_b) {
  const Matrix& matrix = order_b ? kDitherOrderB : kDitherOrderA;
  const int32_t w = painter.Width();
  const int32_t h = painter.Height();
  const int32_t k = painter.Level() >> 4;
  // Walked by cell index, so that finding a cell's place in the matrix takes no division.
  const int32_t cells = w / cell + (w % cell != 0 ? 1 : 0);
  // Every row of cells shows the runs of its row of the matrix: found once for each of the four.
  std::array<std::vector<CImagePieceDrawer::ColumnRun>, 4> runs_of_matrix_row;
  for (size_t i = 0; i < runs_of_matrix_row.size(); ++i) {
    const auto& row = matrix[i];
    const uint32_t shown_phases =
        (row[0] <= k ? 1u : 0u) | (row[1] <= k ? 2u : 0u) | (row[2] <= k ? 4u : 0u) | (row[3] <= k ? 8u : 0u);
    ForEachPeriodicRun(cells, shown_phases, [&](int32_t first, int32_t last) {
      const auto right = static_cast<int32_t>(std::min<int64_t>(int64_t{last} * cell, w));
      runs_of_matrix_row[i].push_back({first * cell, right});
    });
  }
  for (int32_t cy = 0; cy < h; cy += cell) {
    const int32_t bottom = cy + std::min(cell, h - cy);
    painter.DrawRunsInPlace(cy, bottom, runs_of_matrix_row[static_cast<size_t>((cy / cell) & 3)]);
  }
}

void DrawPinwheelPattern(const CPatternPainter& painter, bool counter_clockwise) {
  const int32_t w = painter.Width();
  const int32_t h = painter.Height();
  const int32_t cx = w >> 1;
  const int32_t cy = h >> 1;
  const int64_t radius = (int64_t{std::max(cx, cy) + 1} * 65536) / PatternCos(448);
  const int32_t theta = painter.Level() >> 1;
  const int32_t a = static_cast<int32_t>((PatternSin(theta) * radius) >> 16);
  const int32_t b = static_cast<int32_t>((PatternCos(theta) * radius) >> 16);
  for (int32_t k = 0; k < a; ++k) {
    const int32_t f = static_cast<int32_t>((int64_t{k} * b) / a);
    if (!counter_clockwise) {
      painter.DrawRow(cy + k, cx + f, cx + b);
      painter.DrawRow(cy - k, cx - b, cx - f);
      painter.DrawColumn(cx - k, cy + f, cy + b);
      painter.DrawColumn(cx + k, cy - b, cy - f);
    } else {
      painter.DrawRow(cy - k, cx + f, cx + b);
      painter.DrawRow(cy + k, cx - b, cx - f);
      painter.DrawColumn(cx - k, cy - b, cy - f);
      painter.DrawColumn(cx + k, cy + f, cy + b);
    }
  }
  if (a <= b) return;
  if (!counter_clockwise) {
    painter.DrawInPlace({cx + b, cy, w, h});
    painter.DrawInPlace({0, 0, cx - b, cy + 1});
    painter.DrawInPlace({0, cy + b, cx + 1, h});
    painter.DrawInPlace({cx, 0, w, cy - b});
  } else {
    painter.DrawInPlace({cx + b, 0, w, cy + 1});
    painter.DrawInPlace({0, cy, cx - b, h});
    painter.DrawInPlace({0, 0, cx + 1, cy - b});
    painter.DrawInPlace({cx, cy + b, w, h});
  }
}
