// The render image (render kind 0): a rectangle of a surface object's display surface blitted
// at a place, at its own size or stretched to a displayed size; and the canvas image view
// (render kind 1), the same over a surface canvas, which it brings up to date before each blit.
#pragma once

#include <cstdint>

#include "gfx/images/image_interface.h"
#include "base/lifetime/watched_ptr.h"
#include "gfx/display/render_list.h"

class CSurfaceCanvas;

// A source that ends leaves the view without one: it draws nothing.
class CRenderImage : public CRenderObject {
 public:
  ERenderObjectKind GetKind() const override { return ERenderObjectKind::kRenderImage; }
  // The source rectangle (null: the whole source) cut to the source, placed at (x, y): 0; 1 a
  // source that is null or has no surface.
  uint32_t Create(CImageInterface* source, const plat::Rect* rect, int32_t x, int32_t y);
  // 0; 1 null or without a surface.
  uint32_t SetSource(CImageInterface* source);
  // False without a source with a surface; a rectangle given is cut to the source.
  bool SetSourceRect(int32_t origin_x, int32_t origin_y, const plat::Rect* rect);
  void Reset();

  int32_t GetX() const override { return x_; }
  int32_t GetY() const override { return y_; }
  void SetPosition(int32_t x, int32_t y) override {
    x_ = x;
    y_ = y;
  }
  void SetSize(int32_t width, int32_t height) override {
    shown_width_ = width;
    shown_height_ = height;
  }
  // With `use_key`, a point on the key colour of a keyed DirectDraw picture misses.
  bool HitTest(int32_t x, int32_t y, bool use_key) const override;
  bool GetBounds(plat::Rect* out) const override;
  // 0 (also disabled or clipped away); 1 no target, clip, source or source surface; 2 the
  // stretching blit failed; 3 the plain blit failed.
  uint32_t Render(plat::Surface* target, const plat::Rect* clip, CScreenManager* screen) override;
  uint32_t Restore() override { return 0; }

  CImageInterface* GetSource() const { return source_; }
  const plat::Rect& GetSourceRect() const { return source_rect_; }

 protected:
  // Whether a source can be shown by this view.
  virtual bool Accepts(const CImageInterface& source) const;
  virtual plat::Surface* SourceSurface() const;
  // Called before each blit with the source in hand.
  virtual void BeforeBlit() {}

 private:
  int32_t ShownWidth() const { return shown_width_ != 0 ? shown_width_ : source_rect_.Width(); }
  int32_t ShownHeight() const { return shown_height_ != 0 ? shown_height_ : source_rect_.Height(); }
  plat::Rect CutToSource(const plat::Rect& rect) const;

  WatchedPtr<CImageInterface> source_;
  plat::Rect source_rect_{};
  int32_t origin_x_ = 0;
  int32_t origin_y_ = 0;
  int32_t x_ = 0;
  int32_t y_ = 0;
  int32_t shown_width_ = 0;
  int32_t shown_height_ = 0;
};

class CCanvasImage : public CRenderImage {
 public:
  ERenderObjectKind GetKind() const override { return ERenderObjectKind::kCanvasImage; }

 protected:
  bool Accepts(const CImageInterface& source) const override;
  plat::Surface* SourceSurface() const override;
  // Copies what changed in the canvas's image into its surface.
  void BeforeBlit() override;

 private:
  CSurfaceCanvas* Canvas() const;
};
