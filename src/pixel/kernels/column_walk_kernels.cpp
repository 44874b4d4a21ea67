#include "pixel/kernels/column_walk_kernels.h"

#include <algorithm>
#include <vector>

#include "pixel/kernels/pixel_kernel_choice.h"

namespace {

// Walks none of which reaches past 32-bit offsets.
bool ReachWithin32Bits(std::span<const ColumnWalk> walks, intptr_t src_stride) {
  return std::ranges::all_of(walks, [src_stride](const ColumnWalk& walk) {
    const int64_t rows = std::max(walk.bottom - walk.top, 0) + int64_t{1};
    const int64_t farthest = walk.from + rows * (int64_t{walk.step.yStep} + 1) * src_stride;
    return walk.from >= 0 && walk.step.yStep >= 0 && farthest <= INT32_MAX;
  });
}

// Walks of eight neighbouring columns, left to right, none reaching past 32-bit offsets.
bool WalksEightNeighbours(std::span<const ColumnWalk> walks, intptr_t src_stride) {
  for (size_t k = 0; k < walks.size(); ++k) {
    if (walks[k].x != walks[0].x + static_cast<int32_t>(k)) return false;
  }
  return ReachWithin32Bits(walks, src_stride);
}

constexpr int32_t kRowsTogether = 8;
// Rows that every walk goes through are read more at a time: no marks are kept for them, and
// each eight of walks read together settles its lanes once for them all.
constexpr int32_t kWholeRowsTogether = 32;

// The rows of one walk that lie within rows_top to rows_bottom - 1.
struct WalkedRows {
  int32_t from;
  int32_t to;

  WalkedRows(const ColumnWalk& walk, int32_t rows_top, int32_t rows_bottom)
      : from(std::max(rows_top, walk.top)), to(std::min(rows_bottom, walk.bottom)) {}
  bool Empty() const { return from >= to; }
};

// The rows `rows` of one walk, taken on from where it stands, written from `to` down, a stride
// apart.
void WalkRows(uint32_t* to, intptr_t to_stride, const uint32_t* src, intptr_t src_stride, ColumnWalk& walk,
              WalkedRows rows) {
  uint32_t acc = walk.acc;
  intptr_t from = walk.from;
  const auto remainder = static_cast<uint32_t>(walk.step.yRem);
  const auto denominator = static_cast<uint32_t>(walk.step.yDen);
  const intptr_t step = intptr_t{walk.step.yStep} * src_stride;
  for (int32_t y = rows.from; y < rows.to; ++y, to += to_stride) {
    *to = src[from];
    // The carry comes as it will, unforeseeable for a branch: taken as a mask instead.
    const uint32_t before = acc;
    acc += remainder;
    const uint32_t carry = acc < before ? ~0u : 0u;
    acc -= denominator & carry;
    from += step + (src_stride & static_cast<intptr_t>(static_cast<int32_t>(carry)));
  }
  walk.acc = acc;
  walk.from = from;
}

}  // namespace

// A column walks down the rows from locals that no pixel store can reach.
void WalkColumns32(uint32_t* dst, intptr_t dst_stride, const uint32_t* src, intptr_t src_stride,
                   std::span<ColumnWalk> walks) {
  if (walks.empty()) return;
  const int32_t top = std::ranges::min(walks, {}, &ColumnWalk::top).top;
  const int32_t bottom = std::ranges::max(walks, {}, &ColumnWalk::bottom).bottom;
  for (int32_t rows_top = top; rows_top < bottom; rows_top += kRowsTogether) {
    const int32_t rows_bottom = std::min(rows_top + kRowsTogether, bottom);
    for (ColumnWalk& walk : walks) {
      const WalkedRows rows(walk, rows_top, rows_bottom);
      if (!rows.Empty()) WalkRows(dst + intptr_t{rows.from} * dst_stride + walk.x, dst_stride, src, src_stride, walk, rows);
    }
  }
}

namespace {

// The pixels that walks read for a few rows, side by side across the columns left to right - 1,
// with a mark on each pixel read; blended over the destination a row at a time.
class GatheredRows {
 public:
  GatheredRows(int32_t left, int32_t right)
      : left_(left),
        width_(right - left),
        pixels_(static_cast<size_t>(width_) * kWholeRowsTogether),
        read_(static_cast<size_t>(width_) * kRowsTogether),
        blended_(static_cast<size_t>(width_)) {}

