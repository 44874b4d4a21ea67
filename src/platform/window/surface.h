// Software surfaces with the behaviour the engine expects of display surfaces: made from a
// description (primary, off-screen, texture, flip chain), locked for direct access, blitted
// with colour fills, format conversion, stretching and colour keys, flipped, drawn on through a
// device context, and lost and restored. The primary surface is what a window shows: what
// reaches it goes to the window's presenter.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/events/window_messages.h"
#include "platform/window/display_results.h"
#include "platform/window/gdi.h"
#include "platform/window/pixel_format.h"

namespace plat {

class ScreenPresenter;

// Which fields of a SurfaceDesc are given.
inline constexpr uint32_t DDSD_CAPS = 0x00000001;
inline constexpr uint32_t DDSD_HEIGHT = 0x00000002;
inline constexpr uint32_t DDSD_WIDTH = 0x00000004;
inline constexpr uint32_t DDSD_PITCH = 0x00000008;
inline constexpr uint32_t DDSD_BACKBUFFERCOUNT = 0x00000020;
inline constexpr uint32_t DDSD_PIXELFORMAT = 0x00001000;

// Capabilities.
inline constexpr uint32_t DDSCAPS_BACKBUFFER = 0x00000004;
inline constexpr uint32_t DDSCAPS_COMPLEX = 0x00000008;
inline constexpr uint32_t DDSCAPS_FLIP = 0x00000010;
inline constexpr uint32_t DDSCAPS_FRONTBUFFER = 0x00000020;
inline constexpr uint32_t DDSCAPS_OFFSCREENPLAIN = 0x00000040;
inline constexpr uint32_t DDSCAPS_PRIMARYSURFACE = 0x00000200;
inline constexpr uint32_t DDSCAPS_SYSTEMMEMORY = 0x00000800;
inline constexpr uint32_t DDSCAPS_TEXTURE = 0x00001000;
inline constexpr uint32_t DDSCAPS_3DDEVICE = 0x00002000;

// Blt flags.
inline constexpr uint32_t DDBLT_ASYNC = 0x00000200;
inline constexpr uint32_t DDBLT_COLORFILL = 0x00000400;
inline constexpr uint32_t DDBLT_KEYSRC = 0x00008000;
inline constexpr uint32_t DDBLT_WAIT = 0x01000000;
// BltFast flags.
inline constexpr uint32_t DDBLTFAST_SRCCOLORKEY = 0x00000001;
inline constexpr uint32_t DDBLTFAST_WAIT = 0x00000010;
// Colour-key kinds.
inline constexpr uint32_t DDCKEY_SRCBLT = 0x00000008;

struct SurfaceDesc {
  uint32_t flags = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t pitch = 0;
  uint32_t back_buffer_count = 0;
  uint32_t caps = 0;
  PixelFormat pixel_format;
};

struct ColorKey {
  uint32_t low = 0;  // raw pixel values low .. high are transparent
  uint32_t high = 0;
};

struct BltFx {
  uint32_t fill_color = 0;  // raw pixel value of a colour fill
};

// Binds a surface to a window: blits to the primary are clipped to the window's client area
// and given in desktop coordinates.
class Clipper {
 public:
  HResult SetHWnd(WindowId window);
  WindowId GetHWnd() const { return window_; }

 private:
  WindowId window_ = 0;
};

struct LockedSurface {
  uint8_t* bits = nullptr;  // the first pixel of the locked rectangle
  int32_t pitch = 0;
  int32_t width = 0;
  int32_t height = 0;
  PixelFormat format;
};

class Surface : public std::enable_shared_from_this<Surface> {
 public:
  // Made by the display device; `display_origin` is the desktop position of the display the
  // device draws on (window positions are turned into surface positions with it).
  // A primary that follows its window takes the window's client size when it is bound to it.
  // Null when the memory cannot be had.
  static std::shared_ptr<Surface> Make(int32_t width, int32_t height, const PixelFormat& format, uint32_t caps,
                                       Point display_origin, bool follows_window = false);
  ~Surface();
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  const PixelFormat& Format() const { return format_; }
  uint32_t Caps() const { return caps_; }
  HResult GetSurfaceDesc(SurfaceDesc& out) const;
  HResult GetPixelFormat(PixelFormat& out) const;
  HResult GetCaps(uint32_t& caps) const;

