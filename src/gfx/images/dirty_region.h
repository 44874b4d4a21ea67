// The changed parts of an image or of the screen: pairwise disjoint rectangles in one sorted,
// circular, doubly linked list (by top, then left), with a bounding box. Nodes come from one
// program-wide pool that grows 256 nodes at a time, so that the steady state allocates nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/system/geometry.h"

struct DirtyRectNode {
  plat::Rect rect;
  DirtyRectNode* prev = nullptr;
  DirtyRectNode* next = nullptr;
};

class CRectNodePool {
 public:
  static constexpr uint32_t kGrowth = 256;

  constexpr CRectNodePool() = default;

  DirtyRectNode* Take();
  void GiveBack(DirtyRectNode* node);
  void Grow();

  // Nodes allocated and not yet freed, and how many of them are free.
  uint32_t Total() const { return total_; }
  uint32_t FreeCount() const;

 private:
  struct Storage {
    std::vector<std::unique_ptr<DirtyRectNode[]>> blocks;
    std::vector<DirtyRectNode*> free_list;
  };
  static void GiveBackSpareAtExit();

  // Left alone by static destruction, so that regions that end later can still give back.
  uint32_t total_ = 0;
  Storage* storage_ = nullptr;
  DirtyRectNode* spare_ = nullptr;
  bool spare_taken_ = false;
};

extern CRectNodePool g_DirtyNodePool;

// True when a and b overlap; the overlap is then written to out when it is given.
bool IntersectRect(plat::Rect* out, const plat::Rect* a, const plat::Rect* b);

class CDirtyRegion {
 public:
  CDirtyRegion() { Reset(); }
  ~CDirtyRegion() { FreeNodes(); }
  CDirtyRegion(const CDirtyRegion&) = delete;
  CDirtyRegion& operator=(const CDirtyRegion&) = delete;

  void Reset();
  void FreeNodes();
  void Clear();
  void AddRect(const plat::Rect* rect);
  // Many rectangles at once: the region becomes the union of its own and these, laid out anew in
  // one sweep, where adding them one by one would walk the list for each.
  void AddRects(std::span<const plat::Rect> rects);
  bool InsertRect(const plat::Rect* rect);
  void RemoveNode(DirtyRectNode* node);
  void CutRect(DirtyRectNode* node, const plat::Rect* rect);
  void RecomputeBounds();
  void Coalesce();

  DirtyRectNode* Head() const { return head_; }
  uint32_t Count() const { return count_; }
  const plat::Rect& BoundingBox() const { return bounds_; }
  bool BoundsValid() const { return bounds_valid_; }

  // Calls fn(rect) for every rectangle from the head along the next links.
  template <typename Fn>
  void ForEachRect(Fn&& fn) const {
    DirtyRectNode* node = head_;
    for (uint32_t i = 0; i < count_; ++i, node = node->next) fn(node->rect);
  }

 private:
  DirtyRectNode* NewNode(const plat::Rect& rect);
  void LinkBefore(DirtyRectNode* node, DirtyRectNode* before);
  DirtyRectNode* NodeAt(uint32_t position) const;
  bool MergeHorizontally(DirtyRectNode* n);

  CRectNodePool* pool_ = &g_DirtyNodePool;
  DirtyRectNode* head_ = nullptr;
  DirtyRectNode* cursor_ = nullptr;
  uint32_t count_ = 0;
  plat::Rect bounds_;
  bool bounds_valid_ = false;
  std::vector<DirtyRectNode*> overlapping_;
};