  // Whether the walk's rows of the band from rows_top on hold a pixel read already.
  bool Overlaps(const ColumnWalk& walk, WalkedRows rows, int32_t rows_top) const {
    for (int32_t y = rows.from; y < rows.to; ++y) {
      if (read_[Place(walk.x, y - rows_top)] != 0) return true;
    }
    return false;
  }

  void Read(const uint32_t* src, intptr_t src_stride, ColumnWalk& walk, WalkedRows rows, int32_t rows_top) {
    WalkRows(&pixels_[Place(walk.x, rows.from - rows_top)], width_, src, src_stride, walk, rows);
    for (int32_t y = rows.from; y < rows.to; ++y) read_[Place(walk.x, y - rows_top)] = 1;
  }

  // Rows rows_top to rows_bottom - 1 of walks that lie side by side across all the columns, each
  // through all those rows, read without marks (eights of them by the AVX2 gather where
  // `gather` allows) and blended over the destination in place, in one call.
  void ReadAndBlendWhole(uint32_t* dst, intptr_t dst_stride, const uint32_t* src, intptr_t src_stride,
                         std::span<ColumnWalk> walks, int32_t rows_top, int32_t rows_bottom, bool gather,
                         RowBlend32 blend) {
    size_t first = 0;
    if (gather) {
      for (; first + 8 <= walks.size(); first += 8) {
        avx2_kernels::WalkEightColumns32(&pixels_[Place(walks[first].x, 0)], width_, src, src_stride,
                                         std::span<ColumnWalk, 8>(walks.data() + first, 8), rows_top, rows_bottom);
      }
    }
    for (ColumnWalk& walk : walks.subspan(first)) {
      WalkRows(&pixels_[Place(walk.x, 0)], width_, src, src_stride, walk, WalkedRows(walk, rows_top, rows_bottom));
    }
    blend(dst + intptr_t{rows_top} * dst_stride + left_, pixels_.data(),
          static_cast<int32_t>(dst_stride - width_) * 4, 0, width_, rows_bottom - rows_top);
  }

  // Blends the pixels read over rows rows_top on of the destination and forgets them. A row read
  // whole from its first to its last pixel is blended in place; another is blended over a copy
  // of its destination pixels, of which those read are then taken.
  void Blend(uint32_t* dst, intptr_t dst_stride, int32_t rows_top, RowBlend32 blend) {
    for (int32_t row = 0; row < kRowsTogether; ++row) {
      uint8_t* const marks = &read_[Place(left_, row)];
      uint8_t* const first = std::find(marks, marks + width_, uint8_t{1});
      if (first == marks + width_) continue;
      uint8_t* last = marks + width_ - 1;
      while (*last == 0) --last;
      const auto begin = static_cast<int32_t>(first - marks);
      const auto count = static_cast<int32_t>(last - first + 1);
      uint32_t* const to = dst + intptr_t{rows_top + row} * dst_stride + left_ + begin;
      const uint32_t* const from = &pixels_[Place(left_ + begin, row)];
      if (std::find(first, last, uint8_t{0}) == last) {
        blend(to, from, 0, 0, count, 1);
      } else {
        std::copy_n(to, count, blended_.data());
        blend(blended_.data(), from, 0, 0, count, 1);
        for (int32_t x = 0; x < count; ++x) {
          if (first[x] != 0) to[x] = blended_[static_cast<size_t>(x)];
        }
      }
      std::fill(first, last + 1, uint8_t{0});
    }
  }

 private:
  size_t Place(int32_t x, int32_t row) const { return static_cast<size_t>(row) * width_ + (x - left_); }

  int32_t left_;
  int32_t width_;
  std::vector<uint32_t> pixels_;
  std::vector<uint8_t> read_;
  std::vector<uint32_t> blended_;
};

// Walks left to right, a column each: no two share a pixel. Side by side too: they fill every
// column from the first one's to the last one's.
struct WalkOrder {
  bool apart = true;
  bool side_by_side = true;

