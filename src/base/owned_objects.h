// Lists that own the objects their factories made: the steps every such factory shares, and
// deletion of one object, of those of a group id and of all, in the order they were made.
#pragma once

#include <algorithm>
#include <cstdint>
#include <list>
#include <memory>
#include <new>
#include <utility>

// Sets `out` to null, makes the object (else returns `no_memory`) and has `create` fill it; a
// non-zero status of `create` is returned unchanged and the half-made object destroyed. A filled
// object goes to `keep`, which lists it and hands it out through `out`; its status is returned.
// `args` go to the object's constructor.
template <class T, class Create, class Keep, class... Args>
uint32_t MakeOwnedObject(T** out, uint32_t no_memory, Create&& create, Keep&& keep, Args&&... args) {
  *out = nullptr;
  std::unique_ptr<T> object(new (std::nothrow) T(std::forward<Args>(args)...));
  if (object == nullptr) return no_memory;
  if (const uint32_t status = create(*object); status != 0) return status;
  return keep(std::move(object));
}

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
