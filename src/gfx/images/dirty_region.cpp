#include "gfx/images/dirty_region.h"

#include <algorithm>
#include <cstdlib>

#include "gfx/images/rect_union.h"

using plat::Rect;

constinit CRectNodePool g_DirtyNodePool;

namespace {

bool IsEmpty(const Rect& rect) { return rect.left >= rect.right || rect.top >= rect.bottom; }

// Order of the list: by top, then by left.
bool SortsBefore(const Rect& a, const Rect& b) { return a.top < b.top || (a.top == b.top && a.left < b.left); }

bool SameRows(const Rect& a, const Rect& b) { return a.top == b.top && a.bottom == b.bottom; }

bool Contains(const Rect& outer, const Rect& inner) {
  return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
         outer.bottom >= inner.bottom;
}

void Include(Rect& box, const Rect& rect) {
  box.left = std::min(box.left, rect.left);
  box.top = std::min(box.top, rect.top);
  box.right = std::max(box.right, rect.right);
  box.bottom = std::max(box.bottom, rect.bottom);
}

}  // namespace

DirtyRectNode* CRectNodePool::Take() {
  if (storage_ == nullptr || storage_->free_list.empty()) Grow();
  DirtyRectNode* node = storage_->free_list.back();
  storage_->free_list.pop_back();
  if (!spare_taken_) {
    // One node stays out until the program ends, so that the pool is not freed and grown
    // again each time the last region empties.
    spare_taken_ = true;
    if (storage_->free_list.empty()) Grow();
    spare_ = storage_->free_list.back();
    storage_->free_list.pop_back();
    if (this == &g_DirtyNodePool) std::atexit(&CRectNodePool::GiveBackSpareAtExit);
  }
  return node;
}

void CRectNodePool::GiveBack(DirtyRectNode* node) {
  if (node == nullptr || storage_ == nullptr) return;
  storage_->free_list.push_back(node);  // never allocates: Grow reserved room for every node
  if (storage_->free_list.size() == total_) {
    delete storage_;
    storage_ = nullptr;
    total_ = 0;
  }
}

void CRectNodePool::Grow() {
  if (storage_ == nullptr) storage_ = new Storage();
  auto block = std::make_unique<DirtyRectNode[]>(kGrowth);
  storage_->free_list.reserve(total_ + kGrowth);
  for (uint32_t i = 0; i < kGrowth; ++i) storage_->free_list.push_back(&block[i]);
  storage_->blocks.push_back(std::move(block));
  total_ += kGrowth;
}

uint32_t CRectNodePool::FreeCount() const {
  return storage_ != nullptr ? static_cast<uint32_t>(storage_->free_list.size()) : 0;
}

void CRectNodePool::GiveBackSpareAtExit() {
  DirtyRectNode* spare = g_DirtyNodePool.spare_;
  g_DirtyNodePool.spare_ = nullptr;
  g_DirtyNodePool.GiveBack(spare);
}

bool IntersectRect(Rect* out, const Rect* a, const Rect* b) {
  const Rect overlap{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
                     std::min(a->bottom, b->bottom)};
  if (IsEmpty(overlap)) return false;
  if (out != nullptr) *out = overlap;
  return true;
}

void CDirtyRegion::Reset() {
  head_ = nullptr;
  cursor_ = nullptr;
  count_ = 0;
  bounds_ = Rect{};
  bounds_valid_ = false;
}

void CDirtyRegion::FreeNodes() {
  DirtyRectNode* node = head_;
  for (uint32_t i = 0; i < count_; ++i) {
    DirtyRectNode* next = node->next;
    pool_->GiveBack(node);
    node = next;
  }
}

void CDirtyRegion::Clear() {
  FreeNodes();
  Reset();
}

DirtyRectNode* CDirtyRegion::NewNode(const Rect& rect) {
  DirtyRectNode* node = pool_->Take();
  node->rect = rect;
  return node;
}

void CDirtyRegion::LinkBefore(DirtyRectNode* node, DirtyRectNode* before) {
  node->next = before;
  node->prev = before->prev;
  before->prev->next = node;
  before->prev = node;
  ++count_;
}