  explicit WalkOrder(std::span<const ColumnWalk> walks) {
    for (size_t k = 1; k < walks.size(); ++k) {
      apart = apart && walks[k].x > walks[k - 1].x;
      side_by_side = side_by_side && walks[k].x == walks[k - 1].x + 1;
    }
  }
};

// Whether every walk goes through all the rows rows_top to rows_bottom - 1.
bool CoverRows(std::span<const ColumnWalk> walks, int32_t rows_top, int32_t rows_bottom) {
  return std::ranges::all_of(
      walks, [&](const ColumnWalk& walk) { return walk.top <= rows_top && walk.bottom >= rows_bottom; });
}

void BlendColumnsReading(uint32_t* dst, intptr_t dst_stride, const uint32_t* src, intptr_t src_stride,
                         std::span<ColumnWalk> walks, RowBlend32 blend, bool gather_eights) {
  if (walks.empty()) return;
  const int32_t top = std::ranges::min(walks, {}, &ColumnWalk::top).top;
  const int32_t bottom = std::ranges::max(walks, {}, &ColumnWalk::bottom).bottom;
  const int32_t left = std::ranges::min(walks, {}, &ColumnWalk::x).x;
  const int32_t right = std::ranges::max(walks, {}, &ColumnWalk::x).x + 1;
  const WalkOrder order(walks);
  const bool gather = order.side_by_side && gather_eights && ReachWithin32Bits(walks, src_stride);
  GatheredRows gathered(left, right);
  for (int32_t rows_top = top; rows_top < bottom;) {
    const int32_t whole_bottom = std::min(rows_top + kWholeRowsTogether, bottom);
    if (order.side_by_side && CoverRows(walks, rows_top, whole_bottom)) {
      gathered.ReadAndBlendWhole(dst, dst_stride, src, src_stride, walks, rows_top, whole_bottom, gather, blend);
      rows_top = whole_bottom;
      continue;
    }
    const int32_t rows_bottom = std::min(rows_top + kRowsTogether, bottom);
    for (ColumnWalk& walk : walks) {
      const WalkedRows rows(walk, rows_top, rows_bottom);
      if (rows.Empty()) continue;
      // What is read goes over the destination before a later walk blends over the same pixel.
      if (!order.apart && gathered.Overlaps(walk, rows, rows_top)) gathered.Blend(dst, dst_stride, rows_top, blend);
      gathered.Read(src, src_stride, walk, rows, rows_top);
    }
    gathered.Blend(dst, dst_stride, rows_top, blend);
    rows_top = rows_bottom;
  }
}

}  // namespace

void BlendColumns32(uint32_t* dst, intptr_t dst_stride, const uint32_t* src, intptr_t src_stride,
                    std::span<ColumnWalk> walks, RowBlend32 blend) {
  BlendColumnsReading(dst, dst_stride, src, src_stride, walks, blend, false);
}

void BlendColumns32Mmx(uint32_t* dst, intptr_t dst_stride, const uint32_t* src, intptr_t src_stride,
                       std::span<ColumnWalk> walks, RowBlend32 blend) {
  BlendColumnsReading(dst, dst_stride, src, src_stride, walks, blend, g_CpuHasAvx2 != 0);
}

// Eights of walks in order, each of neighbouring columns or walked by the portable member: a
// column is written by one eight only, so the eights stay in order.
void WalkColumns32Mmx(uint32_t* dst, intptr_t dst_stride, const uint32_t* src, intptr_t src_stride,
                      std::span<ColumnWalk> walks) {
  if (g_CpuHasAvx2 == 0) return WalkColumns32(dst, dst_stride, src, src_stride, walks);
  size_t first = 0;
  for (; first + 8 <= walks.size(); first += 8) {
    const std::span<ColumnWalk, 8> eight(walks.data() + first, 8);
    if (WalksEightNeighbours(eight, src_stride)) {
      const int32_t first_row = std::ranges::min(eight, {}, &ColumnWalk::top).top;
      const int32_t end_row = std::ranges::max(eight, {}, &ColumnWalk::bottom).bottom;
      avx2_kernels::WalkEightColumns32(dst + intptr_t{first_row} * dst_stride + eight[0].x, dst_stride, src,
                                       src_stride, eight, first_row, end_row);
    } else {
      WalkColumns32(dst, dst_stride, src, src_stride, eight);
    }
  }
  WalkColumns32(dst, dst_stride, src, src_stride, walks.subspan(first));
}
