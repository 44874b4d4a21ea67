#include "effects/patterns/random_patterns.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <span>
#include <vector>

#include "effects/patterns/pattern_blocks.h"
#include "effects/patterns/pattern_draws_ahead.h"
#include "effects/patterns/pattern_random.h"

namespace {

using BlockMove = CImagePieceDrawer::BlockMove;

// trunc(sqrt(a² + b²)).
int32_t TruncatedLength(int64_t a, int64_t b) {
  return static_cast<int32_t>(std::sqrt(static_cast<double>(a * a + b * b)));
}

// trunc(sqrt(a² + b²)) for points visited in an order in which each lies near the one before,
// as blocks do left to right (the last of a row and the first of the next lie as far from the
// centre): the length is walked from the one before instead of taken as a root anew. The walk
// ends on the largest length whose square is at most a² + b², which is the truncated root for
// every distance a picture can have.
class CLengthWalk {
 public:
  int32_t Of(int64_t a, int64_t b) {
    const int64_t square = a * a + b * b;
    if (length_ < 0) length_ = TruncatedLength(a, b);
    while (int64_t{length_} * length_ > square) --length_;
    while (int64_t{length_ + 1} * (length_ + 1) <= square) ++length_;
    return length_;
  }

 private:
  int32_t length_ = -1;
};

// The table byte at an index taken modulo 256.
int32_t TableByte(int32_t index) { return (*g_PatternRandomTable)[static_cast<uint32_t>(index) & 0xFF]; }

// The sweep's threshold for the block at (bx, by).
int32_t DissolveThreshold(const CPatternPainter& painter, EDissolveSweep sweep, int32_t bx, int32_t by) {
  const int32_t w = painter.Width();
  const int32_t h = painter.Height();
  const int32_t level = painter.Level();
  switch (sweep) {
    case EDissolveSweep::kNone:
      return level;
    case EDissolveSweep::kFromTop:
      return (256 * (h - 1 - by)) / h - 256 + 2 * level;
    case EDissolveSweep::kFromBottom:
      return (256 * by) / h - 256 + 2 * level;
    case EDissolveSweep::kFromLeft:
      return (256 * (w - 1 - bx)) / w - 256 + 2 * level;
    case EDissolveSweep::kFromRight:
      return (256 * bx) / w - 256 + 2 * level;
  }
  return level;
}

// A block's offset from the centre, its length and its unit vector in 1/256ths.
struct Ray {
  int32_t dx0;
  int32_t dy0;
  int32_t length;
  int32_t ux;
  int32_t uy;
};

// The rays of the blocks row by row, left to right, their lengths walked; the unit vector divides
// by the length through a table of reciprocals.
class CRayWalk {
 public:
  explicit CRayWalk(const CPatternPainter& painter)
      : half_width_(painter.Width() / 2), half_height_(painter.Height() / 2) {
    const int32_t longest = TruncatedLength(half_width_, half_height_);
    if (longest >= kLongestReciprocal) return;
    reciprocals_.resize(static_cast<size_t>(longest) + 1);
    for (size_t length = 1; length < reciprocals_.size(); ++length) {
      reciprocals_[length] = (uint64_t{1} << kReciprocalShift) / length + 1;
    }
  }

  Ray At(int32_t bx, int32_t by) {
    Ray ray;
    ray.dx0 = bx - half_width_;
    ray.dy0 = by - half_height_;
    ray.length = lengths_.Of(ray.dx0, ray.dy0);
    ray.ux = UnitPart(ray.dx0, ray.length);
    ray.uy = UnitPart(ray.dy0, ray.length);
    return ray;
  }

 private:
  // 256 · part / length truncated toward zero, the part being at most the length. With
  // m = 2^40 / length + 1, (256 · |part| · m) >> 40 exceeds the quotient by less than
  // 256 · length / 2^40, which stays below the 1 / length that the quotient's fraction is short
  // of the next whole number while the length is below 2^16.
  int32_t UnitPart(int32_t part, int32_t length) const {
    if (length == 0) return part;
    if (reciprocals_.empty()) return 256 * part / length;
    const uint64_t magnitude = static_cast<uint64_t>(std::abs(part)) * 256;
    const auto quotient =
        static_cast<int32_t>((magnitude * reciprocals_[static_cast<size_t>(length)]) >> kReciprocalShift);
    return part < 0 ? -quotient : quotient;
  }

