#include "scene/drawables/draw_list.h"

#include <optional>

#include "scene/drawables/draw_layer.h"

namespace {

bool Passes(uint32_t wanted, uint32_t value, bool invert) {
  return wanted == CDrawList::kAny || (value == wanted) != invert;
}

}  // namespace

CDrawList::~CDrawList() {
  // A layer must not paint a list that is gone.
  if (layer_ != nullptr && layer_->GetAttachedList() == this) layer_->SetAttachedList(nullptr);
  Clear();
}

uint32_t CDrawList::Insert(CDrawable* drawable, uint32_t priority, uint32_t tag) {
  return Link(drawable, priority, tag, false);
}

uint32_t CDrawList::InsertBehind(CDrawable* drawable, uint32_t priority, uint32_t tag) {
  return Link(drawable, priority, tag, true);
}

uint32_t CDrawList::Link(CDrawable* drawable, uint32_t priority, uint32_t tag, bool behind) {
  if (drawable == nullptr) return kNullDrawable;
  if (drawable->owner_list_ != nullptr) return kAlreadyListed;
  const std::optional<NodeIter> node =
      runs_.Insert(nodes_, Node{.drawable = drawable, .priority = priority, .tag = tag}, behind);
  if (!node) return kNoMemory;
  drawable->owner_node_ = *node;
  drawable->owner_list_ = this;
  drawable->SetDirty(true);
  return 0;
}

bool CDrawList::SetPriority(CDrawable* drawable, uint32_t priority, bool keep_if_same) {
  return Relink(drawable, priority, keep_if_same, false);
}

bool CDrawList::SetPriorityBehind(CDrawable* drawable, uint32_t priority, bool keep_if_same) {
  return Relink(drawable, priority, keep_if_same, true);
}

bool CDrawList::Relink(CDrawable* drawable, uint32_t priority, bool keep_if_same, bool behind) {
  if (drawable == nullptr || nodes_.empty()) return false;
  const NodeIter node = Find(drawable);
  if (node == nodes_.end()) return false;
  if (keep_if_same && node->priority == priority) return true;
  // Moving keeps the node, and with it the drawable's iterator to it; without memory for the new
  // priority the node stays where it is.
  if (!runs_.Move(nodes_, node, priority, behind)) return false;
  drawable->SetDirty(true);
  return true;
}

CDrawList::NodeIter CDrawList::Find(const CDrawable* drawable) {
  return drawable != nullptr && drawable->owner_list_ == this ? drawable->owner_node_ : nodes_.end();
}

CDrawList::NodeIter CDrawList::Erase(NodeIter node) {
  if (node->last_drawn.left != kNotPainted && layer_ != nullptr) layer_->AddToRegion(node->last_drawn);
  node->drawable->owner_list_ = nullptr;
  return runs_.Erase(nodes_, node);
}

template <typename Pred>
void CDrawList::RemoveIf(Pred pred) {
  for (auto node = nodes_.begin(); node != nodes_.end();) node = pred(*node) ? Erase(node) : std::next(node);
}

bool CDrawList::Remove(CDrawable* drawable) {
  const NodeIter node = Find(drawable);
  if (node == nodes_.end()) return false;
  Erase(node);
  return true;
}

void CDrawList::RemovePriority(uint32_t priority, bool invert) {
  RemoveIf([&](const Node& node) { return (node.priority == priority) != invert; });
}

void CDrawList::RemoveWhere(uint32_t tag, uint32_t id, bool invert) {
  RemoveIf([&](const Node& node) {
    return Passes(tag, node.tag, invert) && Passes(id, node.drawable->GetId(), invert);
  });
}

void CDrawList::SetEnabledWhere(bool enabled, uint32_t priority, uint32_t tag, uint32_t id, bool invert) {
  for (const Node& node : nodes_) {
    if (Passes(priority, node.priority, invert) && Passes(tag, node.tag, invert) &&
        Passes(id, node.drawable->GetId(), invert)) {
      node.drawable->SetEnabled(enabled);
    }
  }
}

void CDrawList::Clear() {
  for (Node& node : nodes_) node.drawable->owner_list_ = nullptr;
  nodes_.clear();
  runs_.Clear();
}

uint32_t CDrawList::Invalidate(const plat::Rect* rect) {
  return layer_ != nullptr ? layer_->Invalidate(rect) : 0;
}
