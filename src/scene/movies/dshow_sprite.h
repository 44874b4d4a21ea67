// A movie shown as a drawable (type 2) in the draw lists: the sprite library decodes its frames
// into two locked image buffers, and each draw blits the newest one into the target with the
// pixel library. The script's control calls go to the library's control object unchanged.
#pragma once

#include <cstdint>

#include "gfx/images/locked_image_buffer.h"
#include "scene/drawables/drawable.h"
#include "scene/movies/movie_control.h"

class CDShowLibrary;
class IDataFileLayer;

class CDShowSprite : public CDrawable {
 public:
  // Draw statuses beside 0.
  static constexpr uint32_t kNothingToDraw = 1;
  static constexpr uint32_t kBlitFailed = 3;

  // A library given replaces the published sprite library for this sprite.
  explicit CDShowSprite(CDShowLibrary* library = nullptr);
  ~CDShowSprite() override;

  // Opens the movie at (x, y) through the data-file layer (null: the published one). 0, or the
  // wrappers' open statuses 1 (no library), 2 (no name, layer or pixel library), 3, 4 or 6.
  uint32_t Open(const char* name, int32_t x, int32_t y, IDataFileLayer* files);

  int32_t GetMovieWidth() const { return movie_width_; }
  int32_t GetMovieHeight() const { return movie_height_; }
  int32_t GetVolume() const { return volume_; }
  // The library's control object: the script's control calls go there.
  CMovieControl& Control() { return control_; }
  // The level (1 to 256, below 1 silent) to the library; -1 without a movie.
  int32_t SetVolume(int32_t level);

  // Also dirty while the library holds a frame newer than the one drawn last, or reports an end
  // not yet answered (the answer comes with the next draw).
  bool IsDirty() const override;
  void SetDirty(bool dirty) override;
  int32_t GetWidth() const override { return drawn_.right - drawn_.left; }
  int32_t GetHeight() const override { return drawn_.bottom - drawn_.top; }
  int32_t GetDrawableType() const override { return kTypeLibrarySprite; }
  // 1 above 31.
  uint32_t SetBlendMode(uint8_t mode) override;
  bool SetPosition(int32_t x, int32_t y) override;
  // 0 × 0: the movie's own size.
  bool SetSize(int32_t width, int32_t height) override;
  bool InvalidateLocalRect(plat::Rect* rect) override;
  bool HitTest(int32_t x, int32_t y, bool exact) const override;
  bool Overlaps(const CDrawable* other) const override;
  const plat::Rect* GetBoundsPtr() const override { return &drawn_; }
  // 0 (also disabled, transparent or clipped away); 1 no target or no movie; 3 the blit failed.
  uint32_t Draw(CImage* target, const plat::Rect* clip, plat::Rect* out) override;
  uint32_t DrawRect(CImage* target, const plat::Rect& rect) override;
  // Releases the control object, empties both buffers, clears the flags and rectangles, volume 256.
  void Reset() override;

 private:
  // Blits the newest frame into the part of the drawn rectangle inside `area`.
  uint32_t PaintFrame(CImage& target, const plat::Rect& area);
  void UpdateDrawnRect();

  CLockedImageBuffer buffers_[2];
  CDShowLibrary* library_;
  CMovieControl control_;
  int32_t movie_width_ = 0;
  int32_t movie_height_ = 0;
  int32_t volume_ = 256;
  plat::Rect frame_rect_{};
  int32_t source_width_ = 0;
  int32_t source_height_ = 0;
  plat::Rect drawn_{};
  int32_t requested_width_ = 0;
  int32_t requested_height_ = 0;
  uint8_t stretch_filter_ = 0;
  // The buffer that held the newest frame when the dirty flag was last cleared.
  int32_t shown_buffer_ = -1;
};
