// The surface objects made of an image part: CImageCanvas (kind 10) with a plain image, and
// CImageCanvasEx (kind 9) whose image has a DIB section and its own dirty region. Their image
// operations reach the owned image; the clip rectangle and user words are the canvas's own.
#pragma once

#include <cstdint>

#include "gfx/image_operations/image_part.h"
#include "gfx/images/image_interface.h"

#include "platform/window/gdi.h"
#include "platform/window/surface.h"

struct StripOverlay;

class CImageCanvasBase : public CImageInterface, public CImagePart {
 public:
  int32_t GetWidth() const override { return GetImage()->GetWidth(); }
  int32_t GetHeight() const override { return GetImage()->GetHeight(); }
  int32_t GetPitch() const override { return GetImage()->GetPitch(); }
  // A copy of the owned image's clip rectangle.
  plat::Rect* GetBounds(plat::Rect* out) const override { return GetImage()->GetClipRect(out); }
  uint8_t* GetPixels() const override { return GetImage()->GetPixels(); }
  uint8_t* GetRowPointer(int32_t y) const override { return GetImage()->GetRowPointer(y); }
  uint32_t SetColorKeyRgb(uint32_t r, uint32_t g, uint32_t b) override { return GetImage()->SetColorKeyRgb(r, g, b); }
  uint32_t SetColorKeyFromPixel(int32_t x, int32_t y) override { return GetImage()->SetColorKeyFromPixel(x, y); }
  uint32_t GetColorKey() const override { return GetImage()->GetColorKey(); }
  uint32_t ClearColorKey() override { return GetImage()->ClearColorKey(); }
  uint32_t Restore(bool) override { return 0; }
  bool SetClipRect(const plat::Rect* rect) override;
  bool ClipRect(plat::Rect* rect) const override;

  // Copies the changed rectangles (all of the image when not incremental) out: by BitBlt to the
  // window's device context (when a window is given) or to dc, or into the surface, whose
  // pixels are in `format`. 0; 1 no device context; 2 the surface cannot be locked; -1 nothing
  // changed. An incremental copy empties the region and clears the modified flag. While a
  // transition is attached, its strips go out instead, until it has finished and is detached
  // with its stored byte. A canvas whose layer tracks its changes presents through the layer,
  // which repaints everything first when the copy is not incremental.
  int PresentDirty(plat::WindowId window, plat::DeviceContext* dc, plat::Surface* surface, uint32_t format,
                   bool incremental);
  // The same into a surface of a canvas that shows through it: 0; -1 nothing changed (without
  // a layer); 2 the surface cannot be locked; through the layer, its failure status plus one.
  int32_t UpdateSurface(plat::Surface& surface, uint32_t format, bool changed_only);

 protected:
  // Sets the canvas's clip rectangle to the image after a creation that succeeded.
  uint32_t ClipToImage(uint32_t status);
  // Makes the image anew at its size with the depth and flags: 0, or the status of
  // RecreateImage. The image records its own changes again unless its layer tracks them.
  uint32_t RecreateCanvasImage(uint8_t depth, uint32_t image_flags);

 private:
  void PresentTransition(plat::WindowId window, plat::DeviceContext* dc, plat::Surface* surface, uint32_t format);
  // Which of the layer's lists go over the strips, by the attach mode: the attached list, and in
  // mode 2 the own list under it; mode 1 first repaints the layers without their attached lists.
  StripOverlay PrepareOverlay(CScreenTransition& transition);
};

class CImageCanvas : public CImageCanvasBase {
 public:
  ESurfaceKind GetKind() const override { return ESurfaceKind::kImageCanvas; }
  // CImagePart::Create codes.
  uint32_t Create(int32_t width, int32_t height, uint8_t depth, bool with_layer) {
    return ClipToImage(CImagePart::Create(width, height, depth, with_layer));
  }
  // Only stores the flag: the image keeps its region.
  uint8_t SuspendTracking(uint8_t flag) override;
  // Changes reach the screen through the draw layer only: while tracking is suspended the layer
  // redraws the rectangle; otherwise nothing is recorded.
  void MarkDirty(const plat::Rect* rect) override;
  uint32_t CreateImage(uint8_t depth) override { return ClipToImage(RecreateImage(depth, 0)); }
  // Takes no transition: 0xFFFFFFFF, and the caller keeps its reference.
  uint32_t Attach(RefPtr<CScreenTransition>&, uint8_t, uint8_t, bool) override { return kRefusesAttach; }

  static constexpr uint32_t kRefusesAttach = 0xFFFFFFFF;
};

class CImageCanvasEx : public CImageCanvasBase {
 public:
  ESurfaceKind GetKind() const override { return ESurfaceKind::kImageCanvasEx; }
  // CImagePart::CreateEx codes.
  uint32_t Create(int32_t width, int32_t height, uint8_t depth, uint8_t layer_mode) {
    return ClipToImage(CImagePart::CreateEx(width, height, depth, layer_mode));
  }
  // While its layer does the tracking, the new image records no changes of its own.
  uint32_t CreateImage(uint8_t depth) override;
};
