#include "gfx/display/render_list.h"

#include <optional>

void (*g_RenderObjectDestroyedHook)(CRenderObject* object) = nullptr;

bool CRenderObject::Overlaps(const CRenderObject& other) const {
  plat::Rect mine;
  plat::Rect theirs;
  return GetBounds(&mine) && other.GetBounds(&theirs) && mine.left < theirs.right && theirs.left < mine.right &&
         mine.top < theirs.bottom && theirs.top < mine.bottom;
}

CRenderObject::~CRenderObject() {
  if (g_RenderObjectDestroyedHook != nullptr) g_RenderObjectDestroyedHook(this);
  if (list_ != nullptr) list_->Remove(this);
}

bool CRenderObject::ListAppliesStates() const { return list_ != nullptr && list_->AppliesStates() != 0; }

CRenderList::~CRenderList() { Clear(); }

void CRenderList::Clear() {
  for (Node& node : nodes_) node.object->list_ = nullptr;
  nodes_.clear();
  runs_.Clear();
}

uint32_t CRenderList::AddAfterEqual(CRenderObject* object, uint32_t priority, uint8_t tag) {
  return Add(object, priority, tag, true);
}

uint32_t CRenderList::AddBeforeEqual(CRenderObject* object, uint32_t priority, uint8_t tag) {
  return Add(object, priority, tag, false);
}

uint32_t CRenderList::Add(CRenderObject* object, uint32_t priority, uint8_t tag, bool after_equal) {
  if (object == nullptr) return 1;
  if (object->list_ != nullptr) return 2;
  const std::optional<NodeList::iterator> node = runs_.Insert(nodes_, Node{object, priority, tag}, after_equal);
  if (!node) return 3;
  object->node_ = *node;
  object->list_ = this;
  return 0;
}

CRenderList::NodeList::iterator CRenderList::Erase(NodeList::iterator node) {
  node->object->list_ = nullptr;
  return runs_.Erase(nodes_, node);
}

void CRenderList::Remove(CRenderObject* object) {
  if (object != nullptr && object->list_ == this) Erase(object->node_);
}

void CRenderList::RemoveByPriority(uint32_t priority) {
  auto it = nodes_.begin();
  while (it != nodes_.end() && it->priority != priority) ++it;
  while (it != nodes_.end() && it->priority == priority) it = Erase(it);
}

bool CRenderList::MoveAfterEqual(CRenderObject* object, uint32_t priority, bool skip_if_same) {
  return Move(object, priority, skip_if_same, true);
}

bool CRenderList::MoveBeforeEqual(CRenderObject* object, uint32_t priority, bool skip_if_same) {
  return Move(object, priority, skip_if_same, false);
}

bool CRenderList::Move(CRenderObject* object, uint32_t priority, bool skip_if_same, bool after_equal) {
  if (object == nullptr || object->list_ != this) return false;
  if (skip_if_same && object->node_->priority == priority) return false;
  // Moving keeps the node, and with it the object's iterator to it; without memory for the new
  // priority the node stays where it is.
  return runs_.Move(nodes_, object->node_, priority, after_equal);
}

void CRenderList::SetEnabledWhere(uint8_t enabled, uint32_t priority, int32_t tag) {
  for (Node& node : nodes_) {
    const bool priority_matches = priority == kAnyPriority || node.priority == priority;
    const bool tag_matches = tag == kAnyTag || node.tag == static_cast<uint8_t>(tag);
    if (priority_matches && tag_matches) node.object->SetEnabled(enabled);
  }
}

// The pass steps to the next node before calling an object, so that an object may leave the
// list (or be destroyed) while it draws or restores.
template <typename Call>
uint32_t CRenderList::ForEachUntilFailure(Call&& call) {
  for (auto it = nodes_.begin(); it != nodes_.end();) {
    CRenderObject* object = (it++)->object;
    if (uint32_t status = call(*object); status != 0) return status;
  }
  return 0;
}

uint32_t CRenderList::RenderAll(plat::Surface* target, const plat::Rect* clip, CScreenManager* screen) {
  return ForEachUntilFailure([&](CRenderObject& object) { return object.Render(target, clip, screen); });
}

uint32_t CRenderList::RestoreAll() {
  return ForEachUntilFailure([](CRenderObject& object) { return object.Restore(); });
}