  static constexpr int32_t kReciprocalShift = 40;
  static constexpr int32_t kLongestReciprocal = 1 << 16;

  int32_t half_width_;
  int32_t half_height_;
  CLengthWalk lengths_;
  std::vector<uint64_t> reciprocals_;  // by length; none for lengths too long for them
};

// The unit vector of a block's ray, each part at most 256 in size.
struct RayUnit {
  int16_t ux;
  int16_t uy;
};

// Values of every block of the painter's size cut into blocks of block_width × block_height, in
// the order ForEachBlock visits them, work(bx, by) giving each of a work = make_work(). They are
// the same at every level: worked out once for the size and kept for the frames that follow.
// Each caller (each type of work) keeps its own, and each thread, so that a pattern drawn on
// another thread never reads values being remade.
template <typename Value, typename MakeWork>
std::span<const Value> KeptForSize(const CPatternPainter& painter, int32_t block_width, int32_t block_height,
                                   MakeWork&& make_work) {
  struct SizedValues {
    std::array<int32_t, 4> size{};
    std::vector<Value> values;
  };
  thread_local SizedValues kept;
  const std::array<int32_t, 4> size{painter.Width(), painter.Height(), block_width, block_height};
  if (kept.size == size && !kept.values.empty()) return kept.values;
  kept.size = size;
  kept.values.clear();
  auto work = make_work();
  ForEachBlock(painter, block_width, block_height,
               [&](int32_t bx, int32_t by, const plat::Rect&) { kept.values.push_back(work(bx, by)); });
  return kept.values;
}

// The unit vectors of the rays of every block (a quarter of the size of a source cut into 2 × 2
// blocks).
std::span<const RayUnit> RayUnitsOf(const CPatternPainter& painter, int32_t block_width, int32_t block_height) {
  return KeptForSize<RayUnit>(painter, block_width, block_height, [&] {
    return [rays = CRayWalk(painter)](int32_t bx, int32_t by) mutable {
      const Ray ray = rays.At(bx, by);
      return RayUnit{static_cast<int16_t>(ray.ux), static_cast<int16_t>(ray.uy)};
    };
  });
}

// The fly-ins that travel along their ray: two table cursors per row of blocks, growing by
// their own steps.
void DrawRadialFlyIn(const CPatternPainter& painter, EFlyIn kind) {
  const int32_t block_height = kind == EFlyIn::kRadialSmall ? 2 : kind == EFlyIn::kTurning ? 4 : 2;
  // The block height is a power of two: rows of blocks are counted by a shift, not a division.
  const int32_t height_shift = block_height == 4 ? 2 : 1;
  const int32_t block_width = kind == EFlyIn::kRadialSmall ? 2 : 4;
  const int32_t a_step = kind == EFlyIn::kTurning ? 52 : 26;
  const int32_t b_step = kind == EFlyIn::kTurning ? 76 : 38;
  const int32_t travel = FlightLeft(painter);
  const int32_t theta = TurnAngle(painter);
  const int32_t half_width = painter.Width() / 2;
  const int32_t half_height = painter.Height() / 2;
  const RayUnit* unit = RayUnitsOf(painter, block_width, block_height).data();
  // The radial kinds turn nothing and may be drawn without the trigonometric tables.
  const bool turns = kind == EFlyIn::kSwirl || kind == EFlyIn::kTurning;
  const int32_t c = turns ? PatternCos(theta) : 0;
  const int32_t s = turns ? PatternSin(theta) : 0;
  // Taken by value: the stores of the places could change the painter for all the compiler knows.
  const int32_t x = painter.X();
  const int32_t y = painter.Y();
  const auto place = [&unit, kind, height_shift, a_step, b_step, travel, c, s, half_width, half_height, x, y](
                         int32_t, int32_t bx, int32_t by) {
    const int32_t row = by >> height_shift;
    const int32_t a = a_step * row;
    const int32_t b = 1 + b_step * row;
    const RayUnit ray = *unit++;
    int32_t dx = Mul32(Mul32(TableByte(a + bx), ray.ux), travel) >> 16;
    int32_t dy = Mul32(Mul32(TableByte(b + bx), ray.uy), travel) >> 16;
    if (kind == EFlyIn::kRadial || kind == EFlyIn::kRadialSmall) return BlockMove{bx, by, x + bx + dx, y + by + dy};
    dx = Mul32(dx, c) >> 16;
    dy = Mul32(dy, s) >> 16;
    if (kind == EFlyIn::kSwirl) return BlockMove{bx, by, x + bx + dx, y + by + dy};
    const int32_t dx0 = bx - half_width;
    const int32_t dy0 = by - half_height;
    const int32_t rx = (Mul32(c, dx0) >> 16) - (Mul32(s, dy0) >> 16);
    const int32_t ry = (Mul32(c, dy0) >> 16) + (Mul32(s, dx0) >> 16);
    return BlockMove{bx, by, x + half_width + rx + dx, y + half_height + ry + dy};
  };
  DrawPlacedBlocks(painter, block_width, block_height, place);
}

// A block stays where it is, or, when its first draw passes the level, is read from up to
// Reach - 1 pixels right and down by two more draws, as far as the source reaches. The reach is
// known when compiled, so that a draw's remainder costs a multiplication, not a division; the
// draws are read ahead, so that a block that moves and one that stays take the same path.
template <int32_t Reach>
void DrawShimmerBlocks(const CPatternPainter& painter) {
  const int32_t level = painter.Level();
  const int32_t w = painter.Width();
  const int32_t h = painter.Height();
  const int32_t x = painter.X();
  const int32_t y = painter.Y();
  const size_t most_in_row = 3 * static_cast<size_t>((w + 3) / 4);
  CDrawsAhead draws(g_SubtractiveIndex, g_SubtractiveState);
  size_t next = 0;
  DrawPlacedBlocks(painter, 4, 2, [&draws, &next, level, w, h, x, y, most_in_row](int32_t column, int32_t bx,
                                                                                  int32_t by) {
    if (column == 0) draws.Reserve(next, next + most_in_row);
    // All bits set where the block moves.
    const int32_t moves = (draws[next] & 0xFF) > level ? -1 : 0;
    int32_t ox = (draws[next + 1] % Reach) & moves;
    int32_t oy = (draws[next + 2] % Reach) & moves;
    next += static_cast<size_t>(1 + (2 & moves));
    if (std::min(bx + 4, w) + ox > w) ox = 0;
    if (std::min(by + 2, h) + oy > h) oy = 0;
    return BlockMove{bx + ox, by + oy, x + bx, y + by};
  });
  draws.Read(next);
}

}  // namespace

