// The picture object (surface kind 2): one picture, from a file or a memory block, in a texture
// surface of a format the drawing device takes and of a size it accepts, drawn by the textured
// render objects. The texture may be larger than the picture, or smaller when the device cannot
// take the picture's size: the picture is then scaled into it.
#pragma once

#include <cstdint>

#include "gfx/display/d3d_texture.h"
#include "gfx/display/ddraw_picture.h"

class CScreenManager;

class CPictureObject : public CD3DTexture, public CDDrawPicture {
 public:
  // A device given becomes the display of every texture object given none (g_DrawObjectDevice).
  explicit CPictureObject(CScreenManager* device = nullptr);
  ~CPictureObject() override { Reset(); }

  // The picture in a texture of that EPixelFormat code, from the named file or else from the
  // bytes. 0; 1 no texture-object device; 2 the device has no texture of that format; 3 the
  // name cannot be found or read, or neither name nor data; 4 no image-loader host or a picture
  // that cannot be decoded; 5 the texture cannot be made; 6 nor locked; 7 the full-size
  // surface of a picture too large cannot be made; 8 the picture cannot be copied into a
  // surface; 9 nor scaled into the texture; 10 any other failure. A failure leaves it empty.
  uint32_t Load(uint32_t format, const char* file_name, const uint8_t* data, uint32_t size, bool system_memory);
  void Reset();
  // 0 (also without a surface, or with `only_if_lost` when it was not lost); 1 the picture
  // cannot be loaded again (a picture loaded from memory has no name to load from); 2 no
  // memory for the name; 5 or 6 the key from a colour or from a pixel cannot be set again.
  uint32_t Restore(bool only_if_lost) override;

  ESurfaceKind GetKind() const override { return ESurfaceKind::kPictureObject; }
  int32_t GetTextureWidth() const override { return width_; }
  int32_t GetTextureHeight() const override { return height_; }
  uint32_t SetColorKey(uint8_t r, uint8_t g, uint8_t b) override { return SetColorKeyRgb(r, g, b); }
  uint32_t SetColorKeyAt(int32_t x, int32_t y) override { return SetColorKeyFromPixel(x, y); }
  uint32_t GetColorKeyPixel() const override { return GetColorKey(); }
  uint32_t ClearColorKey() override { return CDDrawPicture::ClearColorKey(); }
  plat::Surface* GetSurface() const override { return CDDrawPicture::GetSurface(); }
  uint32_t GetPixelFormat() const override { return GetPixelFormatCode(); }
  int32_t GetImageWidth() const override { return image_width_; }
  int32_t GetImageHeight() const override { return image_height_; }

 private:
  uint32_t LoadInto(uint32_t format, const char* file_name, const uint8_t* data, uint32_t size, bool system_memory);

  int32_t image_width_ = 0;
  int32_t image_height_ = 0;
};
