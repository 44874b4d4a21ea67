// A movie shown as an item of the render pass (render kind 3): the primitive library decodes its
// frames into two movie surfaces made by the screen manager, and each render blits the newest
// one into the target surface, at its own size or stretched to the requested one.
#pragma once

#include <cstdint>

#include "base/lifetime/watched_ptr.h"
#include "gfx/display/render_list.h"
#include "scene/movies/movie_control.h"

class CDShowLibrary;
class CImageInterface;
class CMovieSurface;
class IDataFileLayer;

class CDShowPrim : public CRenderObject {
 public:
  // A library given replaces the published primitive library for this item.
  explicit CDShowPrim(CDShowLibrary* library = nullptr) : library_(library) {}
  ~CDShowPrim() override;

  // Opens the movie at (x, y) on the screen's surfaces, through the data-file layer (null: the
  // published one). 0, or the wrappers' open statuses 1 to 6.
  uint32_t Open(CScreenManager* screen, const char* name, int32_t x, int32_t y, IDataFileLayer* files);
  // Releases the control object and has the screen manager delete both movie surfaces.
  void Reset();

  int32_t GetMovieWidth() const { return movie_width_; }
  int32_t GetMovieHeight() const { return movie_height_; }
  int32_t GetVolume() const { return volume_; }
  CMovieControl& Control() { return control_; }
  int32_t SetVolume(int32_t level);
  void SetOffset(int32_t x, int32_t y) {
    offset_x_ = x;
    offset_y_ = y;
  }

  ERenderObjectKind GetKind() const override { return ERenderObjectKind::kMoviePrimitive; }
  int32_t GetX() const override { return x_; }
  int32_t GetY() const override { return y_; }
  void SetPosition(int32_t x, int32_t y) override {
    x_ = x;
    y_ = y;
  }
  // 0 × 0: the movie's own size.
  void SetSize(int32_t width, int32_t height) override {
    requested_width_ = width;
    requested_height_ = height;
  }
  bool HitTest(int32_t x, int32_t y, bool exact) const override;
  bool Overlaps(const CRenderObject& other) const override;
  bool GetBounds(plat::Rect* out) const override;
  // 0 (also disabled or before the first frame); 1 no target, clip or movie; 3 the plain blit
  // failed; 2 the stretching one.
  uint32_t Render(plat::Surface* target, const plat::Rect* clip, CScreenManager* screen) override;
  uint32_t Restore() override { return 0; }

 private:
  // The screen deletes one of the surfaces (by id, all of them, or at its end): the decoding
  // stops before the surface's memory goes, and the other surface is left to the screen.
  void SurfaceEnds();
  int32_t ShownWidth() const { return requested_width_ != 0 ? requested_width_ : movie_width_; }
  int32_t ShownHeight() const { return requested_height_ != 0 ? requested_height_ : movie_height_; }

  CScreenManager* screen_ = nullptr;
  WatchedPtr<CMovieSurface, CImageInterface> surfaces_[2]{
      WatchedPtr<CMovieSurface, CImageInterface>([this] { SurfaceEnds(); }),
      WatchedPtr<CMovieSurface, CImageInterface>([this] { SurfaceEnds(); })};
  CDShowLibrary* library_;
  CMovieControl control_;
  int32_t movie_width_ = 0;
  int32_t movie_height_ = 0;
  int32_t x_ = 0;
  int32_t y_ = 0;
  int32_t offset_x_ = 0;
  int32_t offset_y_ = 0;
  int32_t requested_width_ = 0;
  int32_t requested_height_ = 0;
  int32_t volume_ = 256;
};
