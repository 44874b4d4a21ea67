// The objects that draw straight into the back surface when no frame image is shown, kept in a
// list sorted by descending priority: the head is drawn first, so lower priorities land on top.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <list>

#include "base/lifetime/handle_table.h"
#include "base/lifetime/priority_runs.h"
#include "platform/system/geometry.h"
#include "platform/window/surface.h"

class CRenderList;
class CRenderObject;
class CScreenManager;

// One object's place in a render list, apart from the list, so that an object keeps its own
// node and leaves its list without a search.
struct CRenderListNode {
  CRenderObject* object;
  uint32_t priority;
  uint8_t tag;
};
using CRenderListNodes = std::list<CRenderListNode>;

// A coordinate plus an offset, held at the ends of the 32-bit range: both come from scripts.
inline int32_t OffsetCoordinate(int32_t origin, int32_t by) {
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{origin} + by, INT32_MIN, INT32_MAX));
}

enum class ERenderObjectKind : uint8_t {
  kRenderImage = 0,
  kCanvasImage = 1,
  kTransition = 2,
  kMoviePrimitive = 3,
  kTexturedQuad = 4,
  kCanvasQuad = 5,
  kRectPrim = 6,
  kPolygonPrim = 7,
  kTrianglePrim = 8,
  kRenderStateBlock = 9,
  kBlendStateBlock = 10,
};

// The object's operations stand in a fixed order that every render object shares. An object
// without a place (the state blocks) keeps the base's answers: at (0, 0), unmoved, never hit.
class CRenderObject : public ScriptVisible<CRenderObject> {
 public:
  CRenderObject() = default;
  CRenderObject(const CRenderObject&) = delete;
  CRenderObject& operator=(const CRenderObject&) = delete;
  // Leaves the list that holds it.
  virtual ~CRenderObject();

  virtual uint8_t IsEnabled() const { return enabled_; }
  virtual void SetEnabled(uint8_t enabled) { enabled_ = enabled; }
  virtual ERenderObjectKind GetKind() const = 0;
  virtual int32_t GetX() const { return 0; }
  virtual int32_t GetY() const { return 0; }
  virtual void SetPosition(int32_t, int32_t) {}
  // Displayed size; for the triangle and the polygon the width is a 16.16 scale.
  virtual void SetSize(int32_t, int32_t) {}
  virtual void SetSizeAndPosition(int32_t width, int32_t height, int32_t x, int32_t y) {
    SetSize(width, height);
    SetPosition(x, y);
  }
  virtual void MoveBy(int32_t dx, int32_t dy) {
    SetPosition(OffsetCoordinate(GetX(), dx), OffsetCoordinate(GetY(), dy));
  }
  virtual bool HitTest(int32_t, int32_t, bool) const { return false; }
  // True when both have bounds and they intersect (a shared edge is no overlap).
  virtual bool Overlaps(const CRenderObject& other) const;
  virtual bool GetBounds(plat::Rect*) const { return false; }
  // Draws into the target within the clip rectangle; non-zero stops the render pass. Objects
  // check their own enabled state.
  virtual uint32_t Render(plat::Surface* target, const plat::Rect* clip, CScreenManager* screen) = 0;
  // Re-creates what the object held on the display after a loss.
  virtual uint32_t Restore() = 0;

  CRenderList* GetList() const { return list_; }
  uint32_t GetId() const { return id_; }
  void SetId(uint32_t id) { id_ = id; }

 protected:
  // Whether the list that draws the object asks it to set its render states.
  bool ListAppliesStates() const;

 private:
  friend class CRenderList;
  uint32_t id_ = 0;
  uint8_t enabled_ = 1;
  CRenderList* list_ = nullptr;
  // The object's node in its list; meaningful only while it has one.
  CRenderListNodes::iterator node_{};
};

// Called by every render object's destructor, installed by the layer whose tasks may still
// drive the object, so that they end first.
extern void (*g_RenderObjectDestroyedHook)(CRenderObject* object);

class CRenderList {
 public:
  static constexpr uint32_t kAnyPriority = 0xFFFFFFFF;
  static constexpr int32_t kAnyTag = -1;

  CRenderList() = default;
  CRenderList(const CRenderList&) = delete;
  CRenderList& operator=(const CRenderList&) = delete;
  // The objects stay alive and belong to no list.
  virtual ~CRenderList();

  // 0 added; 1 null object; 2 the object is already in a list; 3 no memory.
  uint32_t AddAfterEqual(CRenderObject* object, uint32_t priority, uint8_t tag);
  uint32_t AddBeforeEqual(CRenderObject* object, uint32_t priority, uint8_t tag);
  // An object not in this list is ignored.
  void Remove(CRenderObject* object);
  // Removes every object of this priority.
  void RemoveByPriority(uint32_t priority);
  // Removes every object; they stay alive and belong to no list.
  void Clear();
  // True when moved; false for an object not in this list, or (with skip_if_same) when it
  // already has the priority.
  bool MoveAfterEqual(CRenderObject* object, uint32_t priority, bool skip_if_same);
  bool MoveBeforeEqual(CRenderObject* object, uint32_t priority, bool skip_if_same);
  // kAnyPriority and kAnyTag match every node; the tag is compared as a byte.
  void SetEnabledWhere(uint8_t enabled, uint32_t priority, int32_t tag);
  // The first non-zero result of an object's Render, or 0.
  uint32_t RenderAll(plat::Surface* target, const plat::Rect* clip, CScreenManager* screen);
  // The first non-zero result of an object's Restore, or 0.
  uint32_t RestoreAll();

  // The listed objects from the head, for inspection.
  template <typename Fn>
  void ForEach(Fn&& fn) const {
    for (const Node& node : nodes_) fn(node.object, node.priority, node.tag);
  }
  size_t Count() const { return nodes_.size(); }
  // Whether the objects set their own render states when drawn (1 from the start).
  uint8_t AppliesStates() const { return apply_states_; }
  void SetApplyStates(uint8_t apply) { apply_states_ = apply; }

 private:
  using Node = CRenderListNode;
  using NodeList = CRenderListNodes;

  uint32_t Add(CRenderObject* object, uint32_t priority, uint8_t tag, bool after_equal);
  bool Move(CRenderObject* object, uint32_t priority, bool skip_if_same, bool after_equal);
  NodeList::iterator Erase(NodeList::iterator node);
  template <typename Call>
  uint32_t ForEachUntilFailure(Call&& call);

  NodeList nodes_;
  // Where each priority's nodes begin, the greatest at the head: a node goes after (or before)
  // the nodes of equal priority without a walk of the list.
  PriorityRuns<Node, std::greater<uint32_t>> runs_;
  uint8_t apply_states_ = 1;
};
