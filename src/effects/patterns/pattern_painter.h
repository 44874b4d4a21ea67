// The frame that every transition pattern shares: the level's ends, the pictures and surfaces
// of the settled mode, and the drawing of one piece of the source, stretched or not, by the
// mode. A pattern only computes rectangles and hands them to the painter.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <type_traits>

#include "base/numbers/trig_tables.h"
#include "effects/patterns/transition_patterns.h"
#include "gfx/image_operations/image_piece_drawer.h"
#include "platform/system/geometry.h"

class CImage;
namespace plat {
class Surface;
}

struct PatternCall {
  CImageInterface* dst = nullptr;
  CImageInterface* src = nullptr;
  int32_t level = 0;
  int32_t x = 0;
  int32_t y = 0;
  int32_t mode = 0;
  CScreenManager* target = nullptr;
};

class CPatternPainter {
 public:
  // Reads what the mode draws with: the software pictures (modes 0 and 1), or the target
  // surface and clip (the extra target's back surface and screen rectangle, else the
  // destination's surface and clip rectangle) and the source's surface and colour key (mode 2).
  explicit CPatternPainter(const PatternCall& call);

  // False in mode 2 without a target surface.
  bool HasTarget() const;

  int32_t Level() const { return call_.level; }
  int32_t X() const { return call_.x; }
  int32_t Y() const { return call_.y; }
  int32_t Mode() const { return call_.mode; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }

  // The source rectangle cut to the source, drawn with its (cut) top-left at (px, py); nothing
  // when it is empty or the mode draws nothing. Failures of a piece are not looked at.
  [[gnu::always_inline]] void DrawPiece(const plat::Rect& source, int32_t px, int32_t py) const {
    const plat::Rect cut = CutToSource(source);
    if (cut.left >= cut.right || cut.top >= cut.bottom) return;
    px += cut.left - source.left;
    py += cut.top - source.top;
    if (pieces_) {
      pieces_->Draw(cut, px, py);
    } else {
      DrawOnTarget(cut, px, py);
    }
  }
  // Pieces of one-pixel columns, each drawn as DrawPiece draws it; copied a few rows across many
  // of them at a time where the mode allows.
  void DrawColumns(std::span<const CImagePieceDrawer::PlacedPiece> columns) const;
  // The piece at its own place: (x + left, y + top).
  void DrawInPlace(const plat::Rect& source) const { DrawPiece(source, call_.x + source.left, call_.y + source.top); }
  // The runs of columns of rows top to bottom - 1, left to right, each at its own place.
  void DrawRunsInPlace(int32_t top, int32_t bottom, std::span<const CImagePieceDrawer::ColumnRun> runs) const;
  // Blocks of width × height, each whole within the source, drawn as DrawPiece draws each.
  void DrawBlocks(int32_t width, int32_t height, std::span<const CImagePieceDrawer::BlockMove> blocks) const;
  // The one-pixel columns of the source rectangle (cut to the source) drawn in reverse order from
  // (px, py): column source.right - 1 at px, each as DrawPiece draws it, from the left column on.
  void DrawMirroredColumns(const plat::Rect& source, int32_t px, int32_t py) const;
  // Row r from a to b, column c from a to b, each at its own place.
  void DrawRow(int32_t r, int32_t a, int32_t b) const { DrawInPlace({a, r, b, r + 1}); }
  void DrawColumn(int32_t c, int32_t a, int32_t b) const { DrawInPlace({c, a, c + 1, b}); }
  // The source rectangle drawn stretched to width × height at (px, py).
  void DrawStretched(const plat::Rect& source, int32_t width, int32_t height, int32_t px, int32_t py) const;
  // Pieces drawn as DrawStretched draws each; one-pixel columns are copied a row across all of
  // them at a time where the mode allows.
  void DrawStretchedColumns(std::span<const CImagePieceDrawer::StretchedPiece> columns) const;
  // The whole source at (x, y): the status of the mode's copy; 0 for a mode that draws nothing.
  int32_t DrawWhole() const;

  // The destination's extent that the smear slides stretch to: the right (bottom) edge of the
  // target clip with an extra target in mode 2, else the destination's width (height).
  int32_t DestinationRight() const;
  int32_t DestinationBottom() const;

  // What the image-operation patterns hand whole rectangles to.
  CImage* DestImage() const { return dst_image_; }
  CImage* SourceImage() const { return src_image_; }
  plat::Surface* TargetSurface() const { return target_surface_; }
  const plat::Rect& TargetClip() const { return target_clip_; }

 private:
  // The source rectangle cut to the source; empty when nothing is left. The piece's place moves
  // with its top-left.
  [[gnu::always_inline]] plat::Rect CutToSource(const plat::Rect& source) const {
    return {std::max(source.left, 0), std::max(source.top, 0), std::min(source.right, width_),
            std::min(source.bottom, height_)};
  }
  // A piece of mode 2, cut to the source, on the target surface.
  void DrawOnTarget(const plat::Rect& cut, int32_t px, int32_t py) const;

