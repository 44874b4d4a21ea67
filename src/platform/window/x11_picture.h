// A window whose pixels SDL has no format for (on a desktop of 8 bits a pixel SDL opens windows
// but cannot draw in them) is drawn in memory, and its picture put on the window through the
// display's own calls: each colour becomes a pixel of the window's visual, by the visual's masks
// where it has them, else as the nearest colour of a cube of six levels a primary, allocated in
// the colormap the window shows with.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>

namespace plat {

class X11Picture {
 public:
  // Null where the window is not on X, or the display does not tell its visual.
  static std::unique_ptr<X11Picture> For(SDL_Window* window);
  ~X11Picture();
  X11Picture(const X11Picture&) = delete;
  X11Picture& operator=(const X11Picture&) = delete;

  // Puts the picture (0xAARRGGBB, rows `pitch` bytes apart) at the window's top-left corner.
  void Put(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch);

  struct Target;

 private:
  explicit X11Picture(std::unique_ptr<Target> target);
  std::unique_ptr<Target> target_;
};

}  // namespace plat
