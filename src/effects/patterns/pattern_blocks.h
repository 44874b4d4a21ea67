// Blocks of the source laid on a grid from its top-left corner, rows of blocks outer and the
// blocks of a row inner, each cut to the source where it passes the right or bottom edge; and the
// 32-bit products that the block patterns take their offsets from.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <span>
#include <vector>

#include "effects/patterns/pattern_draws_ahead.h"
#include "effects/patterns/pattern_painter.h"

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

// The first of places `from` to count - 1 whose bit is `set`, or count; `from` lies below count.
inline int32_t NextBitFrom(std::span<const uint64_t> bits, int32_t from, bool set, int32_t count) {
  const uint64_t flip = set ? 0 : ~uint64_t{0};
  size_t word = static_cast<size_t>(from) >> 6;
  uint64_t rest = (bits[word] ^ flip) & (~uint64_t{0} << (from & 63));
  while (rest == 0) {
    if (++word >= bits.size()) return count;
    rest = bits[word] ^ flip;
  }
  return std::min(static_cast<int32_t>(word * 64) + std::countr_zero(rest), count);
}

// For every row of blocks of width × height, top to bottom: shown(bx, by, chance) asked of its
// blocks left to right, chance being the low byte of a fresh draw of the program-wide state for
// each, and the runs of shown neighbours drawn in place together. The draws are read ahead and
// the answers kept as bits, from which the runs are read: nothing branches on a block's chance,
// which no branch could foresee.
template <typename Shown>
void DrawChanceBlockRuns(const CPatternPainter& painter, int32_t width, int32_t height, Shown&& shown) {
  const int32_t w = painter.Width();
  const int32_t h = painter.Height();
  const int32_t blocks = (w + width - 1) / width;
  if (blocks <= 0) return;
  std::vector<uint64_t> bits((static_cast<size_t>(blocks) + 63) / 64);
  std::vector<CImagePieceDrawer::ColumnRun> runs;
  CDrawsAhead draws(g_SubtractiveIndex, g_SubtractiveState);
  size_t next = 0;
  for (int32_t by = 0; by < h; by += height) {
    draws.Reserve(next, next + static_cast<size_t>(blocks));
    // A word of bits gathered in a register: gathered in memory, each block would wait on the
    // store of the one before.
    for (size_t word = 0; word < bits.size(); ++word) {
      const auto first = static_cast<int32_t>(word * 64);
      const int32_t end = std::min(first + 64, blocks);
      uint64_t shown_bits = 0;
      for (int32_t i = first; i < end; ++i) {
        const bool shown_here = shown(i * width, by, draws[next + static_cast<size_t>(i)] & 0xFF);
        shown_bits |= uint64_t{shown_here} << (i - first);
      }
      bits[word] = shown_bits;
    }
    next += static_cast<size_t>(blocks);
    runs.clear();
    for (int32_t first = NextBitFrom(bits, 0, true, blocks); first < blocks;) {
      const int32_t last = NextBitFrom(bits, first, false, blocks);
      runs.push_back({first * width, std::min(last * width, w)});
      first = last < blocks ? NextBitFrom(bits, last, true, blocks) : blocks;
    }
    painter.DrawRunsInPlace(by, std::min(by + height, h), runs);
  }
  draws.Read(next);
}

// The blocks of width × height that a pattern moves, gathered and handed to the painter many at
// a time, in the order they come; a block cut by the source's edge is drawn alone, after the
// blocks before it. What is gathered is drawn by the time the batch ends.
class CMovedBlocks {
 public:
  CMovedBlocks(const CPatternPainter& painter, int32_t width, int32_t height)
      : painter_(painter), width_(width), height_(height) {}
  ~CMovedBlocks() { DrawGathered(); }
  CMovedBlocks(const CMovedBlocks&) = delete;
  CMovedBlocks& operator=(const CMovedBlocks&) = delete;

  const CPatternPainter& Painter() const { return painter_; }

  // The block drawn with its top-left at (x, y).
  [[gnu::always_inline]] void Draw(const plat::Rect& block, int32_t x, int32_t y) {
    if (block.Width() != width_ || block.Height() != height_) {
      DrawGathered();
      painter_.DrawPiece(block, x, y);
      return;
    }
    moves_[gathered_++] = {block.left, block.top, x, y};
    if (gathered_ == kBatchSize) DrawGathered();
  }

 private:
  // Enough blocks that the painter's settling is paid for, few enough to stay in the cache.
  static constexpr size_t kBatchSize = 1024;

  void DrawGathered() {
    painter_.DrawBlocks(width_, height_, std::span(moves_.data(), gathered_));
    gathered_ = 0;
  }

  const CPatternPainter& painter_;
  int32_t width_;
  int32_t height_;
  // A fixed array and a count: a growing vector's end and capacity, which a block's store
  // might change for all the compiler knows, would be read back after every block.
  std::array<CImagePieceDrawer::BlockMove, kBatchSize> moves_;
  size_t gathered_ = 0;
};

// Every block of width × height laid down as place(column, bx, by) says, column being the
// block's count from the left of its row, in the order ForEachBlock visits them: a BlockMove
// whose left and top are where the block is read (its own place, or moved by no more than keeps
// a whole block within the source) and whose x and y are where it is drawn. The whole blocks of
// a row are handed to the painter together, the row's block cut by the right edge after them; a
// row cut by the bottom edge goes block by block. A row's moves come from one loop over its
// blocks with nothing else in it, which compiles to far less than a batch that counts and
// stores every block behind a call.
template <typename Place>
void DrawPlacedBlocks(const CPatternPainter& painter, int32_t width, int32_t height, Place&& place) {
  const int32_t w = painter.Width();
  const int32_t h = painter.Height();
  const int32_t whole_columns = w / width;
  std::vector<CImagePieceDrawer::BlockMove> moves(static_cast<size_t>(whole_columns));
  const auto draw_cut = [&](int32_t column, int32_t bx, int32_t by) {
    const CImagePieceDrawer::BlockMove move = place(column, bx, by);
    const plat::Rect read{move.left, move.top, move.left + std::min(width, w - bx),
                          move.top + std::min(height, h - by)};
    painter.DrawPiece(read, move.x, move.y);
  };
  for (int32_t by = 0; by < h; by += height) {
    if (by + height > h) {
      for (int32_t column = 0, bx = 0; bx < w; ++column, bx += width) draw_cut(column, bx, by);
      return;
    }
    for (int32_t column = 0; column < whole_columns; ++column) {
      moves[static_cast<size_t>(column)] = place(column, column * width, by);
    }
    painter.DrawBlocks(width, height, moves);
    if (whole_columns * width < w) draw_cut(whole_columns, whole_columns * width, by);
  }
}

// A block drawn from its own place, moved by (dx, dy).
[[gnu::always_inline]] inline void DrawMovedBlock(CMovedBlocks& blocks, const plat::Rect& block, int32_t dx,
                                                  int32_t dy) {
  const CPatternPainter& painter = blocks.Painter();
  blocks.Draw(block, painter.X() + block.left + dx, painter.Y() + block.top + dy);
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
