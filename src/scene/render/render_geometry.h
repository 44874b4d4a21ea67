// What the render objects share: the vertex layouts the drawing device takes (transformed, with
// reciprocal w 1), blend and texture-stage triples, corner placement in triangle-strip order
// (top-left, top-right, bottom-left, bottom-right), turning about an anchor with the program's
// cosine table, and the colour and alpha setters of vertices.
#pragma once

#include <cstdint>
#include <span>

#include "gfx/display/direct3d_device.h"

#include "platform/system/geometry.h"

struct ColoredVertex {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  float rhw = 1.0f;
  uint32_t colour = 0;
};
struct TexturedVertex {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  float rhw = 1.0f;
  uint32_t colour = 0;
  float u = 0.0f;
  float v = 0.0f;
};
static_assert(sizeof(ColoredVertex) == 20 && sizeof(TexturedVertex) == 28);

// Alpha-blend enable, source blend, destination blend.
struct BlendTriple {
  uint8_t enable = 0;
  uint8_t source = 2;
  uint8_t dest = 1;
};
inline constexpr BlendTriple kOpaqueBlend{0, 2, 1};
inline constexpr BlendTriple kAlphaBlend{1, 5, 6};
inline constexpr BlendTriple kAdditiveBlend{1, 5, 2};
// A texture-stage operation and its two arguments.
struct StageTriple {
  uint8_t operation = 0;
  uint8_t arg1 = 0;
  uint8_t arg2 = 0;
};

inline BlendTriple BlendForAlpha(uint32_t argb) { return (argb >> 24) == 0xFF ? kOpaqueBlend : kAlphaBlend; }
void ApplyBlend(CDirect3DDevice& device, const BlendTriple& blend);
void ApplyStages(CDirect3DDevice& device, const StageTriple& colour, const StageTriple& alpha);

// How an anchor mode above 4 offsets: by the mode on both axes, on x only, or on y only.
enum class ELargeAnchor { kBoth, kX, kY };
// Offset of the anchor from the top-left corner: mode 0 (0, 0), 1 (w, 0), 2 (0, h), 3 (w, h),
// 4 the centre (halves rounded down), compared on the mode's low byte.
plat::Point AnchorOffset(int32_t mode, int32_t width, int32_t height, ELargeAnchor large);

template <typename Vertex>
void PlaceCorners(std::span<Vertex, 4> corners, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  const float xs[4] = {float(left), float(right), float(left), float(right)};
  const float ys[4] = {float(top), float(top), float(bottom), float(bottom)};
  for (size_t i = 0; i < 4; ++i) {
    corners[i].x = xs[i];
    corners[i].y = ys[i];
  }
}

// Turns the point (truncated to integers) by the angle (512 steps a turn) about the anchor;
// false without the cosine table, leaving it where it is.
bool TurnPoint(float& x, float& y, int32_t angle, plat::Point anchor);
template <typename Vertex>
bool TurnVertices(std::span<Vertex> vertices, int32_t angle, plat::Point anchor) {
  for (Vertex& vertex : vertices) {
    if (!TurnPoint(vertex.x, vertex.y, angle, anchor)) return false;
  }
  return true;
}

inline uint32_t WithRgb(uint32_t colour, uint32_t rgb) { return (colour & 0xFF000000u) | (rgb & 0xFFFFFFu); }
inline uint32_t WithAlpha(uint32_t colour, int32_t alpha) {
  const auto clamped = static_cast<uint32_t>(alpha < 0 ? 0 : alpha > 255 ? 255 : alpha);
  return (colour & 0xFFFFFFu) | clamped << 24;
}
template <typename Vertices>
void SetAllRgb(Vertices& vertices, uint32_t rgb) {
  for (auto& vertex : vertices) vertex.colour = WithRgb(vertex.colour, rgb);
}
template <typename Vertices>
void SetAllAlpha(Vertices& vertices, int32_t alpha) {
  for (auto& vertex : vertices) vertex.colour = WithAlpha(vertex.colour, alpha);
}
// False, changing nothing, for an index outside the vertices.
template <typename Vertices>
bool SetOneRgb(Vertices& vertices, int32_t index, uint32_t rgb) {
  if (index < 0 || static_cast<size_t>(index) >= vertices.size()) return false;
  auto& vertex = vertices[static_cast<size_t>(index)];
  vertex.colour = WithRgb(vertex.colour, rgb);
  return true;
}
template <typename Vertices>
bool SetOneAlpha(Vertices& vertices, int32_t index, int32_t alpha) {
  if (index < 0 || static_cast<size_t>(index) >= vertices.size()) return false;
  auto& vertex = vertices[static_cast<size_t>(index)];
  vertex.colour = WithAlpha(vertex.colour, alpha);
  return true;
}