  PatternCall call_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  CImage* dst_image_ = nullptr;
  CImage* src_image_ = nullptr;
  std::optional<CImagePieceDrawer> pieces_;
  plat::Surface* target_surface_ = nullptr;
  plat::Surface* source_surface_ = nullptr;
  plat::Rect target_clip_;
  plat::Rect source_clip_;
  uint32_t source_key_ = 0;
};

// Whether a pattern reads the trigonometric tables (and so needs them).
enum class EPatternTables : bool { kNone, kTrig };

// A source placed farther out than this shows on no picture, whatever a pattern does with it;
// keeping the point within it keeps the arithmetic of the pieces within 32 bits.
inline constexpr int32_t kFarthestPatternPoint = 1 << 28;

// The frame around a pattern's own drawing: below level 1 nothing; in mode 2 no target surface
// gives 1; a source placed beyond reach draws nothing; from 256 on the whole source; then 1 when
// the pattern needs the trigonometric tables and there are none; else the drawing, whose status
// is the result (none counts as 0).
template <typename Draw>
int32_t RunPattern(const PatternCall& call, EPatternTables tables, Draw&& draw) {
  if (call.level < 1) return 0;
  const CPatternPainter painter(call);
  if (!painter.HasTarget()) return 1;
  if (call.x < -kFarthestPatternPoint || call.x > kFarthestPatternPoint || call.y < -kFarthestPatternPoint ||
      call.y > kFarthestPatternPoint) {
    return 0;
  }
  if (call.level >= 256) return painter.DrawWhole();
  if (tables == EPatternTables::kTrig && g_TrigTable == nullptr) return 1;
  if constexpr (std::is_void_v<decltype(draw(painter))>) {
    draw(painter);
    return 0;
  } else {
    return draw(painter);
  }
}

// A pattern entry of the table: the frame around Draw(painter, Args...).
template <auto Draw, EPatternTables Tables = EPatternTables::kNone, auto... Args>
int32_t PatternEntry(CImageInterface* dst, CImageInterface* src, int32_t level, int32_t x, int32_t y, int32_t mode,
                     CScreenManager* target) {
  return RunPattern({dst, src, level, x, y, mode, target}, Tables,
                    [](const CPatternPainter& painter) -> decltype(auto) { return Draw(painter, Args...); });
}

// Calls draw(first, last) for every run of neighbouring places 0, step, 2·step ... below end
// where shown(place) holds, `last` being the place after the run (or end): pieces side by side
// drawn as one, the same pixels in fewer blits.
template <typename Shown, typename Draw>
void ForEachShownRun(int32_t end, int32_t step, Shown&& shown, Draw&& draw) {
  int32_t first = -1;
  for (int32_t place = 0; place < end; place += step) {
    if (shown(place)) {
      if (first < 0) first = place;
    } else if (first >= 0) {
      draw(first, place);
      first = -1;
    }
  }
  if (first >= 0) draw(first, end);
}

// Calls draw(first, last) for every run of places 0 ... end - 1 whose place modulo 4 is a set
// bit of shown_phases, left to right, as ForEachShownRun would: the runs of one period, found
// once from a hidden phase on, repeated across the row instead of every place being asked.
template <typename Draw>
void ForEachPeriodicRun(int32_t end, uint32_t shown_phases, Draw&& draw) {
  if ((shown_phases & 0xF) == 0) return;
  if ((shown_phases & 0xF) == 0xF) {
    if (end > 0) draw(0, end);
    return;
  }
  int32_t hidden = 0;
  while (((shown_phases >> hidden) & 1) != 0) ++hidden;
  // Within a period from the hidden phase: at most two runs, between its places 1 and 3.
  int32_t runs[2][2] = {};
  int32_t count = 0;
  for (int32_t i = 1, first = 0; i <= 4; ++i) {
    const bool shown = i < 4 && ((shown_phases >> ((hidden + i) & 3)) & 1) != 0;
    if (shown && first == 0) first = i;
    if (!shown && first != 0) {
      runs[count][0] = first;
      runs[count][1] = i;
      ++count;
      first = 0;
    }
  }
  for (int32_t base = hidden - 4; base < end; base += 4) {
    for (int32_t r = 0; r < count; ++r) {
      const int32_t first = std::max(base + runs[r][0], 0);
      const int32_t last = std::min(base + runs[r][1], end);
      if (first < last) draw(first, last);
    }
  }
}

// The trigonometric tables' cosine and sine of an angle in 512 steps a turn (16.16).
inline int32_t PatternCos(int32_t angle) { return g_TrigTable->cosine[static_cast<uint32_t>(angle) & 511]; }
inline int32_t PatternSin(int32_t angle) { return PatternCos(angle - 128); }
