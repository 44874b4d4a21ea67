// A drawing device that takes transformed vertices, render states and a texture. The program's
// display never makes one (the cache of CDirect3DDevice then answers "no device"); the interface
// exists so that a device can be lent to the cache.
#pragma once

#include <cstdint>

#include "platform/window/surface.h"
#include "platform/window/display_results.h"

// Primitive types of DrawPrimitive.
inline constexpr uint32_t kPrimitivePointList = 1;
inline constexpr uint32_t kPrimitiveLineList = 2;
inline constexpr uint32_t kPrimitiveLineStrip = 3;
inline constexpr uint32_t kPrimitiveTriangleList = 4;
inline constexpr uint32_t kPrimitiveTriangleStrip = 5;
inline constexpr uint32_t kPrimitiveTriangleFan = 6;
// Vertex layouts: position with reciprocal w, diffuse colour, and one texture coordinate pair.
inline constexpr uint32_t kVertexFormatColored = 0x44;
inline constexpr uint32_t kVertexFormatTextured = 0x144;
// Texture capability bits.
inline constexpr uint32_t kTextureCapsPow2 = 0x00000002;
inline constexpr uint32_t kTextureCapsSquareOnly = 0x00000020;
inline constexpr uint32_t kTextureCapsNonPow2Conditional = 0x00000100;

class IDrawingDevice {
 public:
  virtual ~IDrawingDevice() = default;
  virtual plat::HResult SetRenderState(uint32_t state, uint32_t value) = 0;
  virtual plat::HResult SetTextureStageState(uint32_t stage, uint32_t state, uint32_t value) = 0;
  virtual plat::HResult SetTexture(uint32_t stage, plat::Surface* surface) = 0;
  virtual plat::HResult DrawPrimitive(uint32_t type, uint32_t vertex_format, const void* vertices, uint32_t count) = 0;
};
