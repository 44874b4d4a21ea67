// The software compositing layer: paints its background and the drawables of its own draw list
// and of an attached one into a target image, repainting only the rectangles that changed. Every
// change of a listed drawable ends in the layer's dirty region; Repaint paints those rectangles,
// background first, then each list from its tail to its head.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "base/lifetime/watched_ptr.h"
#include "gfx/images/dirty_region.h"
#include "gfx/images/draw_layer_interface.h"
#include "gfx/images/image.h"
#include "scene/drawables/draw_list.h"

#include "platform/events/window_messages.h"
#include "platform/window/gdi.h"
#include "platform/window/surface.h"

// Merge the region's rectangles after collecting them; 1 at start.
extern uint8_t g_MergeDirtyRects;

class CDrawLayer : public IDrawLayer {
 public:
  // Repaint results beside 0.
  static constexpr int32_t kNoTarget = 1;
  static constexpr int32_t kNothingDirty = -1;
  // RenderTo filters: every drawable, those of the id, those of another id.
  static constexpr uint8_t kFilterAll = 0;
  static constexpr uint8_t kFilterSameId = 1;
  static constexpr uint8_t kFilterOtherId = 2;

  CDrawLayer();
  CDrawLayer(const CDrawLayer&) = delete;
  CDrawLayer& operator=(const CDrawLayer&) = delete;
  // Unbinds the attached list and unlists the own list's drawables.
  ~CDrawLayer() override;

  uint32_t SetTarget(CImage* image, bool redraw) override;
  CImage* GetTarget() const { return target_; }
  CDrawList& GetOwnList() { return own_list_; }
  CDrawList* GetAttachedList() const { return attached_; }
  // Binds the list (a list of another kind counts as none); the list bound before is unbound.
  void SetAttachedList(IDrawList* list) override;

  // False when the image has no pixels. Drops the cache; the anchor goes to the image's centre.
  bool SetBackgroundImage(CImage* image, int32_t x, int32_t y, bool redraw);
  // Drop the background image and the cache. Rgb keeps the colour's top byte.
  void SetBackgroundRgb(uint8_t r, uint8_t g, uint8_t b, bool redraw);
  void SetBackgroundColor(uint32_t colour, bool redraw);
  uint32_t GetBackgroundColor() const { return colour_; }
  // Only the colour word changes: the background image, the cache and the painted pixels stay.
  void StoreBackgroundColor(uint32_t colour) { colour_ = colour; }
  void GetBackground(CImage** image, int32_t* x, int32_t* y, uint8_t* r, uint8_t* g, uint8_t* b) const;
  // Moves the point of the background shown at the target's top-left; false when unchanged.
  // Nothing is marked for repainting.
  bool SetBackgroundOffset(int32_t x, int32_t y);
  bool HasBackgroundImage() const override { return background_ != nullptr; }
  void ForgetBackgroundImage(const CImage* image) override;
  // False without background image. 0 top-left, 1 top-right, 2 bottom-left, 4 centre, else
  // bottom-right.
  bool SetBackgroundAnchor(int32_t mode);
  void GetBackgroundAnchor(int32_t* x, int32_t* y) const;
  // Exchanges background image, offset, cache, colour and anchor; flags, target and lists stay.
  void SwapBackground(IDrawLayer& other, bool redraw) override;
  // 1 when other is null.
  uint32_t SwapBackgroundWith(CDrawLayer* other, bool redraw);
  // A target-sized image that replaces the background image while it exists: 0; 1 without
  // target; 2 when it cannot be made. With recreate an existing cache is made anew.
  uint32_t CreateBackgroundCache(bool recreate);
  CImage* GetBackgroundCache() const { return cache_.get(); }
  // Drops the cache and its area placement.
  void ReleaseBackgroundCache();
  // Stretches the source rectangle of the background image (null: all of it) to (x, y, w, h)
  // of the cache, the rest of the cache in the colour; a side below 1 is the target's. (0, 0)
  // or the identity placement drops the cache. False without background image or target, when
  // the placement is the one the cache holds, or when the cache cannot be made; else true and
  // everything is repainted.
  bool SetBackgroundArea(int32_t x, int32_t y, int32_t width, int32_t height, const plat::Rect* source);
  // Renders the 32-bit background image scaled by zoom and turned by angle (512 steps a turn)
  // about its anchor, which lands at (x + anchor x, y + anchor y), into the cache over the
  // colour (all colour when the pixel-routine library cannot draw it). No turn at all (zoom 0,
  // or angle 0 at zoom 1 at (0, 0)) drops the cache. False without a 32-bit background image or
  // target, for the roto-zoom the cache holds, or when the cache cannot be made.
  bool SetBackgroundRotoZoom(int32_t x, int32_t y, int32_t angle, double zoom);
  // The source rectangle that SetBackgroundArea shows; false while the cache shows no area.
  bool GetBackgroundArea(plat::Rect* source) const;
  // The roto-zoom that SetBackgroundRotoZoom rendered last (zoom 0: none).
  struct RotoZoom {
    int32_t x = 0;
    int32_t y = 0;
    int32_t angle = 0;
    double zoom = 0.0;
  };
  RotoZoom GetRotoZoom() const { return {zoom_x_, zoom_y_, angle_, zoom_}; }
  // What the background colour fills a target-sized image with: the colour on 32 bits, its
  // red byte (a palette index) on 8. Needs a target.
  uint32_t FillValue() const;
  // Stretch mode of SetBackgroundArea: a low nibble other than 0 smooths; 1 at start.
  void SetStretchMode(uint32_t mode) { stretch_mode_ = mode; }

