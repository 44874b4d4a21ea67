// The transition drawable (render kind 2): a source picture drawn through one of the numbered
// transition patterns at a level from 0 to 256, either into a target picture that the object
// then shows on the screen, or, without a target, straight into the display's back surface at
// every render pass. Each level change redraws the target at once, so showing it is a blit.
#pragma once

#include <cstdint>

#include "gfx/images/image_interface.h"
#include "base/lifetime/watched_ptr.h"
#include "gfx/display/render_list.h"

class CScreenManager;

// A target or source that ends leaves the drawable with neither: it draws nothing.
class CTransitionDrawable : public CRenderObject {
 public:
  // SetLevel's statuses beside 0 and the pattern's failure + 1.
  static constexpr uint32_t kNoSource = 1;
  static constexpr uint32_t kUnknownPattern = 6;

  ERenderObjectKind GetKind() const override { return ERenderObjectKind::kTransition; }

  // 0; 1 no source or one without a surface; 2 a target without a surface; 3 the first drawing
  // into the target failed, or a pattern number outside 0..86. Without a target only source,
  // pattern, place and level are kept; with one the whole target is shown and the level drawn.
  // A failure leaves no target, source, offsets or drawn size.
  uint32_t Create(CImageInterface* target, CImageInterface* source, uint32_t pattern, int32_t x, int32_t y,
                  uint32_t level, int32_t pattern_x, int32_t pattern_y);
  // 0; 1 no source; 6 a pattern number outside 0..86 (nothing drawn, the level kept); otherwise
  // the pattern's failure + 1 (2 a missing picture, surface or table, 3 the whole-picture copy,
  // 4 and 5 a failed lock or unlock). With a target, a DirectDraw picture of a plain colour is
  // filled with that colour first; the level is kept only when the drawing succeeded.
  uint32_t SetLevel(uint32_t level);
  // 0; 1 no source, or a picture without a surface. Null returns to drawing on the screen.
  uint32_t SetTarget(CImageInterface* target);
  // 0; 1 no source yet, or a picture that is null or has no surface.
  uint32_t SetSource(CImageInterface* source);
  // The offsets are kept; a rectangle given becomes the shown part of the target, cut to its
  // clip rectangle. False without a target with a surface.
  bool SetShownArea(int32_t offset_x, int32_t offset_y, const plat::Rect* rect);
  // Used by the next SetLevel.
  void SetPattern(uint32_t pattern) { pattern_ = pattern; }
  void SetPatternPosition(int32_t x, int32_t y) {
    pattern_x_ = x;
    pattern_y_ = y;
  }

  int32_t GetX() const override { return x_; }
  int32_t GetY() const override { return y_; }
  void SetPosition(int32_t x, int32_t y) override {
    x_ = x;
    y_ = y;
  }
  // 0 keeps the shown part's own width or height.
  void SetSize(int32_t width, int32_t height) override {
    width_ = width;
    height_ = height;
  }
  // With `use_pixels`, a point on the key colour of a keyed DirectDraw target misses.
  bool HitTest(int32_t x, int32_t y, bool use_pixels) const override;
  // False when the source has no surface, or the target has none.
  bool GetBounds(plat::Rect* out) const override;
  // 0 (also disabled or clipped away); 1 no target surface or clip, or a source without a
  // surface. Without a target the pattern's failure + 1; with one 2 a target without a surface
  // or a failed stretching blit, 3 a failed plain blit.
  uint32_t Render(plat::Surface* target, const plat::Rect* clip, CScreenManager* screen) override;
  // Draws the kept level into the target again after the display surfaces were lost: 0; 1
  // when that fails.
  uint32_t Restore() override;

  CImageInterface* GetTarget() const { return target_; }
  CImageInterface* GetSource() const { return source_; }
  uint32_t GetPattern() const { return pattern_; }
  uint32_t GetLevel() const { return level_; }
  int32_t GetPatternX() const { return pattern_x_; }
  int32_t GetPatternY() const { return pattern_y_; }
  const plat::Rect& GetShownRect() const { return shown_rect_; }

 private:
  void Clear();
  int32_t DrawnWidth() const { return width_ != 0 ? width_ : shown_rect_.Width(); }
  int32_t DrawnHeight() const { return height_ != 0 ? height_ : shown_rect_.Height(); }
  // The part of the target that a blit shows: the shown rect moved by the offsets.
  plat::Rect ShownSource() const;
  uint32_t RenderTarget(plat::Surface* surface, const plat::Rect* clip) const;

  // A picture that ends clears the transition.
  WatchedPtr<CImageInterface> target_{[this] { Clear(); }};
  WatchedPtr<CImageInterface> source_{[this] { Clear(); }};
  uint32_t pattern_ = 0;
  int32_t x_ = 0;
  int32_t y_ = 0;
  uint32_t level_ = 0;
  int32_t pattern_x_ = 0;
  int32_t pattern_y_ = 0;
  plat::Rect shown_rect_{};
  int32_t offset_x_ = 0;
  int32_t offset_y_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;
};

// Makes a transition drawable with (target, source, pattern, x, y, level) and pattern place
// (0, 0) and lists it with the screen's current object id: 0; 2 no memory; else Create's status,
// nothing kept. It is not put into the render list.
uint32_t CreateTransitionDrawable(CScreenManager& screen, CTransitionDrawable** out, CImageInterface* target,
                                  CImageInterface* source, uint32_t pattern, int32_t x, int32_t y, uint32_t level);
