// The untextured render objects: a rectangle (kind 6) of four coloured corners, a triangle
// (kind 8) and a polygon (kind 7) of points placed relative to a position and scaled in 16.16
// fixed point, so that a scaled shape keeps its bounding corner at the position.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "gfx/display/render_list.h"
#include "scene/render/render_geometry.h"

// Draws coloured vertices with the blend states when the list asks for them: 0; 1 no device;
// 2 no drawing device; 4 the device refused the primitive.
uint32_t DrawColoredPrimitive(CScreenManager* screen, bool apply_states, const BlendTriple& blend, uint32_t type,
                              std::span<const ColoredVertex> vertices);

class CRectPrim : public CRenderObject {
 public:
  ERenderObjectKind GetKind() const override { return ERenderObjectKind::kRectPrim; }
  // 0. An opaque colour draws without blending; any other alpha blends by it.
  uint32_t Create(int32_t width, int32_t height, uint32_t argb, int32_t x, int32_t y);

  int32_t GetX() const override { return x_; }
  int32_t GetY() const override { return y_; }
  // The corners of the displayed size (the base size where it is 0) at (x, y); undoes a turn.
  void SetPosition(int32_t x, int32_t y) override;
  void SetSize(int32_t width, int32_t height) override;
  void SetSizeAndPosition(int32_t width, int32_t height, int32_t x, int32_t y) override;
  bool HitTest(int32_t x, int32_t y, bool) const override;
  bool GetBounds(plat::Rect* out) const override;
  uint32_t Render(plat::Surface* target, const plat::Rect* clip, CScreenManager* screen) override;
  uint32_t Restore() override { return 0; }

  void SetBlend(const BlendTriple& blend) { blend_ = blend; }
  // Blend (1, 5, additive ? 2 : 6), then every corner's alpha.
  void SetBlendMode(bool additive, int32_t alpha);
  void SetColour(uint32_t rgb) { SetAllRgb(corners_, rgb); }
  void SetCornerColours(const std::array<uint32_t, 4>& rgb);
  // An index byte of 4 or more changes nothing.
  void SetCornerColour(uint8_t index, uint32_t rgb) { SetOneRgb(corners_, index, rgb); }
  void SetAlpha(int32_t alpha) { SetAllAlpha(corners_, alpha); }
  void SetCornerAlphas(const std::array<int32_t, 4>& alpha);
  void SetCornerAlpha(uint8_t index, int32_t alpha) { SetOneAlpha(corners_, index, alpha); }
  // About the anchor of the mode (a mode above 4 offsets on x only).
  void Rotate(int32_t angle, int32_t anchor_mode);
  void SetBaseSize(int32_t width, int32_t height);
  void SetBaseSizeAndPosition(int32_t width, int32_t height, int32_t x, int32_t y);

  const BlendTriple& GetBlend() const { return blend_; }
  const std::array<ColoredVertex, 4>& GetCorners() const { return corners_; }

 private:
  int32_t ShownWidth() const { return shown_width_ != 0 ? shown_width_ : width_; }
  int32_t ShownHeight() const { return shown_height_ != 0 ? shown_height_ : height_; }

  BlendTriple blend_ = kOpaqueBlend;
  std::array<ColoredVertex, 4> corners_{};
  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t x_ = 0;
  int32_t y_ = 0;
  int32_t shown_width_ = 0;
  int32_t shown_height_ = 0;
};

// Points relative to a position, with a 16.16 scale (65536 = 1.0).
class CPointShape : public CRenderObject {
 public:
  static constexpr int32_t kUnitScale = 65536;

  int32_t GetX() const override { return x_; }
  int32_t GetY() const override { return y_; }
  void SetPosition(int32_t x, int32_t y) override;
  // The width is the scale; the height is not used.
  void SetSize(int32_t scale, int32_t) override;
  void SetSizeAndPosition(int32_t scale, int32_t, int32_t x, int32_t y) override;
  uint32_t Restore() override { return 0; }

  void SetBlend(const BlendTriple& blend) { blend_ = blend; }
  void SetBlendMode(bool additive, int32_t alpha);
  void SetColour(uint32_t rgb) { SetAllRgb(vertices_, rgb); }
  void SetAlpha(int32_t alpha) { SetAllAlpha(vertices_, alpha); }
  bool SetCornerColour(int32_t index, uint32_t rgb) { return SetOneRgb(vertices_, index, rgb); }
  bool SetCornerAlpha(int32_t index, int32_t alpha) { return SetOneAlpha(vertices_, index, alpha); }
  // Moves one point and places the shape again: false for an index outside the points.
  bool SetPoint(int32_t index, int32_t x, int32_t y);
  // About the anchor of the mode over the points' bounding box from the position (a mode above
  // 4 offsets on y only); false without points or without the cosine table.
  bool Rotate(int32_t angle, int32_t anchor_mode);

  const BlendTriple& GetBlend() const { return blend_; }
  std::span<const ColoredVertex> GetVertices() const { return vertices_; }
  int32_t GetScale() const { return scale_; }

 protected:
  void Clear();

  std::vector<int32_t> xs_;
  std::vector<int32_t> ys_;
  std::vector<ColoredVertex> vertices_;
  BlendTriple blend_ = kOpaqueBlend;
  int32_t x_ = 0;
  int32_t y_ = 0;
  int32_t scale_ = kUnitScale;
};

class CTrianglePrim : public CPointShape {
 public:
  CTrianglePrim() { Clear(); }
  ERenderObjectKind GetKind() const override { return ERenderObjectKind::kTrianglePrim; }
  // 0.
  uint32_t Create(const std::array<plat::Point, 3>& points, uint32_t argb, int32_t x, int32_t y);
  uint32_t Render(plat::Surface* target, const plat::Rect* clip, CScreenManager* screen) override;

  void SetCornerColours(const std::array<uint32_t, 3>& rgb);
  void SetCornerAlphas(const std::array<int32_t, 3>& alpha);
  void SetPoints(const std::array<plat::Point, 3>& points);
};

class CPolygonPrim : public CPointShape {
 public:
  ERenderObjectKind GetKind() const override { return ERenderObjectKind::kPolygonPrim; }
  // Takes the arrays (the polygon frees them with itself). 0; 1 arrays of different lengths or
  // no cosine table.
  uint32_t Create(std::vector<int32_t>&& xs, std::vector<int32_t>&& ys, uint32_t argb, uint8_t primitive_type);
  // Copies the arrays; the same statuses.
  uint32_t Create(std::span<const int32_t> xs, std::span<const int32_t> ys, uint32_t argb, uint8_t primitive_type) {
    return Create(std::vector<int32_t>(xs.begin(), xs.end()), std::vector<int32_t>(ys.begin(), ys.end()), argb,
                  primitive_type);
  }
  uint32_t Render(plat::Surface* target, const plat::Rect* clip, CScreenManager* screen) override;

  // Moves the first two points; false with fewer than two.
  bool SetFirstTwoPoints(plat::Point first, plat::Point second);
  void SetPrimitiveType(uint8_t type) { primitive_type_ = type; }
  uint8_t GetPrimitiveType() const { return primitive_type_; }

 private:
  uint8_t primitive_type_ = kPrimitiveTriangleList;
};

// The primitive type of a polygon number of the scripts (0 triangle list, 1 strip, 2 fan,
// 3 line list, 4 line strip, 5 point list); 0 for any other number.
uint8_t PolygonPrimitiveType(int32_t number);