  // Stores the byte as the no-background flag.
  void SetVisible(uint8_t visible) override { no_background_ = visible; }
  // The skip-own-list and skip-attached-list flags.
  void SetFlags(uint8_t first, uint8_t second) override;
  void SetSuspended(bool suspended) { suspended_ = suspended ? 1 : 0; }

  // 1 without target, else 0: every shown drawable dirty and forgotten, the whole target dirty.
  uint32_t InvalidateAll() override;
  // False without target; the rectangle is cut in place to the target's clip rectangle and
  // added when something is left.
  bool InvalidateRect(plat::Rect* rect);
  // 0 without target or when the rectangle misses it; else 1 (null: the whole target).
  uint32_t Invalidate(const plat::Rect* rect) override;
  // Clears every drawable's dirty flag and empties the region, painting nothing.
  void DiscardDirty();
  // Adds a rectangle already in target coordinates to the region: the area a drawable that left
  // a list uncovers. These wait and join the region together, in one sweep when there are many,
  // before anything reads it, so that each of many drawables leaving one after another does not
  // walk the region.
  void AddToRegion(const plat::Rect& rect);
  // The region with the uncovered areas that wait joined to it.
  const CDirtyRegion& GetRegion() const;

  // The dirty drawables' old and new areas into the region, their nodes updated.
  void CollectDirty();
  // 0 painted (or suspended: region and flags stay); 1 without target; -1 nothing dirty.
  int32_t Repaint();
  // Repaint with each painted rectangle or strip copied out as it is done.
  int32_t RepaintTo(plat::WindowId window, plat::DeviceContext* dc, plat::Surface* surface, uint32_t format,
                    int32_t x, int32_t y) override;
  void RepaintWithoutAttached() override;
  void PaintBackground(CImage& image, const plat::Rect& rect) override;
  void DrawListsOver(CImage& image, const plat::Rect& rect, bool own, bool attached) override;
  // Paints the whole scene into an image of the target's size, the drawables by the filter: 0;
  // 1 the image is null or has no pixels; 2 without target or for another size.
  uint32_t RenderTo(CImage* image, uint8_t filter, uint32_t id, bool with_attached);

 private:
  struct Plan;
  Plan MakePlan(bool own, bool attached) const;
  void ReleaseAttachedList();
  void PaintArea(CImage& image, const Plan& plan, const plat::Rect& area) const;
  // Paints each rectangle of the region (or its strips); `copy_out` sees each painted piece.
  void RepaintRegion(const std::function<void(const plat::Rect&)>& copy_out);
  void CollectList(CDrawList& list);
  void JoinUncovered() const;
  template <typename Fn>
  void ForEachNode(Fn fn);
  // A target-sized cache of the depth unless there is one; false when it cannot be made.
  bool EnsureCache(uint8_t depth);
  // The background image's source rectangle stretched to (x, y) of the cache; false when
  // nothing could draw it.
  bool StretchIntoCache(int32_t x, int32_t y, const ImageSize& size, const plat::Rect& source);
  void FillCache();

  // A layer whose target ends paints nowhere.
  WatchedPtr<CImage, CImageInterface> target_;
  CDrawList own_list_;
  CDrawList* attached_ = nullptr;
  // Joined to by the uncovered areas as the region is read, which leaves what it covers the same.
  mutable CDirtyRegion region_;
  mutable std::vector<plat::Rect> uncovered_;
  int32_t background_x_ = 0;
  int32_t background_y_ = 0;
  uint32_t colour_ = 0;
  uint8_t suspended_ = 0;
  uint8_t no_background_ = 0;
  uint8_t skip_own_ = 0;
  uint8_t skip_attached_ = 0;
  std::unique_ptr<CImage> cache_;
  int32_t anchor_x_ = 0;
  int32_t anchor_y_ = 0;
  uint32_t stretch_mode_ = 1;
  // x, y, width and height that SetBackgroundArea placed the background at; all 0: none.
  std::array<int32_t, 4> area_{};
  plat::Rect area_source_;
  int32_t angle_ = 0;
  // 0: no roto-zoom in the cache.
  double zoom_ = 0.0;
  int32_t zoom_x_ = 0;
  int32_t zoom_y_ = 0;
  // A layer whose background picture ends shows its colour.
  WatchedPtr<CImage, CImageInterface> background_{
      [this] { SetBackgroundImage(nullptr, background_x_, background_y_, true); }};
};
