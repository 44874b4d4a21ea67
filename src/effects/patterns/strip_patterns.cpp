#include "effects/patterns/strip_patterns.h"

#include <algorithm>
#include <vector>

#include "effects/patterns/pattern_lines.h"

void DrawMirrorPattern(const CPatternPainter& painter, bool rows) {
  if (!rows) {
    painter.DrawMirroredColumns({0, 0, painter.Width(), painter.Height()}, painter.X(), painter.Y());
    return;
  }
  const CPatternLines lines(painter, false);
  const int32_t count = lines.Count();
  for (int32_t i = 0; i < count; ++i) lines.BandAt(i, i + 1, count - 1 - i);
}

void DrawCombPattern(const CPatternPainter& painter, bool columns) {
  const CPatternLines lines(painter, columns);
  const int32_t length = lines.Length();
  const int32_t s = std::min((length * painter.Level()) >> 8, length);
  std::vector<CPatternLines::Span> teeth;
  for (int32_t i = 0; i < lines.Count(); i += 2) {
    teeth.push_back({i, 0, s});
    teeth.push_back({i + 1, std::max(0, length - s - 1), length});
  }
  lines.Lines(teeth);
}

void DrawDoubleCombPattern(const CPatternPainter& painter, bool columns) {
  const CPatternLines lines(painter, columns);
  const int32_t length = lines.Length();
  const int32_t level = painter.Level();
  const int32_t s1 = std::min((length * level) >> 7, length);
  std::vector<CPatternLines::Span> teeth;
  for (int32_t g = 0; g < lines.Count(); g += 4) {
    teeth.push_back({g, 0, s1});
    teeth.push_back({g + 2, std::max(0, length - s1 - 1), length});
  }
  if (level > 128) {
    const int32_t s2 = ((level - 128) * length) >> 7;
    for (int32_t g = 0; g < lines.Count(); g += 4) {
      teeth.push_back({g + 1, 0, s2});
      teeth.push_back({g + 3, std::max(0, length - s2 - 1), length});
    }
  }
  lines.Lines(teeth);
}

void DrawCurtainPattern(const CPatternPainter& painter, bool from_bottom) {
  const int32_t w = painter.Width();
  const int32_t h = painter.Height();
  const int32_t s = (h * painter.Level()) >> 8;
  const int32_t shifts[6] = {-(w / 9), w / 9, -(2 * w / 9), 2 * w / 9, -(w / 3), w / 3};
  if (from_bottom) {
    painter.DrawInPlace({0, h - s, w, h});
  } else {
    painter.DrawInPlace({0, 0, w, std::min(s, h)});
  }
  for (int32_t k = 0; k < 6; ++k) {
    const int32_t row = from_bottom ? h - s - 1 - k : s + k;
    painter.DrawPiece({0, row, w, row + 1}, painter.X() + shifts[k], painter.Y() + row);
  }
}

void DrawBlindsPattern(const CPatternPainter& painter, bool rows, int32_t bar, bool from_far_edge) {
  const CPatternLines lines(painter, !rows);
  const int32_t open = painter.Level() >> (bar == 8 ? 5 : 4);
  ForEachShownRun(
      lines.Count(), 1,
      [&](int32_t i) {
        const int32_t place = i & (bar - 1);
        return (from_far_edge ? bar - 1 - place : place) <= open;
      },
      [&](int32_t first, int32_t last) { lines.Band(first, last); });
}

void DrawSlantedBlindsPattern(const CPatternPainter& painter, int32_t period) {
  const int32_t w = painter.Width();
  const int32_t shift_modulus = period - 1;
  const int32_t k = painter.Level() >> (period == 8 ? 5 : 4);
  if (k == 0) return;
  std::vector<CImagePieceDrawer::ColumnRun> slats;
  for (int32_t r = 0; r < painter.Height(); ++r) {
    slats.clear();
    for (int32_t s = -(r % shift_modulus); s < w; s += period) {
      int32_t start = s;
      int32_t width = s + k > w ? w - s : k;
      if (start < 0) {
        width = std::max(0, width + start);
        start = 0;
      }
      if (width > 0) slats.push_back({start, start + width});
    }
    painter.DrawRunsInPlace(r, r + 1, slats);
  }
}

void DrawSplitPattern(const CPatternPainter& painter, bool rows) {
  const CPatternLines lines(painter, !rows);
  const int32_t count = lines.Count();
  const int32_t half = count >> 1;
  const int32_t d = (half * painter.Level()) >> 8;
  lines.BandAt(half - d, half, 0);
  lines.BandAt(half, half + d, count - d);
}

namespace {

int32_t DrawStripSweep(const PatternCall& call, bool columns, uint8_t direction, int32_t strip_size) {
  return RunPattern(call, EPatternTables::kNone, [columns, direction, strip_size](const CPatternPainter& painter) {
    if (strip_size < 1) return;
    const CPatternLines lines(painter, columns);
    const int32_t count = lines.Count();
    const int32_t strips = (count + strip_size + 1) / strip_size;
    const int32_t steps = ((strips + strip_size) * painter.Level()) >> 8;
    for (int32_t k = 0; k < strips && k < steps; ++k) {
      const int32_t open = std::min(strip_size, steps - k);
      int32_t first = direction != 0 ? k * strip_size : count - k * strip_size - open;
      int32_t last = first + open;
      first = std::max(first, 0);
      last = std::min(last, count);
      if (first < last) lines.Band(first, last);
    }
  });
}

int32_t DrawSmearSlide(const PatternCall& call, bool columns, uint8_t direction) {
  return RunPattern(call, EPatternTables::kNone, [columns, direction](const CPatternPainter& painter) {
    const CPatternLines lines(painter, columns);
    const int32_t count = lines.Count();
    const int32_t origin = lines.Origin();
    const int32_t r = (count * painter.Level()) >> 8;
    if (direction == 0) {
      if (r > 0) lines.Band(0, r);
      lines.Stretch(std::min(r, count - 1), origin + r, lines.DestinationEnd() - r - origin);
    } else {
      if (r > 0) lines.Band(count - r, count);
      lines.Stretch(std::max(count - r - 1, 0), 0, origin + count - r);
    }
  });
}

}  // namespace

int32_t DrawStripSweepColumns(CImageInterface* dst, CImageInterface* src, int32_t level, int32_t x, int32_t y,
                              uint8_t direction, int32_t mode, int32_t strip_size, CScreenManager* target) {
  return DrawStripSweep({dst, src, level, x, y, mode, target}, true, direction, strip_size);
}

int32_t DrawStripSweepRows(CImageInterface* dst, CImageInterface* src, int32_t level, int32_t x, int32_t y,
                           uint8_t direction, int32_t mode, int32_t strip_size, CScreenManager* target) {
  return DrawStripSweep({dst, src, level, x, y, mode, target}, false, direction, strip_size);
}

int32_t DrawSmearSlideColumns(CImageInterface* dst, CImageInterface* src, int32_t level, int32_t x, int32_t y,
                              uint8_t direction, int32_t mode, CScreenManager* target) {
  return DrawSmearSlide({dst, src, level, x, y, mode, target}, true, direction);
}

int32_t DrawSmearSlideRows(CImageInterface* dst, CImageInterface* src, int32_t level, int32_t x, int32_t y,
                           uint8_t direction, int32_t mode, CScreenManager* target) {
  return DrawSmearSlide({dst, src, level, x, y, mode, target}, false, direction);
}
