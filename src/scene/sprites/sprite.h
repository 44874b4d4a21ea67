// The drawable that shows a rectangle of an image at a position, blended by one of 32 modes at
// an opacity, either plainly, stretched to a display size or turned and scaled about an anchor.
// The source image is not owned; a stretched or turned sprite renders into a work image of its
// own and paints from that.
#pragma once

#include <cstdint>
#include <memory>

#include "base/lifetime/watched_ptr.h"
#include "gfx/images/image.h"
#include "scene/drawables/drawable.h"

// Whether the image shows something at (x, y): not its colour key, or, without a key, a 32-bit
// pixel whose alpha is not 0 (every pixel of an unkeyed 8-bit image).
bool ShowsPixelAt(const CImage& image, int32_t x, int32_t y);

class CSprite : public CDrawable {
 public:
  static constexpr uint8_t kLastBlendMode = 31;
  // Draw statuses beside 0.
  static constexpr uint32_t kNothingToDraw = 1;
  static constexpr uint32_t kUnpaintable = 2;
  static constexpr uint32_t kPaintFailed = 3;

  CSprite() { Reset(); }

  // Blend mode 0, opacity 255, no source, origin 0, natural size, no turn; the work image goes.
  // Position, list, id and draw mode stay.
  void Reset() override;
  // 0; 1 the image is null or has no pixels; 2 no pixel-routine library is bound; 3 the
  // rectangle (null: the image's clip rectangle), cut to the clip rectangle, is empty. A
  // picture that carries alpha is blended by mode 2; the anchor goes to the centre.
  uint32_t SetImage(CImage* image, const plat::Rect* source, int32_t x, int32_t y);
  // 0; 1 the image is null or empty, or the sprite has no source. The rectangle stays; a work
  // image of another depth goes.
  uint32_t SetSourceImage(CImage* image);
  // 0; 1 without source; 2 the rectangle (null: the clip rectangle) is cut to nothing; 3 the
  // re-render fails. The origin goes to 0 and the anchor to the centre.
  uint32_t SetSourceRect(const plat::Rect* rect);
  // Scrolls the source rectangle to the origin; 1 without source. The rectangle keeps its size: it
  // stops where an edge would leave the 32-bit range, and the origin with it.
  uint32_t SetSourceOrigin(int32_t x, int32_t y);
  // Low four bits the filter of stretching and turning (0-3), high four bits 0 or 1; false when
  // refused or unchanged.
  bool SetDrawMode(uint8_t mode);
  // A work image for the caller to draw into (sides below 1: the shown size) and the sprite
  // plain: 0; 1 without source; 2 it cannot be made; 3 it cannot be resized.
  uint32_t CreateWorkImage(int32_t width, int32_t height);
  // A work image big enough for the shown rectangle turned an eighth at the zoom, the sprite
  // plain: 0; 1 without source; 2 the size cannot be computed; 3 not made; 4 not resized.
  uint32_t ReserveTurnImage(double zoom);
  // Turns (512 steps a turn) and scales the shown rectangle about the anchor, which stays where
  // it is; a whole turn at zoom 1 is plain again. False without a 32-bit source, for the angle
  // and zoom it holds, or when the turn cannot be computed or rendered.
  bool RenderTransformed(int32_t angle, double zoom);
  // Mode 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right, 4 centre, else (x, y)
  // (kAnchorAtPoint). False without source or when unchanged; a turned sprite is rendered anew.
  static constexpr int32_t kAnchorAtPoint = -1;
  bool SetAnchor(int32_t mode, int32_t x, int32_t y);
  // The changed parts of the source's own dirty region repainted (a stretched or turned sprite
  // rendered anew); clear empties that region. False without source, list or region.
  bool RefreshFromSource(bool clear);
  // 0; 1 when other is null or has no source. Leaves its list and takes over everything other
  // shows, a copy of its work image included; not dirty and in no list afterwards.
  uint32_t CopyFrom(const CSprite* other);
  // Deletes the work image; a stretched or turned sprite is plain again. False when it had none.
  bool DropWorkImage();

