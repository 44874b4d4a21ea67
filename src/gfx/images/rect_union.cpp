#include "gfx/images/rect_union.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

using plat::Rect;

namespace {

struct Span {
  int32_t left;
  int32_t right;
};

// A rectangle of the union whose bottom is not known yet: its span, and its place in the result.
struct OpenRect {
  Span span;
  size_t slot;
};

// The rectangles in the order of their tops, and every row where a rectangle starts or ends.
struct SweepOrder {
  std::vector<Rect> by_top;
  std::vector<int32_t> edges;
};

// Rows not many more than the rectangles are counted into buckets; otherwise sorted.
SweepOrder OrderForSweep(std::vector<Rect> rects) {
  SweepOrder order;
  if (rects.empty()) return order;
  int64_t first = rects[0].top;
  int64_t last = rects[0].bottom;
  for (const Rect& rect : rects) {
    first = std::min<int64_t>(first, rect.top);
    last = std::max<int64_t>(last, rect.bottom);
  }
  const auto rows = static_cast<size_t>(last - first + 1);
  if (rows > rects.size() * 4 + 4096) {
    for (const Rect& rect : rects) {
      order.edges.push_back(rect.top);
      order.edges.push_back(rect.bottom);
    }
    std::sort(order.edges.begin(), order.edges.end());
    order.edges.erase(std::unique(order.edges.begin(), order.edges.end()), order.edges.end());
    std::sort(rects.begin(), rects.end(), [](const Rect& a, const Rect& b) { return a.top < b.top; });
    order.by_top = std::move(rects);
    return order;
  }
  const auto row_of = [first](int32_t y) { return static_cast<size_t>(y - first); };
  std::vector<uint32_t> starts(rows + 1, 0);
  std::vector<uint8_t> is_edge(rows, 0);
  for (const Rect& rect : rects) {
    ++starts[row_of(rect.top) + 1];
    is_edge[row_of(rect.top)] = 1;
    is_edge[row_of(rect.bottom)] = 1;
  }
  for (size_t row = 1; row <= rows; ++row) starts[row] += starts[row - 1];
  order.by_top.resize(rects.size());
  for (const Rect& rect : rects) order.by_top[starts[row_of(rect.top)]++] = rect;
  for (size_t row = 0; row < rows; ++row) {
    if (is_edge[row] != 0) order.edges.push_back(static_cast<int32_t>(first + static_cast<int64_t>(row)));
  }
  return order;
}

// The spans that the rectangles crossing a band cover, the rectangles sorted by left: touching
// and overlapping ones joined.
void CoveredSpans(const std::vector<Rect>& crossing, std::vector<Span>& spans) {
  spans.clear();
  for (const Rect& rect : crossing) {
    if (!spans.empty() && rect.left <= spans.back().right) {
      spans.back().right = std::max(spans.back().right, rect.right);
    } else {
      spans.push_back({rect.left, rect.right});
    }
  }
}

// Carries the open rectangles (sorted by left) into the band starting at y: a span that an open
// rectangle matches exactly lengthens it, the other open rectangles end at y, and the other
// spans open new ones. Rectangles take their places in the result as they open, which is the
// order of their tops and then their lefts.
void CarryIntoBand(int32_t y, const std::vector<Span>& spans, std::vector<OpenRect>& open, std::vector<Rect>& result) {
  std::vector<OpenRect> carried;
  carried.reserve(spans.size());
  size_t o = 0;
  size_t s = 0;
  while (o < open.size() || s < spans.size()) {
    if (s == spans.size() || (o < open.size() && open[o].span.left <= spans[s].left)) {
      if (s < spans.size() && open[o].span.left == spans[s].left && open[o].span.right == spans[s].right) {
        carried.push_back(open[o]);
        ++s;
      } else {
        result[open[o].slot].bottom = y;
      }
      ++o;
    } else {
      carried.push_back({spans[s], result.size()});
      result.push_back({spans[s].left, y, spans[s].right, y});
      ++s;
    }
  }
  open.swap(carried);
}

}  // namespace

std::vector<Rect> UnionOfRects(std::vector<Rect> rects) {
  std::erase_if(rects, [](const Rect& r) { return r.left >= r.right || r.top >= r.bottom; });
  SweepOrder order = OrderForSweep(std::move(rects));
  const auto by_left = [](const Rect& a, const Rect& b) { return a.left < b.left; };
  std::vector<Rect> crossing;
  std::vector<Rect> merged;
  std::vector<Span> spans;
  std::vector<OpenRect> open;
  std::vector<Rect> result;
  auto next = order.by_top.begin();
  for (const int32_t y : order.edges) {
    std::erase_if(crossing, [y](const Rect& r) { return r.bottom <= y; });
    // The rectangles starting at y, sorted among themselves, merge into the crossing ones in one
    // pass instead of each being inserted into the middle.
    const auto arriving = next;
    while (next != order.by_top.end() && next->top == y) ++next;
    std::sort(arriving, next, by_left);
    merged.clear();
    std::merge(crossing.begin(), crossing.end(), arriving, next, std::back_inserter(merged), by_left);
    crossing.swap(merged);
    CoveredSpans(crossing, spans);
    CarryIntoBand(y, spans, open, result);
  }
  return result;
}