void CDirtyRegion::AddRect(const Rect* rect) {
  const Rect r = *rect;
  if (IsEmpty(r)) return;
  if (count_ == 0) {
    InsertRect(&r);
    bounds_ = r;
    bounds_valid_ = true;
    return;
  }
  if (!bounds_valid_) RecomputeBounds();
  const bool meets_box =
      bounds_.left < r.right && bounds_.top < r.bottom && bounds_.right > r.left && bounds_.bottom > r.top;
  if (!meets_box) {
    if (InsertRect(&r)) Include(bounds_, r);
    return;
  }
  Include(bounds_, r);
  // Every node that r overlaps is found before any is cut: cutting the head moves the head,
  // and a walk that stopped on meeting the head again would leave later overlaps in place.
  overlapping_.clear();
  DirtyRectNode* node = head_;
  do {
    if (node->rect.top >= r.bottom) break;
    if (Contains(node->rect, r)) return;
    if (node->rect.left < r.right && node->rect.right > r.left && node->rect.bottom > r.top) {
      overlapping_.push_back(node);
    }
    node = node->next;
  } while (node != head_);
  for (DirtyRectNode* overlapped : overlapping_) {
    cursor_ = overlapped;
    CutRect(overlapped, &r);
  }
  InsertRect(&r);
}

void CDirtyRegion::AddRects(std::span<const Rect> rects) {
  if (rects.empty()) return;
  std::vector<Rect> all(rects.begin(), rects.end());
  ForEachRect([&all](const Rect& rect) { all.push_back(rect); });
  const std::vector<Rect> merged = UnionOfRects(std::move(all));
  Clear();
  // In sorted order every rectangle goes after the last one, which the cursor stays beside.
  for (const Rect& rect : merged) InsertRect(&rect);
  RecomputeBounds();
  bounds_valid_ = count_ != 0;
}

bool CDirtyRegion::InsertRect(const Rect* rect) {
  const Rect r = *rect;
  if (IsEmpty(r)) return false;
  if (count_ == 0) {
    DirtyRectNode* node = NewNode(r);
    node->prev = node;
    node->next = node;
    head_ = node;
    cursor_ = node;
    count_ = 1;
    return true;
  }
  if (cursor_ == nullptr) cursor_ = head_;
  if (!SortsBefore(r, cursor_->rect)) {
    for (;;) {
      DirtyRectNode* next = cursor_->next;
      if (next == head_) {
        if (SameRows(cursor_->rect, r) && cursor_->rect.right == r.left) {
          cursor_->rect.right = r.right;
        } else {
          LinkBefore(NewNode(r), head_);
        }
        return true;
      }
      if (SortsBefore(r, next->rect)) {
        if (SameRows(next->rect, r) && next->rect.left == r.right) {
          next->rect.left = r.left;
          if (SameRows(cursor_->rect, r) && cursor_->rect.right == r.left) {
            next->rect.left = cursor_->rect.left;
            RemoveNode(cursor_);
          }
        } else {
          LinkBefore(NewNode(r), next);
        }
        return true;
      }
      cursor_ = next;
    }
  }
  for (;;) {
    if (cursor_ == head_) {
      if (SameRows(head_->rect, r) && head_->rect.left == r.right) {
        head_->rect.left = r.left;
      } else {
        DirtyRectNode* node = NewNode(r);
        LinkBefore(node, head_);
        head_ = node;
      }
      return true;
    }
    DirtyRectNode* prev = cursor_->prev;
    if (SortsBefore(prev->rect, r)) {
      if (SameRows(cursor_->rect, r) && cursor_->rect.left == r.right) {
        cursor_->rect.left = r.left;
      } else {
        LinkBefore(NewNode(r), cursor_);
      }
      return true;
    }
    cursor_ = prev;
  }
}

void CDirtyRegion::RemoveNode(DirtyRectNode* node) {
  if (node == head_) head_ = node->next;
  --count_;
  if (count_ == 0) {
    head_ = nullptr;
    cursor_ = nullptr;
  } else {
    if (node == cursor_) cursor_ = node->prev;
    node->prev->next = node->next;
    node->next->prev = node->prev;
  }
  pool_->GiveBack(node);
}

