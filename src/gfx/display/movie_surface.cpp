#include "gfx/display/movie_surface.h"


#include "base/threads/end_watch.h"
#include "base/threads/lock_guard.h"
#include "gfx/display/ddraw_surface_image.h"
#include "gfx/display/screen_manager.h"
#include "gfx/display/surface_services.h"

CMovieSurface::CMovieSurface(CScreenManager* device) {
  if (device != nullptr) g_SpriteDevice = device;
  device_ = g_SpriteDevice;
}

// Announced before the surface's memory goes, so that the movie decoding into it stops first.
CMovieSurface::~CMovieSurface() { CEndWatch::Announce<CImageInterface>(this); }

void CMovieSurface::Release() {
  surface_.reset();
  pixel_memory_ = nullptr;
  pixel_format_ = 0;
}

uint32_t CMovieSurface::Create(int32_t width, int32_t height) {
  Release();
  if (device_ == nullptr || width < 1 || height < 1) return 1;
  plat::SurfaceDesc desc;
  const uint32_t status = MakeObjectSurface(*device_, {width, height, true, false, nullptr}, {2, 3, 3}, surface_, desc);
  if (status != 0) return status;
  plat::LockedSurface locked;
  if (plat::Failed(surface_->Lock(nullptr, locked))) {
    surface_.reset();
    return 4;
  }
  pitch_ = locked.pitch;
  pixel_memory_ = locked.bits;
  surface_->Unlock();
  width_ = width;
  height_ = height;
  SetClipRect(nullptr);
  pixel_format_ = RecordedPixelFormat(*surface_, false);
  FillSurface(surface_.get(), nullptr, 0, 0, 0, nullptr, 0);
  return 0;
}

uint32_t CMovieSurface::Restore(bool only_if_lost) {
  if (!SurfaceNeedsRebuild(surface_.get(), only_if_lost)) return 0;
  CLockGuard guard(lock_);
  return Create(width_, height_) == 0 ? 0 : 1;
}
