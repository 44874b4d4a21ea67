// The steps every factory of the screen manager's display objects shares: the caller's pointer
// is cleared, the object made (`no_memory` when it cannot be), filled by `create`, whose non-zero
// status is returned with nothing kept, and handed to `keep`, which lists it, sets the caller's
// pointer and gives the status. `args` go to the object's constructor.
#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <utility>

template <class T, class Create, class Keep, class... Args>
uint32_t MakeDisplayObject(T** out, uint32_t no_memory, Create&& create, Keep&& keep, Args&&... args) {
  *out = nullptr;
  std::unique_ptr<T> object(new (std::nothrow) T(std::forward<Args>(args)...));
  if (object == nullptr) return no_memory;
  if (const uint32_t status = create(*object); status != 0) return status;
  return keep(std::move(object));
}
