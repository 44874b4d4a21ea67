// Lists that own the objects their factories made: appending, and deletion of one object, of
// those of a group id and of all, in the order they were made. Each list keeps an index from an
// object to its place, so that deleting one object of many costs the same whichever it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <unordered_map>
#include <utility>

template <class T>
class OwnedObjects {
 public:
  using Held = std::list<std::unique_ptr<T>>;
  using const_iterator = typename Held::const_iterator;

  OwnedObjects() = default;
  OwnedObjects(const OwnedObjects&) = delete;
  OwnedObjects& operator=(const OwnedObjects&) = delete;
  ~OwnedObjects() { DestroyInOrder(); }

  // Appends the object and hands it out through `out` when one is given: 0.
  template <class Made>
  uint32_t Append(std::unique_ptr<Made> object, Made** out = nullptr) {
    Made* made = object.get();
    list_.push_back(std::move(object));
    try {
      index_.emplace(list_.back().get(), std::prev(list_.end()));
    } catch (...) {
      list_.pop_back();
      throw;
    }
    if (out != nullptr) *out = made;
    return 0;
  }

  // 1 for null, 2 when not listed, else destroys it: 0. The object ends after it has left the
  // list, so that its end may delete others of the list.
  uint32_t Delete(const T* object) {
    if (object == nullptr) return 1;
    const auto found = index_.find(object);
    if (found == index_.end()) return 2;
    std::unique_ptr<T> ending = std::move(*found->second);
    list_.erase(found->second);
    index_.erase(found);
    ending.reset();
    return 0;
  }

  bool Contains(const T* object) const { return object != nullptr && index_.contains(object); }

  // Destroys the objects whose GetId() is `id`, or with `other_ids` those whose id is not, in
  // the order they were made, once all of them have left the list.
  void DeleteWhereId(uint32_t id, bool other_ids) {
    Held ending;
    for (auto held = list_.begin(); held != list_.end();) {
      const auto next = std::next(held);
      if (((*held)->GetId() == id) != other_ids) {
        index_.erase(held->get());
        ending.splice(ending.end(), list_, held);
      }
      held = next;
    }
    for (std::unique_ptr<T>& object : ending) object.reset();
  }

  // Destroys first to last, as the objects were made; each has left the list when it ends.
  void DestroyInOrder() {
    while (!list_.empty()) {
      std::unique_ptr<T> ending = std::move(list_.front());
      index_.erase(ending.get());
      list_.pop_front();
      ending.reset();
    }
  }

  const_iterator begin() const { return list_.begin(); }
  const_iterator end() const { return list_.end(); }
  std::size_t size() const { return list_.size(); }
  bool empty() const { return list_.empty(); }
  const std::unique_ptr<T>& front() const { return list_.front(); }
  const std::unique_ptr<T>& back() const { return list_.back(); }

 private:
  Held list_;
  std::unordered_map<const T*, typename Held::iterator> index_;
};

// Deletes through `erase` (a delete of the owner's list); on 0 the caller's pointer becomes
// null. The status of `erase`.
template <class T, class Erase>
uint32_t DeleteOwnedRef(T*& object, Erase&& erase) {
  const uint32_t status = erase(object);
  if (status == 0) object = nullptr;
  return status;
}
