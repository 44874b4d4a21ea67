// Binds a pixel-routine library while it lives: sprites refuse to show anything without one.
#pragma once

#include "gfx/images/pixel_library.h"

class ScopedPixelLibrary {
 public:
  ScopedPixelLibrary() { SetPixelLib(&library_); }
  ~ScopedPixelLibrary() { SetPixelLib(nullptr); }
  ScopedPixelLibrary(const ScopedPixelLibrary&) = delete;
  ScopedPixelLibrary& operator=(const ScopedPixelLibrary&) = delete;

 private:
  CPixelLibrary library_;
};
