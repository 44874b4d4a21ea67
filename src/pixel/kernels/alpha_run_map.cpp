#include "pixel/kernels/alpha_run_map.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace {

AlphaKind KindOf(uint32_t pixel) {
  const uint32_t alpha = pixel >> 24;
  return alpha == 0 ? AlphaKind::kClear : alpha == 255 ? AlphaKind::kOpaque : AlphaKind::kMixed;
}

// Adds begin..end to the row, joined to the last run when it is of the same kind.
void AppendRun(std::vector<AlphaRun>& runs, int32_t begin, int32_t end, AlphaKind kind) {
  if (begin >= end) return;
  if (!runs.empty() && runs.back().kind == kind && runs.back().end == begin) {
    runs.back().end = end;
    return;
  }
  runs.push_back({begin, end, kind});
}

void MapRow(const uint32_t* row, int32_t width, int32_t shortest_run, std::vector<AlphaRun>& runs) {
  int32_t begin = 0;
  while (begin < width) {
    const AlphaKind kind = KindOf(row[begin]);
    int32_t end = begin + 1;
    while (end < width && KindOf(row[end]) == kind) ++end;
    AppendRun(runs, begin, end, end - begin < shortest_run ? AlphaKind::kMixed : kind);
    begin = end;
  }
}

}  // namespace

AlphaRunMap AlphaRunMap::Build(const uint32_t* pixels, intptr_t pitch, int32_t width, int32_t height,
                               int32_t shortest_run) {
  AlphaRunMap map;
  map.width_ = std::max(width, 0);
  map.height_ = std::max(height, 0);
  map.rows_.resize(static_cast<size_t>(map.height_));
  const auto* bytes = reinterpret_cast<const uint8_t*>(pixels);
  for (int32_t y = 0; y < map.height_; ++y) {
    MapRow(reinterpret_cast<const uint32_t*>(bytes + pitch * y), map.width_, std::max(shortest_run, 1),
           map.rows_[static_cast<size_t>(y)]);
    for (const AlphaRun& run : map.rows_[static_cast<size_t>(y)]) {
      map.has_clear_ = map.has_clear_ || run.kind == AlphaKind::kClear;
      map.has_opaque_ = map.has_opaque_ || run.kind == AlphaKind::kOpaque;
    }
  }
  return map;
}

void AlphaRunMap::ResetToUnknown(int32_t width, int32_t height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  has_clear_ = false;
  has_opaque_ = false;
  rows_.resize(static_cast<size_t>(height_));
  for (std::vector<AlphaRun>& row : rows_) {
    row.clear();
    AppendRun(row, 0, width_, AlphaKind::kMixed);
  }
}

template <typename Fill>
void AlphaRunMap::SpliceRow(int32_t y, int32_t x, int32_t width, Fill&& fill) {
  std::vector<AlphaRun>& row = rows_[static_cast<size_t>(y)];
  scratch_.clear();
  const int32_t end = x + width;
  for (const AlphaRun& run : row) AppendRun(scratch_, run.begin, std::min(run.end, x), run.kind);
  fill([this](int32_t begin, int32_t run_end, AlphaKind kind) { AppendRun(scratch_, begin, run_end, kind); });
  for (const AlphaRun& run : row) AppendRun(scratch_, std::max(run.begin, end), run.end, run.kind);
  row.swap(scratch_);
}

// In place: the runs that the area touches give way to the clear run, joined to clear
// neighbours, and to what is left of the first and the last of them outside the area. (Next
// runs always differ in kind, so only those two and their outer neighbours can join it.)
void AlphaRunMap::MarkClear(int32_t x, int32_t y, int32_t width, int32_t height) {
  has_clear_ = has_clear_ || (width > 0 && height > 0);
  const int32_t end = x + width;
  for (int32_t row = y; row < y + height; ++row) {
    std::vector<AlphaRun>& runs = rows_[static_cast<size_t>(row)];
    size_t first = RunAt(runs, x);
    size_t last = RunAt(runs, end - 1);
    const AlphaRun left = runs[first];
    const AlphaRun right = runs[last];
    if (first == last && left.kind == AlphaKind::kClear) continue;
    std::array<AlphaRun, 3> pieces{};
    size_t count = 0;
    AlphaRun clear{x, end, AlphaKind::kClear};
    if (left.kind == AlphaKind::kClear) {
      clear.begin = left.begin;
    } else if (left.begin < x) {
      pieces[count++] = {left.begin, x, left.kind};
    } else if (first > 0 && runs[first - 1].kind == AlphaKind::kClear) {
      clear.begin = runs[--first].begin;
    }
    if (right.kind == AlphaKind::kClear) {
      clear.end = right.end;
    } else if (right.end == end && last + 1 < runs.size() && runs[last + 1].kind == AlphaKind::kClear) {
      clear.end = runs[++last].end;
    }
    pieces[count++] = clear;
    if (right.kind != AlphaKind::kClear && right.end > end) pieces[count++] = {end, right.end, right.kind};
    const auto replaced = static_cast<std::ptrdiff_t>(last - first + 1);
    const auto at = runs.begin() + static_cast<std::ptrdiff_t>(first);
    if (replaced >= static_cast<std::ptrdiff_t>(count)) {
      std::copy_n(pieces.begin(), count, at);
      runs.erase(at + static_cast<std::ptrdiff_t>(count), at + replaced);
    } else {
      std::copy_n(pieces.begin(), replaced, at);
      runs.insert(at + replaced, pieces.begin() + replaced, pieces.begin() + static_cast<std::ptrdiff_t>(count));
    }
  }
}

void AlphaRunMap::CopyArea(const AlphaRunMap& source, int32_t source_x, int32_t source_y, int32_t x, int32_t y,
                           int32_t width, int32_t height) {
  has_clear_ = has_clear_ || source.has_clear_;
  has_opaque_ = has_opaque_ || source.has_opaque_;
  const int32_t shift = x - source_x;
  // A background copied whole, each frame: its rows as they are.
  if (x == 0 && source_x == 0 && width == width_ && width == source.width_) {
    for (int32_t row = 0; row < height; ++row) {
      rows_[static_cast<size_t>(y + row)] = source.rows_[static_cast<size_t>(source_y + row)];
    }
    return;
  }
  for (int32_t row = 0; row < height; ++row) {
    SpliceRow(y + row, x, width, [&](auto&& append) {
      for (const AlphaRun& run : source.Row(source_y + row)) {
        const int32_t begin = std::max(run.begin, source_x);
        const int32_t end = std::min(run.end, source_x + width);
        if (begin < end) append(begin + shift, end + shift, run.kind);
      }
    });
  }
}