void CDirtyRegion::CutRect(DirtyRectNode* node, const Rect* rect) {
  const Rect n = node->rect;
  const Rect& r = *rect;
  const int32_t shared_top = std::max(n.top, r.top);
  const int32_t shared_bottom = std::min(n.bottom, r.bottom);
  const bool above = n.top < r.top;
  const bool left = n.left < r.left;
  const bool right = n.right > r.right;
  const bool below = n.bottom > r.bottom;
  const Rect left_part{n.left, shared_top, r.left, shared_bottom};
  const Rect right_part{r.right, shared_top, n.right, shared_bottom};
  const Rect below_part{n.left, r.bottom, n.right, n.bottom};
  bool node_kept = true;
  if (above) {
    node->rect = Rect{n.left, n.top, n.right, r.top};
    if (left) InsertRect(&left_part);
  } else if (left) {
    node->rect = left_part;
  } else {
    node_kept = false;
  }
  if (right) InsertRect(&right_part);
  if (below) InsertRect(&below_part);
  if (!node_kept) RemoveNode(node);
}

void CDirtyRegion::RecomputeBounds() {
  if (count_ == 0) {
    bounds_ = Rect{};
    return;
  }
  bounds_ = head_->rect;
  ForEachRect([this](const Rect& rect) { Include(bounds_, rect); });
}

DirtyRectNode* CDirtyRegion::NodeAt(uint32_t position) const {
  DirtyRectNode* node = head_;
  for (uint32_t i = 0; i < position; ++i) node = node->next;
  return node;
}

// Joins n with the nodes beside it that share some of its rows; true when the list changed so
// that the pass must look at n again.
bool CDirtyRegion::MergeHorizontally(DirtyRectNode* n) {
  Rect& a = n->rect;
  DirtyRectNode* m = n->next;
  while (m != head_ && m->rect.top < a.bottom) {
    Rect& b = m->rect;
    const bool on_left = a.left == b.right;
    const bool on_right = a.right == b.left;
    if (!on_left && !on_right) {
      m = m->next;
      continue;
    }
    if (on_right && a.top == b.top) {
      if (a.bottom == b.bottom) {
        a.right = b.right;
        RemoveNode(m);
        return true;
      }
      if (a.bottom > b.bottom) {
        const Rect rest{a.left, b.bottom, b.left, a.bottom};
        a = Rect{a.left, a.top, b.right, b.bottom};
        b = rest;
      } else {
        a.right = b.right;
        b.top = a.bottom;
      }
      const Rect moved = b;
      RemoveNode(m);
      cursor_ = n;
      InsertRect(&moved);
      return true;
    }
    if (a.bottom == b.bottom) {
      // The shared band goes to m over both widths; n keeps the rows above it.
      a.bottom = b.top;
      if (on_left) {
        b.right = a.right;
      } else {
        b.left = a.left;
      }
      m = m->next;
      continue;
    }
    Rect split;
    if (b.bottom < a.bottom) {
      split = Rect{a.left, b.bottom, a.right, a.bottom};
    } else {
      split = Rect{b.left, a.bottom, b.right, b.bottom};
      b.bottom = a.bottom;
    }
    a.bottom = b.top;
    if (on_left) {
      b.right = a.right;
    } else {
      b.left = a.left;
    }
    const Rect moved = b;
    RemoveNode(m);
    cursor_ = n;
    InsertRect(&moved);
    cursor_ = n;
    InsertRect(&split);
    return true;
  }
  return false;
}

void CDirtyRegion::Coalesce() {
  if (count_ < 2) return;
  uint32_t position = 0;
  for (;;) {
    DirtyRectNode* n = NodeAt(position);
    if (n->next == head_) break;
    if (!MergeHorizontally(n)) ++position;
  }
  if (count_ < 2) return;
  DirtyRectNode* n = head_;
  do {
    DirtyRectNode* m = n->next;
    while (m != head_ && m->rect.top <= n->rect.bottom) {
      DirtyRectNode* next = m->next;
      if (m->rect.top == n->rect.bottom && m->rect.left == n->rect.left && m->rect.right == n->rect.right) {
        n->rect.bottom = m->rect.bottom;
        RemoveNode(m);
      }
      m = next;
    }
    n = n->next;
  } while (n != head_);
}
