// Objects that a script or the engine may delete while others keep them by plain pointer
// (pictures, surface objects and canvases, their parts and layers, drawables and sprites, widgets,
// textures) announce their end to every living watch before their memory goes; the holder of a
// watch then drops each pointer it keeps to the ending object and stops using it, as if it had
// been cleared. An ending object is named by the address of the class that announces it, so a
// holder compares its pointer as that same class: `Names<CImageInterface>(held, ending)`.
// Holders are told on the thread where the object ends; one may end further objects while told.
// A holder keeps its watch as its last member, so that it is told only while the rest of it
// lives.
#pragma once

#include <functional>

class CEndWatch {
 public:
  // Drops every pointer to the ending object; the address is only compared.
  using Handler = std::function<void(const void* ending)>;

  explicit CEndWatch(Handler handler);
  ~CEndWatch();
  CEndWatch(const CEndWatch&) = delete;
  CEndWatch& operator=(const CEndWatch&) = delete;

  template <class Root>
  static void Announce(const Root* object) {
    TellAll(static_cast<const void*>(object));
  }
  // Whether the kept pointer, seen as the announcing class, is the ending object.
  template <class Root>
  static bool Names(const Root* held, const void* ending) {
    return held != nullptr && static_cast<const void*>(held) == ending;
  }

 private:
  static void TellAll(const void* ending);

  Handler handler_;
};
