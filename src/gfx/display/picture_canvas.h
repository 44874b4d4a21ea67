// The picture canvas (surface kind 8): a software image, with a draw layer of its own when
// asked, shown through a texture of a requested format that the canvas quad view draws. Only
// what changed since the last copy travels from the image into the texture; unlike the picture
// object, a canvas larger than the device's largest texture is refused, not scaled.
#pragma once

#include <cstdint>

#include "gfx/display/d3d_texture.h"
#include "gfx/display/ddraw_picture.h"
#include "gfx/display/image_canvas.h"

class CScreenManager;

class CPictureCanvas : public CD3DTexture, public CImageCanvasBase {
 public:
  // A device given becomes the display of every texture object given none (g_DrawObjectDevice).
  explicit CPictureCanvas(CScreenManager* device = nullptr);

  ESurfaceKind GetKind() const override { return ESurfaceKind::kPictureCanvas; }
  // A texture of the EPixelFormat code and the image (layer mode 0 none, 1 a layer, 2 a layer
  // and a draw list). 0; 1 no texture-object device; 2 the texture cannot be made (no such
  // format, too large, refused); 3 the image cannot be made; 4 nor the layer or the list; 5 the
  // layer refuses the image; 6 any other failure. A failure releases the canvas.
  uint32_t Create(uint32_t format, int32_t width, int32_t height, uint8_t depth, uint8_t layer_mode,
                  bool system_memory);
  // 0; 1 no texture-object device; 2 no texture of that format; 3 larger than the device takes;
  // 4 the texture cannot be made.
  uint32_t CreateTexture(uint32_t format, int32_t width, int32_t height, bool system_memory);
  void ReleaseCanvas();
  // Brings the texture up to date: the statuses of CSurfaceCanvas::Update.
  int32_t Update(bool changed_only);
  // 0 (also without a texture, or with `only_if_lost` when it was not lost); 1 the texture
  // cannot be made again; 2 nor brought up to date; 3 the key colour cannot be set again.
  uint32_t Restore(bool only_if_lost) override;
  // 0; 1 no texture; 2 the image cannot be made again (the canvas is released).
  uint32_t CreateImage(uint8_t depth) override;

  // The key acts on the texture: the statuses of the DirectDraw picture's key.
  uint32_t SetColorKeyRgb(uint32_t r, uint32_t g, uint32_t b) override { return texture_.SetColorKeyRgb(r, g, b); }
  // The key from the colour of a pixel of the image: 1 also when there is no pixel there.
  uint32_t SetColorKeyFromPixel(int32_t x, int32_t y) override;
  // The key in the texture's own pixel format.
  uint32_t GetColorKey() const override { return texture_.GetColorKey(); }
  uint32_t ClearColorKey() override { return texture_.ClearColorKey(); }
  // A transition shows the source part's picture changing into the canvas's own.
  bool EndsOnOwnImage() const override { return true; }

  int32_t GetTextureWidth() const override { return texture_.GetWidth(); }
  int32_t GetTextureHeight() const override { return texture_.GetHeight(); }
  uint32_t SetColorKey(uint8_t r, uint8_t g, uint8_t b) override { return SetColorKeyRgb(r, g, b); }
  uint32_t SetColorKeyAt(int32_t x, int32_t y) override { return SetColorKeyFromPixel(x, y); }
  uint32_t GetColorKeyPixel() const override { return texture_.GetColorKey(); }
  plat::Surface* GetSurface() const override { return texture_.GetSurface(); }
  uint32_t GetPixelFormat() const override { return texture_.GetPixelFormatCode(); }
  int32_t GetImageWidth() const override { return GetImage()->GetWidth(); }
  int32_t GetImageHeight() const override { return GetImage()->GetHeight(); }

 private:
  uint32_t ImageFlags() const;

  CDDrawPicture texture_;
  uint32_t format_ = 0;
  bool system_memory_ = false;
};
