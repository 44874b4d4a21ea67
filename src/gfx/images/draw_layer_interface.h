// What an image part needs of the scene's draw layers and draw lists, which live above the
// graphics core: the scene installs a factory at start-up and its layers and lists implement
// these interfaces. While no factory is installed, an image part cannot have a layer.
#pragma once

#include <cstdint>
#include <memory>

#include "base/threads/end_watch.h"
#include "gfx/images/image.h"

#include "platform/events/window_messages.h"
#include "platform/window/gdi.h"
#include "platform/window/surface.h"

// A list of drawables that a layer paints besides its own.
class IDrawList {
 public:
  virtual ~IDrawList() { CEndWatch::Announce(this); }
};

// The software compositing layer that paints its background and draw lists into a target image.
class IDrawLayer {
 public:
  virtual ~IDrawLayer() { CEndWatch::Announce(this); }
  // 0 when set; 1 when the image is null or has no pixels. With redraw the layer marks
  // everything for repainting.
  virtual uint32_t SetTarget(CImage* image, bool redraw) = 0;
  // The second list the layer paints (null: none); the layer does not own it.
  virtual void SetAttachedList(IDrawList* list) = 0;
  // Adds the rectangle, cut to the target, or the whole target for null, to the layer's region:
  // 1 when something was added, 0 without target or when the rectangle misses it.
  virtual uint32_t Invalidate(const plat::Rect* rect) = 0;
  // 1 without target, else 0: marks every shown drawable dirty and the whole target changed.
  virtual uint32_t InvalidateAll() = 0;
  // Exchanges background image, offsets, cache and colour with the other layer.
  virtual void SwapBackground(IDrawLayer& other, bool redraw) = 0;
  virtual bool HasBackgroundImage() const = 0;
  // A layer that shows the image as its background lets go of it (no background image, its cache
  // dropped) and repaints everything.
  virtual void ForgetBackgroundImage(const CImage* image) = 0;
  virtual void SetVisible(uint8_t visible) = 0;
  virtual void SetFlags(uint8_t first, uint8_t second) = 0;
  // Repaints the changed rectangles and copies each out, moved by (x, y): into the surface (in
  // `format`) when one is given, else to the window's device context or to dc. 0; -1 nothing
  // changed; 1 no device context or target, or the surface cannot be locked; 2 no palette.
  virtual int32_t RepaintTo(plat::WindowId window, plat::DeviceContext* dc, plat::Surface* surface, uint32_t format,
                            int32_t x, int32_t y) = 0;
  // Repaints the changed rectangles with the attached list taken off for the while.
  virtual void RepaintWithoutAttached() = 0;
  // Paints only the background (the picture, its cache or the colour) over the rectangle of the
  // image, which has the target's size.
  virtual void PaintBackground(CImage& image, const plat::Rect& rect) = 0;
  // Paints the shown drawables of the own list (with `own`), then of the attached list (with
  // `attached`), each unless the layer skips it and from its tail to its head, over the
  // rectangle of the image; no background.
  virtual void DrawListsOver(CImage& image, const plat::Rect& rect, bool own, bool attached) = 0;
};

class IDrawLayerFactory {
 public:
  virtual ~IDrawLayerFactory() = default;
  // Null when there is no memory.
  virtual std::unique_ptr<IDrawLayer> CreateLayer() = 0;
  virtual std::unique_ptr<IDrawList> CreateList() = 0;
};

// Installed by the scene; null while draw layers are not available.
extern IDrawLayerFactory* g_DrawLayerFactory;