  CImage* GetSourceImage() const { return source_; }
  const CImage* GetWorkImage() const { return work_.get(); }
  const plat::Rect& GetSourceRect() const { return source_rect_; }
  int32_t GetSourceOriginX() const { return origin_x_; }
  int32_t GetSourceOriginY() const { return origin_y_; }
  int32_t GetAngle() const { return angle_; }
  double GetZoom() const { return zoom_; }
  int32_t GetAnchorX() const { return anchor_x_; }
  int32_t GetAnchorY() const { return anchor_y_; }
  uint8_t GetDrawMode() const { return draw_mode_; }
  bool IsTurned() const { return turned_width_ != 0; }
  bool IsStretched() const { return display_width_ != 0; }

  // The shown size: the source rectangle's.
  int32_t GetWidth() const override { return source_rect_.Width(); }
  int32_t GetHeight() const override { return source_rect_.Height(); }
  int32_t GetDrawableType() const override { return kTypeSprite; }
  // 1 above 31.
  uint32_t SetBlendMode(uint8_t mode) override;
  bool SetPosition(int32_t x, int32_t y) override;
  // The display size: (0, 0) the natural size, a side below 1 the shown one. False without
  // source, when unchanged or when the stretch fails.
  bool SetSize(int32_t width, int32_t height) override;
  // The rectangle is in source-rectangle coordinates.
  bool InvalidateLocalRect(plat::Rect* rect) override;
  bool HitTest(int32_t x, int32_t y, bool exact) const override;
  bool Overlaps(const CDrawable* other) const override;
  const plat::Rect* GetBoundsPtr() const override { return &bounds_; }
  // 0 without painting when disabled or transparent; 1 without target or source; 2 the work
  // image is missing or a keyed source has a mode it cannot paint; 3 the paint fails.
  uint32_t Draw(CImage* target, const plat::Rect* clip, plat::Rect* out) override;
  uint32_t DrawRect(CImage* target, const plat::Rect& rect) override;

 private:
  // What a paint reads: the work image whole when stretched or turned, else the source's rectangle.
  CImage* PaintingImage() const { return IsTurned() || IsStretched() ? work_.get() : source_; }
  plat::Rect PaintingRect() const;
  // Paints the part of the painting source inside `cut` (null: all of it).
  uint32_t Paint(CImage& target, const plat::Rect* cut) const;
  bool CanPaint() const;
  void UpdateBounds();
  void MarkChanged() {
    UpdateBounds();
    SetDirty(true);
  }
  // Neither stretched nor turned, angle 0 at zoom 1.
  void BecomePlain();
  // The work image at the size and depth, made or resized: 0, 2 not made, 3 not resized.
  uint32_t EnsureWorkImage(int32_t width, int32_t height, uint8_t depth);
  // The shown rectangle into a work image of the size; false when that fails.
  bool RenderStretched(int32_t width, int32_t height);
  // The turn at the current angle and zoom rendered anew.
  bool RenderTurnAgain();
  // A stretched or turned sprite rendered anew; true for a plain one.
  bool RenderAgain();
  void CentreAnchor();

  std::unique_ptr<CImage> work_;
  plat::Rect source_rect_{};
  plat::Rect bounds_{};
  int32_t origin_x_ = 0;
  int32_t origin_y_ = 0;
  int32_t display_width_ = 0;
  int32_t display_height_ = 0;
  int32_t angle_ = 0;
  double zoom_ = 1.0;
  int32_t anchor_x_ = 0;
  int32_t anchor_y_ = 0;
  int32_t turned_x_ = 0;
  int32_t turned_y_ = 0;
  int32_t turned_width_ = 0;
  int32_t turned_height_ = 0;
  uint8_t draw_mode_ = 0;
  // A sprite whose image ends lets go of it and shows nothing, as if it had been reset, its last
  // painted area marked for repainting.
  WatchedPtr<CImage, CImageInterface> source_{[this] {
    Reset();
    SetDirty(true);
  }};
};
