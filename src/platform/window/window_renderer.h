// The renderer a window is drawn with: SDL's own; where SDL has no format for the desktop's
// pixels (a desktop of 8 bits a pixel), a software renderer that draws into a picture of the
// window's size in memory, which each present puts on the window through the display
// (X11Picture).
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>

namespace plat {

class X11Picture;

class WindowRenderer {
 public:
  // `flags` as SDL_CreateRenderer takes them; null when no renderer can be had.
  static std::unique_ptr<WindowRenderer> Make(SDL_Window* window, uint32_t flags);
  ~WindowRenderer();
  WindowRenderer(const WindowRenderer&) = delete;
  WindowRenderer& operator=(const WindowRenderer&) = delete;

  SDL_Renderer* Get() const { return renderer_; }
  // The picture in memory takes the window's size, when that changed (SDL's own renderer follows
  // the window by itself); its textures stay.
  void FollowWindowSize();
  // Shows what was rendered.
  void Present();
  // Leaves what SDL holds to the process's end: the window was destroyed by another client, or
  // the display is lost.
  void Abandon();

 private:
  WindowRenderer(SDL_Window* window, SDL_Renderer* renderer);

  SDL_Window* window_;
  SDL_Renderer* renderer_;
  // The picture in memory: the surface the software renderer is made over (its output goes to
  // the target texture instead), the target of the window's size, and its way to the window.
  SDL_Surface* base_ = nullptr;
  SDL_Texture* target_ = nullptr;
  std::unique_ptr<X11Picture> picture_;
};

}  // namespace plat
