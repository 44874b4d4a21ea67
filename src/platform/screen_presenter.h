// What a window shows: one SDL streaming texture with the window's renderer. Everything drawn
// into the window's primary surface or its device context is uploaded into the texture by
// dirty rectangle and presented, letterboxed into the window; exposed windows are repainted
// from the texture. The renderer is used from the window's thread.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/window_messages.h"

namespace plat {

class Surface;

// The desktop position of the window's client area; empty when there is no such window.
std::optional<Point> WindowClientOrigin(WindowId window);

class ScreenPresenter {
 public:
  // The window's presenter, made on first use; null when the window or a renderer for it
  // cannot be had.
  static ScreenPresenter* ForWindow(WindowId window);
  static ScreenPresenter* Existing(WindowId window);
  // Ends the window's presenter (before its window goes).
  static void ReleaseWindow(WindowId window);
  // Repaints an exposed window from its texture.
  static void RepaintWindow(WindowId window);
  // Presents what is pending in every window.
  static void PresentAll();

  ~ScreenPresenter();
  ScreenPresenter(const ScreenPresenter&) = delete;
  ScreenPresenter& operator=(const ScreenPresenter&) = delete;

  // The primary surface now shows in this window; one that follows the window takes its size.
  void BindPrimary(Surface& primary);
  void UnbindPrimary(Surface& primary);
  // A rectangle of the shown surface changed.
  void MarkDirty(const Rect& rect);
  // Uploads the changed rectangles and presents.
  void Present();
  // Presents the texture again without uploading.
  void Repaint();
  // The next present waits for the vertical blank.
  void RequestVerticalBlank() { vertical_blank_wanted_ = true; }
  // Scaling of a letterboxed screen: linear or nearest (the default).
  void SetLinearScaling(bool linear);

  DeviceContext* AcquireWindowDc();
  bool ReleaseWindowDc(DeviceContext* dc);

  std::string RendererName() const;
  // Renders what the window shows and reads the whole output back as 0xAARRGGBB pixels.
  bool ReadBack(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height);

 private:
  ScreenPresenter(SDL_Window* window, SDL_Renderer* renderer);
  Surface& Screen();
  bool FitTexture();
  void Upload();
  void Render();

  SDL_Window* window_;
  SDL_Renderer* renderer_;
  SDL_Texture* texture_ = nullptr;
  int32_t texture_width_ = 0;
  int32_t texture_height_ = 0;
  bool linear_ = false;
  bool vertical_blank_wanted_ = false;
  bool vsync_on_ = false;
  // What the window's device context draws on while no primary is bound.
  std::shared_ptr<Surface> own_screen_;
  Surface* primary_ = nullptr;
  std::vector<Rect> dirty_;
  std::vector<std::unique_ptr<DeviceContext>> window_dcs_;
};

}  // namespace plat
