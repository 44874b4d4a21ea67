#include "scene/movies/dshow_prim.h"


#include "base/files/data_file_layer.h"
#include "base/threads/lock_guard.h"
#include "gfx/display/movie_surface.h"
#include "gfx/display/screen_manager.h"
#include "gfx/display/surface_services.h"
#include "gfx/images/color_key.h"
#include "gfx/images/dirty_region.h"
#include "scene/movies/dshow_library.h"
#include "scene/movies/movie_open.h"

CDShowPrim::~CDShowPrim() { Reset(); }

void CDShowPrim::Reset() {
  // The decoding thread writes into the surfaces until the control object is released.
  control_.Release();
  for (auto& surface : surfaces_) {
    CMovieSurface* own = surface;
    surface = nullptr;
    if (own != nullptr && screen_ != nullptr) screen_->DeleteSurfaceObject(own);
  }
  movie_width_ = movie_height_ = 0;
  requested_width_ = requested_height_ = 0;
  offset_x_ = offset_y_ = 0;
  volume_ = 256;
}

void CDShowPrim::SurfaceEnds() {
  control_.Release();
  for (auto& surface : surfaces_) surface = nullptr;
}

uint32_t CDShowPrim::Open(CScreenManager* screen, const char* name, int32_t x, int32_t y, IDataFileLayer* files) {
  CDShowLibrary* library = library_ != nullptr ? library_ : g_DShowPrimLib;
  if (library == nullptr || !library->IsLoaded()) return kMovieNoLibrary;
  if (files == nullptr) files = g_DShowDataFiles;
  if (screen == nullptr || name == nullptr || files == nullptr) return kMovieBadArguments;
  MovieSource source;
  if (const uint32_t status = FindMovieSource(*files, name, source); status != kMovieOpened) return status;
  Reset();
  screen_ = screen;
  for (auto& surface : surfaces_) {
    CMovieSurface* made = nullptr;
    const bool failed = screen->CreateMovieSurface(&made) != 0;
    surface = made;
    if (failed) {
      Reset();
      return kMovieNoSurface;
    }
  }
  KvxFrameBuffer first = MovieSurfaceFrames(*surfaces_[0]);
  KvxFrameBuffer second = MovieSurfaceFrames(*surfaces_[1]);
  if (const uint32_t status = CreateMovieControl(library->GetControlCreator(), control_, first, second, source);
      status != kMovieOpened) {
    Reset();
    return status;
  }
  movie_width_ = control_.GetWidth();
  movie_height_ = control_.GetHeight();
  SetPosition(x, y);
  return kMovieOpened;
}

int32_t CDShowPrim::SetVolume(int32_t level) {
  volume_ = level;
  return control_.SetVolume(volume_);
}

bool CDShowPrim::GetBounds(plat::Rect* out) const {
  if (out == nullptr || !control_.IsOpen()) return false;
  *out = plat::Rect{x_ + offset_x_, y_ + offset_y_, x_ + offset_x_ + ShownWidth(), y_ + offset_y_ + ShownHeight()};
  return true;
}

bool CDShowPrim::HitTest(int32_t x, int32_t y, bool) const {
  plat::Rect bounds;
  return GetBounds(&bounds) && x >= bounds.left && x < bounds.right && y >= bounds.top && y < bounds.bottom;
}

bool CDShowPrim::Overlaps(const CRenderObject& other) const {
  plat::Rect mine;
  plat::Rect theirs;
  return GetBounds(&mine) && other.GetBounds(&theirs) && IntersectRect(nullptr, &mine, &theirs);
}

uint32_t CDShowPrim::Render(plat::Surface* target, const plat::Rect* clip, CScreenManager*) {
  if (IsEnabled() == 0) return 0;
  if (target == nullptr || clip == nullptr || !control_.IsOpen()) return 1;
  const int32_t index = control_.GetCurrentBuffer();
  uint32_t status = 0;
  if (index == 0 || index == 1) {
    CMovieSurface& surface = *surfaces_[index];
    const CLockGuard frame_lock(surface.GetLock());
    const plat::Rect source{0, 0, movie_width_, movie_height_};
    const int32_t x = x_ + offset_x_;
    const int32_t y = y_ + offset_y_;
    if (requested_width_ == 0 && requested_height_ == 0) {
      status = BltFastClipped(target, surface.GetSurface(), x, y, &source, clip, kNoColorKey) == 0 ? 0 : 3;
    } else {
      const StretchSize size{ShownWidth(), ShownHeight()};
      status = BltClipped(target, surface.GetSurface(), &size, x, y, &source, clip, kNoColorKey) == 0 ? 0 : 2;
    }
  }
  control_.HandleEnd();
  return status;
}
