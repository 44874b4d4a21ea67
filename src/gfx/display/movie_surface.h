// The movie surface (surface kind 6): the off-screen surface in system memory into which a
// playing movie's frames are decoded. Its memory address stays valid while the surface lives;
// its lock guards the surface while it is made anew, so a decoder writing frames takes it too.
#pragma once

#include <cstdint>
#include <memory>

#include "base/threads/critical_section.h"
#include "gfx/display/surface_backed_image.h"

#include "platform/window/surface.h"

class CScreenManager;

class CMovieSurface : public CSurfaceBackedImage {
 public:
  // A device given becomes the display of every surface object given none (g_SpriteDevice);
  // the movie surface makes its surfaces on that display.
  explicit CMovieSurface(CScreenManager* device = nullptr);
  ~CMovieSurface() override;

  ESurfaceKind GetKind() const override { return ESurfaceKind::kMovieSurface; }
  uint8_t* GetPixels() const override { return nullptr; }
  uint8_t* GetRowPointer(int32_t) const override { return nullptr; }
  // A movie has no colour key: the key operations are accepted and change nothing.
  uint32_t SetColorKeyRgb(uint32_t, uint32_t, uint32_t) override { return 0; }
  uint32_t SetColorKeyFromPixel(int32_t, int32_t) override { return 0; }
  uint32_t GetColorKey() const override { return kNoColorKey; }
  uint32_t ClearColorKey() override { return 0; }
  // 0 (also without a surface, or with `only_if_lost` when it was not lost); 1 the surface
  // cannot be made again.
  uint32_t Restore(bool only_if_lost) override;
  bool SetClipRect(const plat::Rect* rect) override { return SetClipWithinBounds(rect); }
  bool ClipRect(plat::Rect* rect) const override { return CutToClip(rect); }
  plat::Surface* GetSurface() const override { return surface_.get(); }

  // A black surface of the size. 0; 1 no display device or a side below 1; 2 the device has no
  // display; 3 the surface cannot be made; 4 it cannot be locked.
  uint32_t Create(int32_t width, int32_t height);
  void Release();

  CScreenManager* GetDevice() const { return device_; }
  // The first pixel, as the lock at creation gave it; null without a surface.
  uint8_t* GetPixelMemory() const { return pixel_memory_; }
  // EPixelFormat code; the alpha formats count as their plain twins.
  uint32_t GetPixelFormatCode() const { return pixel_format_; }
  CCriticalSection& GetLock() { return lock_; }

 private:
  CScreenManager* device_;
  std::shared_ptr<plat::Surface> surface_;
  uint8_t* pixel_memory_ = nullptr;
  uint32_t pixel_format_ = 0;
  CCriticalSection lock_;
};