void DrawRowJitterPattern(const CPatternPainter& painter) {
  const uint32_t window = static_cast<uint32_t>(256 - painter.Level());
  for (int32_t r = 0; r < painter.Height(); ++r) {
    const int32_t dx = static_cast<int32_t>(static_cast<uint32_t>(NextPatternRandom()) % window) -
                       static_cast<int32_t>(window >> 1);
    painter.DrawPiece({0, r, painter.Width(), r + 1}, painter.X() + dx, painter.Y() + r);
  }
}

void DrawShimmerPattern(const CPatternPainter& painter) {
  const int32_t level = painter.Level();
  if (level < 128) return DrawShimmerBlocks<10>(painter);
  if (level < 200) return DrawShimmerBlocks<6>(painter);
  if (level <= 229) return DrawShimmerBlocks<4>(painter);
  DrawShimmerBlocks<2>(painter);
}

void DrawDissolvePattern(const CPatternPainter& painter, EDissolveSweep sweep) {
  DrawChanceBlockRuns(painter, 4, 2, [&](int32_t bx, int32_t by, int32_t chance) {
    return chance <= DissolveThreshold(painter, sweep, bx, by);
  });
}

void DrawDiscDissolvePattern(const CPatternPainter& painter) {
  const int32_t w = painter.Width();
  const int32_t h = painter.Height();
  const int32_t reach = static_cast<int32_t>((int64_t{w + h} * painter.Level()) >> 8);
  // Every block's distance from the centre, in the order the blocks are asked.
  const int32_t* length = KeptForSize<int32_t>(painter, 2, 2, [&] {
                            return [lengths = CLengthWalk(), w, h](int32_t bx, int32_t by) mutable {
                              return lengths.Of(2 * by - h, 2 * bx - w);
                            };
                          }).data();
  DrawChanceBlockRuns(painter, 2, 2, [&](int32_t, int32_t, int32_t chance) { return chance <= reach - *length++; });
}

