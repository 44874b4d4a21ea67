// Resources of the program-wide lists (animation files, animation-data files, cell sheets) as
// the scripts hold them: a handle names a resource while its list holds it. A resource that left
// its list loses its handle, even while a task that still plays it keeps it alive.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "base/time/timer_manager.h"
#include "scene/animations/resource_list.h"
#include "script/native_args.h"

// The resource named by args[i] while `list` holds it; null otherwise.
template <class T>
T* ListedResource(const NativeArgs& args, std::uint32_t i, const CResourceList& list) {
  T* resource = args.Handle<T>(i);
  if (resource == nullptr || list.Contains(resource)) return resource;
  resource->RevokeScriptHandle();
  return nullptr;
}

// Ends the tasks of the pausable timer manager of those kinds that use the resource (null: every
// task of those kinds), so that none plays a resource that is released or loaded again.
inline void EndTasksUsing(const void* resource, std::initializer_list<std::int32_t> kinds) {
  if (g_PausableTimerManager == nullptr) return;
  for (const std::int32_t kind : kinds) {
    if (resource == nullptr) {
      g_PausableTimerManager->RemoveByKind(kind);
    } else {
      g_PausableTimerManager->RemoveUsing(kind, resource);
    }
  }
}

// Releases the resource named by the word at the address args[0], after the tasks of those kinds
// that use it: 0 (the word cleared); 1 for a zero address or word; 2 for a word that names no
// resource of the list (the word kept).
template <class T>
std::uint32_t ReleaseListedByWord(const NativeArgs& args, CResourceList& list,
                                  std::initializer_list<std::int32_t> kinds) {
  const std::uint32_t cell = args.U32(0);
  if (cell == 0 || args.Memory().Word(cell) == 0) return kHandleRefZero;
  if (ListedResource<T>(NativeArgs(args.Memory(), args.Handles(), cell), 0, list) == nullptr) {
    return kHandleRefNotFound;
  }
  T* resource = args.HandleRef<T>(0).object;
  resource->RevokeScriptHandle();
  EndTasksUsing(resource, kinds);
  return list.Release(resource);
}

// Releases every resource of the list, after every task of those kinds.
inline std::uint32_t ReleaseAllListed(CResourceList& list, std::initializer_list<std::int32_t> kinds) {
  EndTasksUsing(nullptr, kinds);
  list.ReleaseAll();
  return 0;
}

// The handle of a resource just loaded into the list; 0 (and the resource released) when no
// handle can be issued.
template <class T>
std::uint32_t HandleOfLoaded(const NativeArgs& args, CResourceList& list, std::uint32_t status, T* resource) {
  if (status != 0 || resource == nullptr) return 0;
  const std::uint32_t handle = resource->ScriptHandle(args.Handles());
  if (handle == 0) list.Release(resource);
  return handle;
}
