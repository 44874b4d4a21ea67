// Lists that own the objects their factories made: appending, and deletion of one object, of
// those of a group id and of all, in the order they were made.
#pragma once

#include <algorithm>
#include <cstdint>
#include <list>
#include <memory>
#include <utility>

// Appends the object and hands it out through `out`: 0.
template <class Held, class T>
uint32_t AppendOwned(std::list<std::unique_ptr<Held>>& list, std::unique_ptr<T> object, T** out) {
  *out = object.get();
  list.push_back(std::move(object));
  return 0;
}

// Finds the object by identity: 1 for null, 2 when not listed, else destroys it: 0.
template <class T>
uint32_t DeleteOwned(std::list<std::unique_ptr<T>>& list, const T* object) {
  if (object == nullptr) return 1;
  const auto found =
      std::find_if(list.begin(), list.end(), [object](const std::unique_ptr<T>& held) { return held.get() == object; });
  if (found == list.end()) return 2;
  list.erase(found);
  return 0;
}

// Deletes through `erase` (a delete above on the owner's list); on 0 the caller's pointer
// becomes null. The status of `erase`.
template <class T, class Erase>
uint32_t DeleteOwnedRef(T*& object, Erase&& erase) {
  const uint32_t status = erase(object);
  if (status == 0) object = nullptr;
  return status;
}

// Destroys the objects whose GetId() is `id`, or with `other_ids` those whose id is not.
template <class T>
void DeleteOwnedWhereId(std::list<std::unique_ptr<T>>& list, uint32_t id, bool other_ids) {
  list.remove_if([id, other_ids](const std::unique_ptr<T>& held) { return (held->GetId() == id) != other_ids; });
}

// Destroys first to last, as the objects were made, then empties the list.
template <class T>
void DestroyOwnedInOrder(std::list<std::unique_ptr<T>>& list) {
  for (std::unique_ptr<T>& held : list) held.reset();
  list.clear();
}
