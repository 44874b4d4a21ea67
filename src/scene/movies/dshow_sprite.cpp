#include "scene/movies/dshow_sprite.h"

#include "base/files/data_file_layer.h"
#include "base/threads/lock_guard.h"
#include "gfx/images/dirty_region.h"
#include "gfx/images/pixel_library.h"
#include "scene/drawables/draw_list.h"
#include "scene/movies/dshow_library.h"
#include "scene/movies/movie_open.h"

namespace {

constexpr uint8_t kLastBlendMode = 31;

}  // namespace

CDShowSprite::CDShowSprite(CDShowLibrary* library) : library_(library) { Reset(); }

CDShowSprite::~CDShowSprite() {
  // The library's decoding thread writes into the buffers until its object is released.
  Reset();
}

void CDShowSprite::Reset() {
  control_.Release();
  for (CLockedImageBuffer& buffer : buffers_) buffer.Release();
  movie_width_ = movie_height_ = 0;
  volume_ = 256;
  frame_rect_ = {};
  source_width_ = source_height_ = 0;
  drawn_ = {};
  requested_width_ = requested_height_ = 0;
  shown_buffer_ = -1;
  opacity_ = 255;
}

uint32_t CDShowSprite::Open(const char* name, int32_t x, int32_t y, IDataFileLayer* files) {
  CDShowLibrary* library = library_ != nullptr ? library_ : g_DShowSpriteLib;
  if (library == nullptr || !library->IsLoaded()) return kMovieNoLibrary;
  if (files == nullptr) files = g_DShowDataFiles;
  if (name == nullptr || files == nullptr || g_PixelLib == nullptr) return kMovieBadArguments;
  MovieSource source;
  if (const uint32_t status = FindMovieSource(*files, name, source); status != kMovieOpened) return status;
  Reset();
  KvxFrameBuffer first = LockedBufferFrames(buffers_[0]);
  KvxFrameBuffer second = LockedBufferFrames(buffers_[1]);
  if (const uint32_t status = CreateMovieControl(library->GetControlCreator(), control_, first, second, source);
      status != kMovieOpened) {
    return status;
  }
  movie_width_ = control_.GetWidth();
  movie_height_ = control_.GetHeight();
  frame_rect_ = plat::Rect{0, 0, movie_width_, movie_height_};
  source_width_ = movie_width_;
  source_height_ = movie_height_;
  x_ = x;
  y_ = y;
  UpdateDrawnRect();
  blend_mode_ = 0;
  SetDirty(true);
  return kMovieOpened;
}

int32_t CDShowSprite::SetVolume(int32_t level) {
  volume_ = level;
  return control_.SetVolume(volume_);
}

bool CDShowSprite::IsDirty() const {
  if (dirty_ != 0) return true;
  return control_.IsOpen() && (control_.GetCurrentBuffer() != shown_buffer_ || control_.IsEndPending());
}

void CDShowSprite::SetDirty(bool dirty) {
  CDrawable::SetDirty(dirty);
  if (!dirty) shown_buffer_ = control_.GetCurrentBuffer();
}

uint32_t CDShowSprite::SetBlendMode(uint8_t mode) {
  if (mode > kLastBlendMode) return 1;
  if (mode != blend_mode_) {
    blend_mode_ = mode;
    SetDirty(true);
  }
  return 0;
}

bool CDShowSprite::SetPosition(int32_t x, int32_t y) {
  if (x == x_ && y == y_) return false;
  x_ = x;
  y_ = y;
  UpdateDrawnRect();
  SetDirty(true);
  return true;
}

bool CDShowSprite::SetSize(int32_t width, int32_t height) {
  if (width < 0 || height < 0 || (width == requested_width_ && height == requested_height_)) return false;
  requested_width_ = width;
  requested_height_ = height;
  UpdateDrawnRect();
  SetDirty(true);
  return true;
}

