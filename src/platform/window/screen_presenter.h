// What a window shows: one SDL streaming texture with the window's renderer. Everything drawn
// into the window's primary surface or its device context is uploaded into the texture by
// dirty rectangle and presented, letterboxed into the window (which the window manager may show
// at another size than the program gave it); exposed windows are repainted from the texture.
// The texture has the screen's own layout (XRGB8888), so rows are copied straight. The renderer
// is used only on the window thread: a present asked for on another thread copies the changed
// rectangles aside there and leaves the upload and the present to the window thread, without
// waiting for it. The changed rectangles and the window's device contexts may be touched from
// any thread.
#pragma once

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/events/window_messages.h"
#include "platform/window/gdi.h"

namespace plat {

class Surface;
class WindowRenderer;

// The desktop position of the window's client area; empty when there is no such window.
std::optional<Point> WindowClientOrigin(WindowId window);

class ScreenPresenter {
 public:
  // The window's presenter, made on first use; null when the window or a renderer for it
  // cannot be had, and for a window whose presenter was released (a window gone or going).
  static ScreenPresenter* ForWindow(WindowId window);
  static ScreenPresenter* Existing(WindowId window);
  // Ends the window's presenter (before its window goes): from then on the window hands out no
  // device context, the contexts other threads hold are waited for, and what was staged for the
  // window thread is dropped.
  static void ReleaseWindow(WindowId window);
  // The window's device context (see plat::GetDC) and its return; any thread.
  static DeviceContext* AcquireDc(WindowId window);
  static bool ReleaseDc(WindowId window, DeviceContext* dc);
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
  // Uploads the changed rectangles and presents; on another thread than the window's, hands
  // them to the window thread.
  void Present();
  // Uploads the changed rectangles into the texture without presenting (window thread only).
  void Upload();
  // Presents the texture again without uploading.
  void Repaint();
  // Scaling of a letterboxed screen: linear or nearest (the default).
  void SetLinearScaling(bool linear);
  // A display mode the game asked for while the monitor keeps its own: what the window shows
  // has that size and is letterboxed into the window. 0, 0 gives the window its own size again.
  void SetEmulatedModeSize(int32_t width, int32_t height);

  std::string RendererName() const;
  // Renders what the window shows and reads the whole output back as 0xAARRGGBB pixels.
  bool ReadBack(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height);

 private:
  ScreenPresenter(WindowId id, SDL_Window* window, std::unique_ptr<WindowRenderer> renderer);
  Surface& Screen();
  // Makes the renderer on first use; false when none can be had.
  bool HasRenderer();
  // SDL's renderer of the window, once it has one.
  SDL_Renderer* Renderer() const;
  // True when the texture had to be made anew for the size (even when that failed).
  bool RemakeTextureIfNeeded(int32_t width, int32_t height);
  // Uploads the rectangles of `source` and forgets them.
  void Upload(Surface& source, std::vector<Rect>& rects);
  std::vector<Rect> TakeDirty();
  // The screen and, over it, the window's open menu bar.
  void Render();
  void RenderScreen();
  // The size a screen that follows the window takes: the emulated mode's, else the size the
  // settings of the display the window covers were changed to, else the covered display's; out
  // of full screen the window's drawing size (DrawingSizeOf).
  void ScreenSizeForWindow(int& width, int& height) const;
  void ShowOnWindowThread();
  // Copies the changed rectangles aside for the window thread.
  void Stage();
  void PresentStaged();
  void UploadStaged();
  DeviceContext* AcquireWindowDc();
  bool ReleaseWindowDc(DeviceContext* dc);

  WindowId id_;
  SDL_Window* window_;
  std::unique_ptr<WindowRenderer> renderer_;
  SDL_Texture* texture_ = nullptr;
  int32_t texture_width_ = 0;
  int32_t texture_height_ = 0;
  bool linear_ = false;
  int32_t mode_width_ = 0;
  int32_t mode_height_ = 0;
  // What the window's device context draws on while no primary is bound.
  std::shared_ptr<Surface> own_screen_;
  Surface* primary_ = nullptr;
  // Guards the changed rectangles and the device contexts.
  std::mutex state_lock_;
  std::vector<Rect> dirty_;
  std::vector<std::unique_ptr<DeviceContext>> window_dcs_;
  // What another thread handed over: a copy of the screen and the rectangles still to upload.
  std::mutex staging_lock_;
  std::shared_ptr<Surface> staged_;
  std::vector<Rect> staged_dirty_;
  std::atomic<bool> staged_present_posted_{false};
  // Under the registry's lock: the device contexts handed out and not yet returned, and whether
  // the window is going (it then hands out none).
  int dcs_out_ = 0;
  bool ending_ = false;
};

}  // namespace plat
