// Objects that a script or the engine may delete while others keep them by plain pointer
// (pictures, surface objects and canvases, their parts and layers, drawables and sprites, widgets,
// textures) announce their end before their memory goes. A watch follows one object at a time
// and is told of that object's end only, so an end costs as much as the object has holders, not
// as many watches as live. An ending object is named by the address of the class that announces
// it, so a watch follows its object as that same class: `watch.Follow<CImageInterface>(held)`.
// Holders are told on the thread where the object ends; one may end further objects while told.
// Holders keep their pointers as `WatchedPtr` (base/lifetime/watched_ptr.h), which pairs each
// pointer with its watch.
#pragma once

#include <cstddef>

// A place in the ring of the watches that follow one object.
struct CEndWatchLink {
  CEndWatchLink() = default;
  CEndWatchLink(const CEndWatchLink&) = delete;
  CEndWatchLink& operator=(const CEndWatchLink&) = delete;

  CEndWatchLink* previous = this;
  CEndWatchLink* next = this;
};

class CEndWatch : private CEndWatchLink {
 public:
  // Told once when the followed object ends; the watch then follows nothing. A plain function
  // of the watch, so that a watch costs four words: its holder keeps it as a part of itself.
  using Handler = void (*)(CEndWatch& watch);

  explicit CEndWatch(Handler handler) : handler_(handler) {}
  ~CEndWatch();
  CEndWatch(const CEndWatch&) = delete;
  CEndWatch& operator=(const CEndWatch&) = delete;

  // Follows the object, seen as the class it announces itself as, instead of the one followed
  // before; null follows nothing.
  template <class Root>
  void Follow(const Root* object) {
    FollowAddress(static_cast<const void*>(object));
  }
  void Follow(std::nullptr_t) { FollowAddress(nullptr); }
  template <class Root>
  static void Announce(const Root* object) {
    TellFollowers(static_cast<const void*>(object));
  }

 private:
  void FollowAddress(const void* object);
  // Leaves the ring it is in; the caller holds the watches' lock.
  void Leave();
  static void TellFollowers(const void* ending);

  const void* followed_ = nullptr;
  Handler handler_;
};
