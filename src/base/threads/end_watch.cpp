#include "base/threads/end_watch.h"

#include <mutex>
#include <unordered_map>

namespace {

// Objects may end on the window thread while the game thread follows one, so the rings are
// guarded. Each followed object has a ring of its watches around a head kept in the map (whose
// nodes never move); the map holds no empty ring. A holder told of an end may end other objects
// (announcing again on the same thread) and with them other watches, or follow other objects.
struct Followers {
  std::recursive_mutex mutex;
  std::unordered_map<const void*, CEndWatchLink> rings;
};

Followers& AllFollowers() {
  static Followers followers;
  return followers;
}

}  // namespace

CEndWatch::~CEndWatch() {
  Followers& followers = AllFollowers();
  const std::lock_guard lock(followers.mutex);
  Leave();
}

void CEndWatch::FollowAddress(const void* object) {
  Followers& followers = AllFollowers();
  const std::lock_guard lock(followers.mutex);
  if (object == followed_) return;
  Leave();
  if (object == nullptr) return;
  CEndWatchLink& head = followers.rings.try_emplace(object).first->second;
  previous = head.previous;
  next = &head;
  head.previous->next = this;
  head.previous = this;
  followed_ = object;
}

void CEndWatch::Leave() {
  if (followed_ == nullptr) return;
  CEndWatchLink* before = previous;
  CEndWatchLink* after = next;
  before->next = after;
  after->previous = before;
  previous = next = this;
  // A head left alone is dropped from the map, unless it is the ring of an end being told.
  if (before == after && before->next == before) {
    const auto ring = AllFollowers().rings.find(followed_);
    if (ring != AllFollowers().rings.end() && &ring->second == before) AllFollowers().rings.erase(ring);
  }
  followed_ = nullptr;
}

void CEndWatch::TellFollowers(const void* ending) {
  Followers& followers = AllFollowers();
  const std::lock_guard lock(followers.mutex);
  const auto found = followers.rings.find(ending);
  if (found == followers.rings.end()) return;
  // The ring moves to a head of this telling: watches that follow the object from now on form a
  // new ring and are not told of an end that began before them.
  CEndWatchLink told;
  CEndWatchLink& head = found->second;
  told.next = head.next;
  told.previous = head.previous;
  told.next->previous = &told;
  told.previous->next = &told;
  followers.rings.erase(found);
  while (told.next != &told) {
    // A holder may end or move the watches not told yet; each leaves the ring before it is told.
    auto* watch = static_cast<CEndWatch*>(told.next);
    watch->Leave();
    watch->handler_(*watch);
  }
}
