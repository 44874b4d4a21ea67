// A pointer to an object that someone else may delete (see CEndWatch): it reads null from the
// moment the object announces its end, so a holder tests it before every use instead of
// keeping a dangling address. `Root` is the class the object announces itself as. The watch is
// the pointer's own, so a holder may keep it among its members in any order. A holder that must
// do more than forget the object gives a handler (a lambda that keeps no more than its holder's
// `this`), told after the pointer reads null; the handler is its holder's own and is not copied
// with the pointer, and a holder whose handler uses its other members keeps the pointer after
// them.
#pragma once

#include <concepts>
#include <new>
#include <type_traits>

#include "base/threads/end_watch.h"

template <class T, class Root = T>
class WatchedPtr : private CEndWatch {
 public:
  WatchedPtr() : CEndWatch(&Told) {}
  explicit WatchedPtr(T* object) : CEndWatch(&Told) { Set(object); }
  template <std::invocable Handler>
    requires(sizeof(Handler) <= sizeof(void*) && std::is_trivially_copyable_v<Handler>)
  explicit WatchedPtr(Handler on_end) : CEndWatch(&Told) {
    new (on_end_) Handler(on_end);
    call_on_end_ = [](const void* handler) { (*std::launder(static_cast<const Handler*>(handler)))(); };
  }
  // A copy keeps the same object under a watch of its own.
  WatchedPtr(const WatchedPtr& other) : CEndWatch(&Told) { Set(other.object_); }
  WatchedPtr& operator=(const WatchedPtr& other) {
    Set(other.object_);
    return *this;
  }
  WatchedPtr& operator=(T* object) {
    Set(object);
    return *this;
  }

  T* get() const { return object_; }
  // Read as the plain pointer it stands for, so that it is tested and passed like one.
  operator T*() const { return object_; }
  T* operator->() const { return object_; }

 private:
  static void Told(CEndWatch& watch) {
    auto& pointer = static_cast<WatchedPtr&>(watch);
    pointer.object_ = nullptr;
    if (pointer.call_on_end_ != nullptr) pointer.call_on_end_(pointer.on_end_);
  }
  void Set(T* object) {
    object_ = object;
    Follow<Root>(object);
  }

  T* object_ = nullptr;
  void (*call_on_end_)(const void* handler) = nullptr;
  alignas(void*) unsigned char on_end_[sizeof(void*)]{};
};
