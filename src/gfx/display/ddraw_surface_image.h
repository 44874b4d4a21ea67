// What the surface objects whose pixels live in a display surface share: making that surface on
// a display, reading one of its pixels, and the source colour key, set from a colour or from a
// pixel and remembered either way, so that a surface made anew can be given the same key.
#pragma once

#include <cstdint>
#include <memory>

#include "gfx/display/surface_backed_image.h"

#include "platform/system/geometry.h"
#include "platform/window/pixel_format.h"
#include "platform/window/surface.h"

class CScreenManager;

// What a surface object asks of its surface.
struct ObjectSurfaceRequest {
  int32_t width = 0;
  int32_t height = 0;
  bool system_memory = false;
  bool texture = false;
  const plat::PixelFormat* format = nullptr;  // null: the display's
};

// The statuses each surface object gives for the ways making its surface can fail.
struct ObjectSurfaceFailures {
  uint32_t no_display = 0;      // the device has no display
  uint32_t refused = 0;         // the display made no surface
  uint32_t no_description = 0;  // the surface's description cannot be read
};

// Makes an off-screen surface (a texture when asked, always in system memory as no drawing
// device manages textures) and reads its description: 0, or the failure's status. On a 24-bit
// display an odd width is made one wider for the surface.
uint32_t MakeObjectSurface(CScreenManager& device, const ObjectSurfaceRequest& request,
                           const ObjectSurfaceFailures& failures, std::shared_ptr<plat::Surface>& surface,
                           plat::SurfaceDesc& desc);

// Whether a surface object's restore has work: it has a surface, and that surface was lost or
// the restore is not only for lost surfaces.
bool SurfaceNeedsRebuild(plat::Surface* surface, bool only_if_lost);

// The EPixelFormat code a surface object keeps for its surface: the alpha formats count as their
// plain twins unless the surface is a texture. 0 when the format cannot be read.
uint32_t RecordedPixelFormat(plat::Surface& surface, bool texture);

class CDDrawSurfaceImage : public CSurfaceBackedImage {
 public:
  static constexpr uint32_t kNoPixel = 0xFFFFFFFF;

  uint8_t* GetPixels() const override { return nullptr; }
  uint8_t* GetRowPointer(int32_t) const override { return nullptr; }
  // 0; 1 no surface; 2 the surface's format cannot be read; 3 the surface refused the key.
  uint32_t SetColorKeyRgb(uint32_t r, uint32_t g, uint32_t b) override;
  // 0; 1 no pixel there; 2 the surface refused the key.
  uint32_t SetColorKeyFromPixel(int32_t x, int32_t y) override;
  // The key in the surface's own pixel format.
  uint32_t GetColorKey() const override { return key_value_; }
  bool SetClipRect(const plat::Rect* rect) override { return SetClipWithinBounds(rect); }
  bool ClipRect(plat::Rect* rect) const override { return CutToClip(rect); }
  plat::Surface* GetSurface() const override { return surface_.get(); }

  // The pixel in the surface's own format, without alpha bits above 8 bits a pixel; kNoPixel
  // without a surface, outside the object or when the surface cannot be locked.
  uint32_t GetPixel(int32_t x, int32_t y) const;
  // The colour key as 0xRRGGBB when it was set from a colour.
  uint32_t GetColorKeyRgb() const { return color_key_; }
  // The point the key was taken from, (-1, -1) when it was not.
  plat::Point GetKeyPixel() const { return key_pixel_; }

 protected:
  // Makes the surface on the display of the surface objects (g_SpriteDevice, which must be set)
  // in place of the one held, and takes its size: 0, or the failure's status.
  uint32_t MakeSurface(const ObjectSurfaceRequest& request, const ObjectSurfaceFailures& failures);
  // The keys as recorded, to be put on a surface made anew.
  struct KeptKeys {
    uint32_t color_key = kNoColorKey;
    plat::Point key_pixel{-1, -1};
  };
  KeptKeys KeepKeys() const { return {color_key_, key_pixel_}; }
  // 0 when the keys were put back (or there were none); otherwise the failure status asked for.
  uint32_t ReapplyKeys(const KeptKeys& keys, uint32_t colour_failure, uint32_t pixel_failure);
  // Takes the key off the surface and forgets every recorded key: 0; 2 the surface refused.
  uint32_t RemoveSurfaceKey();
  void ForgetKeys();
  // Drops the surface and the keys.
  void ReleaseSurface();

  std::shared_ptr<plat::Surface> surface_;

 private:
  plat::Point key_pixel_{-1, -1};
  uint32_t key_value_ = kNoColorKey;
};