int32_t DrawFlyInPattern(const CPatternPainter& painter, EFlyIn kind) {
  if (kind == EFlyIn::kSteered) {
    const int32_t travel = FlightLeft(painter);
    const int32_t theta = TurnAngle(painter);
    CRayWalk rays(painter);
    CMovedBlocks blocks(painter, 4, 2);
    ForEachBlock(painter, 4, 2, [&](int32_t bx, int32_t by, const plat::Rect& block) {
      const Ray ray = rays.At(bx, by);
      const int32_t ux = ray.length != 0 ? (Mul32(Mul32(PatternSin(theta), ray.dx0), 256) >> 16) / ray.length : 0;
      const int32_t uy = ray.length != 0 ? (Mul32(Mul32(PatternCos(theta), ray.dy0), 256) >> 16) / ray.length : 0;
      DrawMovedBlock(blocks, block, Mul32(ux, travel) >> 8, Mul32(uy, travel) >> 8);
    });
    return 0;
  }
  if (!BuildPatternRandomTable()) return 2;
  if (kind != EFlyIn::kBelowRight) {
    DrawRadialFlyIn(painter, kind);
    return 0;
  }
  const int32_t travel = FlightLeft(painter);
  CMovedBlocks blocks(painter, 4, 2);
  ForEachBlock(painter, 4, 2, [&](int32_t bx, int32_t by, const plat::Rect& block) {
    DrawMovedBlock(blocks, block, Mul32(TableByte(bx + by), travel) >> 8, Mul32(TableByte(bx + 1 + by), travel) >> 8);
  });
  return 0;
}

int32_t DrawShutterPattern(const CPatternPainter& painter, int32_t cell) {
  if (!BuildPatternRandomTable()) return 2;
  const int32_t level = painter.Level();
  const int32_t cursor_step = cell == 8 ? 104 : 208;
  for (int32_t cy = 0, a = 0; cy < painter.Height(); cy += cell, a += cursor_step) {
    for (int32_t cx = 0; cx < painter.Width(); cx += cell) {
      const int32_t delay = TableByte((cx >> 3) + a) >> 1;
      int32_t k = cell == 8 ? ((delay + level) >> 4) - 8 : ((delay + level) >> 3) - 16;
      if (k <= 0) continue;
      k = std::min(k, cell);
      painter.DrawPiece({cx, cy, cx + cell, cy + k}, painter.X() + cx, painter.Y() + cy + cell - k);
    }
  }
  return 0;
}

int32_t DrawJitterPattern(const CPatternPainter& painter, bool fall_in) {
  if (!BuildPatternRandomTable()) return 2;
  const int32_t level = painter.Level();
  const int32_t divisor = (level >> 1) + 1;
  CMovedBlocks blocks(painter, 4, 4);
  ForEachBlock(painter, 4, 4, [&](int32_t bx, int32_t by, const plat::Rect& block) {
    const int32_t i = bx >> 2;
    const int32_t j = by >> 2;
    const int32_t across = TableByte(i + 13 * j);
    const int32_t down = TableByte(19 * j + i);
    if (fall_in) {
      DrawMovedBlock(blocks, block, ((across - 128) * (256 - level)) >> 11, (down * (256 - level)) >> 11);
    } else {
      DrawMovedBlock(blocks, block, (across - 128) / divisor, (down - 128) / divisor);
    }
  });
  return 0;
}