void CDShowSprite::UpdateDrawnRect() {
  const int32_t width = requested_width_ != 0 ? requested_width_ : movie_width_;
  const int32_t height = requested_height_ != 0 ? requested_height_ : movie_height_;
  drawn_ = plat::Rect{x_, y_, Offset(x_, width), Offset(y_, height)};
}

bool CDShowSprite::InvalidateLocalRect(plat::Rect* rect) {
  if (GetOwnerList() == nullptr) return false;
  const plat::Rect shown{0, 0, GetWidth(), GetHeight()};
  if (!IntersectRect(rect, rect, &shown)) return false;
  *rect = plat::Rect{Offset(rect->left, x_), Offset(rect->top, y_), Offset(rect->right, x_), Offset(rect->bottom, y_)};
  GetOwnerList()->Invalidate(rect);
  return true;
}

bool CDShowSprite::HitTest(int32_t x, int32_t y, bool) const {
  return x >= drawn_.left && x < drawn_.right && y >= drawn_.top && y < drawn_.bottom;
}

bool CDShowSprite::Overlaps(const CDrawable* other) const {
  if (other == nullptr) return false;
  plat::Rect theirs;
  other->GetBounds(&theirs);
  return IntersectRect(nullptr, &drawn_, &theirs);
}

uint32_t CDShowSprite::Draw(CImage* target, const plat::Rect* clip, plat::Rect* out) {
  if (out != nullptr) out->left = CDrawList::kNotPainted;
  if (!IsEnabled() || opacity_ == 0) return 0;
  if (target == nullptr || !control_.IsOpen()) return kNothingToDraw;
  uint32_t status = 0;
  plat::Rect area = drawn_;
  if (clip == nullptr || IntersectRect(&area, &drawn_, clip)) status = PaintFrame(*target, area);
  if (status == 0 && out != nullptr) {
    *out = drawn_;
    if (!target->ClipRect(out)) out->left = CDrawList::kNotPainted;
  }
  control_.HandleEnd();
  return status;
}

uint32_t CDShowSprite::DrawRect(CImage* target, const plat::Rect& rect) {
  if (!IsEnabled() || opacity_ == 0) return 0;
  if (target == nullptr || !control_.IsOpen()) return kNothingToDraw;
  plat::Rect area;
  uint32_t status = 0;
  if (IntersectRect(&area, &drawn_, &rect)) status = PaintFrame(*target, area);
  control_.HandleEnd();
  return status;
}

// The target's clip rectangle is narrowed to the area for the blit, so that a stretched frame
// is cut exactly where a plain one is.
uint32_t CDShowSprite::PaintFrame(CImage& target, const plat::Rect& area) {
  const int32_t index = control_.GetCurrentBuffer();
  if (index != 0 && index != 1) return 0;
  CLockedImageBuffer& buffer = buffers_[index];
  const CLockGuard frame_lock(buffer.GetLock());
  const PixelFrame frame{buffer.GetPixels(), buffer.GetWidth(), buffer.GetHeight(), buffer.GetPitch(), 32};
  plat::Rect saved_clip;
  target.GetClipRect(&saved_clip);
  plat::Rect clip;
  if (!IntersectRect(&clip, &saved_clip, &area)) return 0;
  target.SetClipRect(&clip);
  const PixelRoutines& routines = g_PixelLib->Routines();
  PixelRoutineResult result;
  if (requested_width_ == 0 && requested_height_ == 0) {
    result = routines.frame_blend(target, frame, PixelBlendArgs{drawn_.left, drawn_.top, &frame_rect_, blend_mode_,
                                                                opacity_, 0});
  } else {
    const ImageSize size{GetWidth(), GetHeight()};
    result = routines.frame_stretch_blend(
        target, frame, PixelStretchArgs{&size, drawn_.left, drawn_.top, &frame_rect_, 0, stretch_filter_, 255, 0});
  }
  target.SetClipRect(&saved_clip);
  if (!result.ok) return kBlitFailed;
  target.MarkRoutineChanges(result.changed);
  return 0;
}