  // Null rect: the whole surface. The rectangle must lie inside the surface.
  HResult Lock(const Rect* rect, LockedSurface& out);
  HResult Unlock();
  // Unlocks a surface of which only `written` (clamped to the locked rectangle) was changed.
  HResult Unlock(const Rect& written);
  // Null dst: the whole surface; null src_rect: the whole source. A primary with a clipper
  // takes desktop coordinates and clips to its window; other surfaces refuse rectangles
  // that leave them.
  HResult Blt(const Rect* dst, Surface* src, const Rect* src_rect, uint32_t flags, const BltFx* fx);
  HResult BltFast(int32_t x, int32_t y, Surface* src, const Rect* src_rect, uint32_t flags);
  // Null key: no key of that kind.
  HResult SetColorKey(uint32_t kind, const ColorKey* key);
  HResult GetColorKey(uint32_t kind, ColorKey& out) const;
  HResult SetPalette(const Palette& palette);
  const Palette* GetPalette() const { return has_palette_ ? &palette_ : nullptr; }

  // Front of a flip chain: the next back buffer becomes the front (its pixels are shown).
  HResult Flip(Surface* target, uint32_t flags);
  // The back buffer attached to this surface.
  HResult GetAttachedSurface(uint32_t caps, std::shared_ptr<Surface>& out);
  void AttachBackBuffer(std::shared_ptr<Surface> back);

  HResult GetDC(DeviceContext*& out);
  HResult ReleaseDC(DeviceContext* dc);
  HResult SetClipper(std::shared_ptr<Clipper> clipper);
  std::shared_ptr<Clipper> GetClipper() const { return clipper_; }

  HResult IsLost() const;
  // Gives a lost surface its memory back; the pixels are then black.
  HResult Restore();

  // Test hooks: a loss as a mode change by another program causes it, and a surface kept busy.
  void SimulateLoss();
  void SimulateBusy(bool busy);
  // Test hook: locks are refused (as a driver refuses to lock video memory) while blits work on.
  void SimulateLockRefusal(bool refuse);

  // The presenter that shows this primary, or null; set by the presenter.
  void SetPresenter(ScreenPresenter* presenter) { presenter_ = presenter; }
  ScreenPresenter* Presenter() const { return presenter_; }
  bool FollowsWindow() const { return follows_window_; }
  // Gives the primary the window's size (its pixels are then black).
  void ResizeToWindow(int32_t width, int32_t height);
  PixelView View();
  // A number that every write to the pixels (a blit, an unlock, a device context's drawing, a
  // flip, a restore, a new size or palette) replaces with one no surface has had: equal readings
  // mean that nothing was written in between.
  uint64_t WriteStamp() const { return write_stamp_.load(std::memory_order_relaxed); }
  // The box around everything written since the last call (the whole surface after a flip, a
  // restore, a new size or palette); empty when nothing was.
  Rect TakeChangedArea();

 private:
  Surface(int32_t width, int32_t height, const PixelFormat& format, uint32_t caps, Point display_origin,
          bool follows_window);

  HResult CheckUsable() const;
  bool IsPrimary() const { return (caps_ & DDSCAPS_PRIMARYSURFACE) != 0; }
  // The rectangle that a blit destination covers on this surface, or an error.
  HResult PlaceDestination(const Rect* requested, Rect& placed, Rect& visible) const;
  // The rectangle a blit reads from this surface; false when it leaves the surface.
  bool SourceRect(const Rect* requested, Rect& out) const;
  void NoteWritten(const Rect& rect);
  void ShowWritten();
  // A new stamp, with the whole surface counted as changed.
  void TakeNewWriteStamp();
  void RenewWriteStamp();

  int32_t width_;
  int32_t height_;
  int32_t pitch_;
  PixelFormat format_;
  uint32_t caps_;
  Point display_origin_;
  bool follows_window_;
  std::vector<uint8_t> pixels_;
  Palette palette_{};
  bool has_palette_ = false;
  bool has_source_key_ = false;
  ColorKey source_key_;
  bool lost_ = false;
  bool busy_ = false;
  bool refuses_locks_ = false;
  bool locked_ = false;
  Rect locked_rect_;
  std::unique_ptr<DeviceContext> dc_;
  std::shared_ptr<Clipper> clipper_;
  std::vector<std::shared_ptr<Surface>> back_buffers_;  // of the front of a flip chain, in flip order
  ScreenPresenter* presenter_ = nullptr;
  std::atomic<uint64_t> write_stamp_{0};
  std::mutex changed_lock_;
  Rect changed_area_;
};

}  // namespace plat
