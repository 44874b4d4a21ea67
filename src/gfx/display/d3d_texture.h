// The texture interface of the surface objects whose pixels live in a texture surface (the
// picture object, the text object, the picture canvas): the textured render objects draw any of
// them through it. A texture may be larger than its picture (rounded or squared for the device)
// or smaller (cut to the device's largest texture), so it tells both sizes and turns picture
// pixels into texture coordinates.
#pragma once

#include <cstdint>

#include "gfx/images/image_interface.h"

#include "platform/window/surface.h"

struct Direct3DDeviceDescription;

class CD3DTexture {
 public:
  CD3DTexture() = default;
  CD3DTexture(const CD3DTexture&) = delete;
  CD3DTexture& operator=(const CD3DTexture&) = delete;
  // Tells the picture holders, which let go of it.
  virtual ~CD3DTexture();

  virtual ESurfaceKind GetKind() const = 0;
  // The texture surface's size.
  virtual int32_t GetTextureWidth() const = 0;
  virtual int32_t GetTextureHeight() const = 0;
  virtual uint32_t SetColorKey(uint8_t r, uint8_t g, uint8_t b) = 0;
  virtual uint32_t SetColorKeyAt(int32_t x, int32_t y) = 0;
  // The key as a pixel of the texture's format; kNoColorKey without one.
  virtual uint32_t GetColorKeyPixel() const = 0;
  virtual uint32_t ClearColorKey() = 0;
  // Null while nothing is loaded.
  virtual plat::Surface* GetSurface() const = 0;
  // EPixelFormat code; below ARGB1555 the texture has no alpha.
  virtual uint32_t GetPixelFormat() const = 0;
  // The picture's size before it was fitted to the texture.
  virtual int32_t GetImageWidth() const = 0;
  virtual int32_t GetImageHeight() const = 0;
  double GetTexU(int32_t x) const { return TextureCoordinate(x, GetImageWidth(), GetTextureWidth()); }
  double GetTexV(int32_t y) const { return TextureCoordinate(y, GetImageHeight(), GetTextureHeight()); }

  // The texture coordinate of the centre of picture pixel `pixel`, scaled when the picture was
  // squeezed into a smaller texture.
  static double TextureCoordinate(int32_t pixel, int32_t image_size, int32_t texture_size);
};

// The texture size for a picture on a device: rounded up to powers of two when the device
// demands them, squared when it takes only squares, then cut to the largest and raised to the
// smallest size it takes. Cutting marks the picture too large for its texture.
struct TextureFit {
  int32_t width = 0;
  int32_t height = 0;
  bool too_large = false;
};
TextureFit FitTextureSize(const Direct3DDeviceDescription& device, int32_t width, int32_t height);
