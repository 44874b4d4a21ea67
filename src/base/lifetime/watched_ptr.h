// A pointer to an object that someone else may delete (see CEndWatch): it reads null from the
// moment the object announces its end, so a holder tests it before every use instead of
// keeping a dangling address. `Root` is the class the object announces itself as. The watch is
// the pointer's own, so a holder may keep it among its members in any order.
#pragma once

#include "base/threads/end_watch.h"

template <class T, class Root = T>
class WatchedPtr {
 public:
  WatchedPtr() = default;
  explicit WatchedPtr(T* object) : object_(object) {}
  // A copy keeps the same object under a watch of its own.
  WatchedPtr(const WatchedPtr& other) : object_(other.object_) {}
  WatchedPtr& operator=(const WatchedPtr& other) {
    object_ = other.object_;
    return *this;
  }
  WatchedPtr& operator=(T* object) {
    object_ = object;
    return *this;
  }

  T* get() const { return object_; }
  // Read as the plain pointer it stands for, so that it is tested and passed like one.
  operator T*() const { return object_; }
  T* operator->() const { return object_; }

 private:
  T* object_ = nullptr;
  CEndWatch watch_{[this](const void* ending) {
    if (CEndWatch::Names<Root>(object_, ending)) object_ = nullptr;
  }};
};
