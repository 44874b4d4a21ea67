// A chain of drawables sorted by an unsigned priority, ascending from head to tail. A layer
// paints it from the tail to the head, so the head lies on top: a lower number lies above a
// higher one. Each node remembers where its drawable was last painted, so that a drawable that
// moves, hides or leaves uncovers exactly that area. The list never owns its drawables.
#pragma once

#include <cstdint>

#include "base/lifetime/priority_runs.h"
#include "gfx/images/draw_layer_interface.h"
#include "scene/drawables/draw_list_node.h"
#include "scene/drawables/drawable.h"

#include "platform/system/geometry.h"

class CDrawLayer;

class CDrawList : public IDrawList {
 public:
  // A left edge of -1: the drawable has not been painted since it was listed or forgotten.
  static constexpr int32_t kNotPainted = CDrawListNode::kNotPainted;
  // A selection argument with all bits set matches every node.
  static constexpr uint32_t kAny = 0xFFFFFFFF;
  // Status of Insert and InsertBehind.
  static constexpr uint32_t kNullDrawable = 1;
  static constexpr uint32_t kAlreadyListed = 2;
  static constexpr uint32_t kNoMemory = 3;

  using Node = CDrawListNode;

  CDrawList() = default;
  CDrawList(const CDrawList&) = delete;
  CDrawList& operator=(const CDrawList&) = delete;
  // Unbinds from the layer it is attached to and unlists its drawables.
  ~CDrawList() override;

  // 0; 1 null; 2 the drawable is in a list already (nothing changes); 3 no memory. The node goes
  // above every node of the same priority; the drawable is marked dirty.
  uint32_t Insert(CDrawable* drawable, uint32_t priority, uint32_t tag);
  // As Insert, but below every node of the same priority.
  uint32_t InsertBehind(CDrawable* drawable, uint32_t priority, uint32_t tag);
  // False for null, an empty list or a drawable listed elsewhere. With keep_if_same and an
  // unchanged priority: true, nothing changes. Otherwise re-linked as Insert (SetPriority) or
  // InsertBehind (SetPriorityBehind) would, keeping tag and last painted area; marked dirty.
  bool SetPriority(CDrawable* drawable, uint32_t priority, bool keep_if_same);
  bool SetPriorityBehind(CDrawable* drawable, uint32_t priority, bool keep_if_same);
  // The last painted area goes to the layer's region; the owner is cleared. False when the
  // drawable has no node here.
  bool Remove(CDrawable* drawable);
  // Removes every node of the priority, or with invert every node of another priority.
  void RemovePriority(uint32_t priority, bool invert);
  // Removes the nodes whose tag and drawable id pass the tests (kAny passes; else equality,
  // inequality with invert).
  void RemoveWhere(uint32_t tag, uint32_t id, bool invert);
  void SetEnabledWhere(bool enabled, uint32_t priority, uint32_t tag, uint32_t id, bool invert);
  // Unlists every drawable without marking anything for repainting.
  void Clear();
  // 0 in no layer; else the layer's Invalidate.
  uint32_t Invalidate(const plat::Rect* rect);

  CDrawLayer* GetLayer() const { return layer_; }
  bool IsEmpty() const { return nodes_.empty(); }
  // From the head (on top) to the tail.
  const CDrawListNodes& Nodes() const { return nodes_; }

 private:
  friend class CDrawLayer;
  using NodeIter = CDrawListNodes::iterator;

  uint32_t Link(CDrawable* drawable, uint32_t priority, uint32_t tag, bool behind);
  bool Relink(CDrawable* drawable, uint32_t priority, bool keep_if_same, bool behind);
  // The drawable's node when it is listed here, else the end: kept by the drawable, so that
  // removing each of many drawables does not walk the list.
  NodeIter Find(const CDrawable* drawable);
  NodeIter Erase(NodeIter node);
  template <typename Pred>
  void RemoveIf(Pred pred);

  CDrawListNodes nodes_;
  // Where each priority's nodes begin: a node goes in front of the first node of a greater or
  // equal priority, or of a strictly greater one when behind, without a walk of the list.
  PriorityRuns<Node> runs_;
  CDrawLayer* layer_ = nullptr;
};
