#include "scene/render/render_primitives.h"

#include <algorithm>

#include "base/numbers/trig_tables.h"
#include "gfx/display/screen_manager.h"

uint32_t DrawColoredPrimitive(CScreenManager* screen, bool apply_states, const BlendTriple& blend, uint32_t type,
                              std::span<const ColoredVertex> vertices) {
  if (screen == nullptr) return 1;
  IDrawingDevice* device = screen->GetDrawingDevice();
  if (device == nullptr) return 2;
  if (apply_states) ApplyBlend(*screen, blend);
  const auto count = static_cast<uint32_t>(vertices.size());
  return plat::Failed(device->DrawPrimitive(type, kVertexFormatColored, vertices.data(), count)) ? 4 : 0;
}

uint8_t PolygonPrimitiveType(int32_t number) {
  static constexpr uint8_t kTypes[] = {kPrimitiveTriangleList, kPrimitiveTriangleStrip, kPrimitiveTriangleFan,
                                       kPrimitiveLineList,     kPrimitiveLineStrip,     kPrimitivePointList};
  return number >= 0 && number < 6 ? kTypes[number] : 0;
}

// The rectangle.

uint32_t CRectPrim::Create(int32_t width, int32_t height, uint32_t argb, int32_t x, int32_t y) {
  shown_width_ = shown_height_ = 0;
  x_ = y_ = 0;
  width_ = width;
  height_ = height;
  blend_ = BlendForAlpha(argb);
  for (ColoredVertex& corner : corners_) corner.colour = argb;
  SetPosition(x, y);
  return 0;
}

void CRectPrim::SetPosition(int32_t x, int32_t y) {
  x_ = x;
  y_ = y;
  PlaceCorners(std::span(corners_), x, y, OffsetCoordinate(x, ShownWidth()), OffsetCoordinate(y, ShownHeight()));
}

void CRectPrim::SetSize(int32_t width, int32_t height) {
  shown_width_ = width;
  shown_height_ = height;
  SetPosition(x_, y_);
}

void CRectPrim::SetSizeAndPosition(int32_t width, int32_t height, int32_t x, int32_t y) {
  shown_width_ = width;
  shown_height_ = height;
  SetPosition(x, y);
}

void CRectPrim::SetBaseSize(int32_t width, int32_t height) { SetBaseSizeAndPosition(width, height, x_, y_); }

void CRectPrim::SetBaseSizeAndPosition(int32_t width, int32_t height, int32_t x, int32_t y) {
  width_ = width;
  height_ = height;
  SetPosition(x, y);
}

bool CRectPrim::GetBounds(plat::Rect* out) const {
  *out = plat::Rect{x_, y_, OffsetCoordinate(x_, ShownWidth()), OffsetCoordinate(y_, ShownHeight())};
  return true;
}

bool CRectPrim::HitTest(int32_t x, int32_t y, bool) const {
  return x >= x_ && y >= y_ && x < x_ + ShownWidth() && y < y_ + ShownHeight();
}

void CRectPrim::SetBlendMode(bool additive, int32_t alpha) {
  blend_ = additive ? kAdditiveBlend : kAlphaBlend;
  SetAlpha(alpha);
}

void CRectPrim::SetCornerColours(const std::array<uint32_t, 4>& rgb) {
  for (size_t i = 0; i < 4; ++i) corners_[i].colour = WithRgb(corners_[i].colour, rgb[i]);
}

void CRectPrim::SetCornerAlphas(const std::array<int32_t, 4>& alpha) {
  for (size_t i = 0; i < 4; ++i) corners_[i].colour = WithAlpha(corners_[i].colour, alpha[i]);
}

void CRectPrim::Rotate(int32_t angle, int32_t anchor_mode) {
  SetPosition(x_, y_);
  const plat::Point offset = AnchorOffset(anchor_mode, ShownWidth(), ShownHeight(), ELargeAnchor::kX);
  TurnVertices(std::span<ColoredVertex>(corners_), angle, plat::Point{x_ + offset.x, y_ + offset.y});
}

uint32_t CRectPrim::Render(plat::Surface*, const plat::Rect*, CScreenManager* screen) {
  if (IsEnabled() == 0) return 0;
  return DrawColoredPrimitive(screen, ListAppliesStates(), blend_, kPrimitiveTriangleStrip, corners_);
}

// Shapes of points.

void CPointShape::Clear() {
  x_ = y_ = 0;
  scale_ = kUnitScale;
  blend_ = kOpaqueBlend;
}

void CPointShape::SetPosition(int32_t x, int32_t y) {
  x_ = x;
  y_ = y;
  if (xs_.empty()) return;
  if (scale_ == kUnitScale) {
    for (size_t i = 0; i < vertices_.size(); ++i) {
      vertices_[i].x = static_cast<float>(OffsetCoordinate(x, xs_[i]));
      vertices_[i].y = static_cast<float>(OffsetCoordinate(y, ys_[i]));
    }
    return;
  }
  const int64_t least_x = *std::min_element(xs_.begin(), xs_.end());
  const int64_t least_y = *std::min_element(ys_.begin(), ys_.end());
  for (size_t i = 0; i < vertices_.size(); ++i) {
    vertices_[i].x = static_cast<float>(OffsetCoordinate(x, static_cast<int32_t>(((xs_[i] - least_x) * scale_) >> 16)));
    vertices_[i].y = static_cast<float>(OffsetCoordinate(y, static_cast<int32_t>(((ys_[i] - least_y) * scale_) >> 16)));
  }
}

void CPointShape::SetSize(int32_t scale, int32_t) {
  scale_ = scale;
  SetPosition(x_, y_);
}

void CPointShape::SetSizeAndPosition(int32_t scale, int32_t, int32_t x, int32_t y) {
  scale_ = scale;
  SetPosition(x, y);
}

void CPointShape::SetBlendMode(bool additive, int32_t alpha) {
  blend_ = additive ? kAdditiveBlend : kAlphaBlend;
  SetAlpha(alpha);
}

bool CPointShape::SetPoint(int32_t index, int32_t x, int32_t y) {
  if (index < 0 || static_cast<size_t>(index) >= xs_.size()) return false;
  xs_[static_cast<size_t>(index)] = x;
  ys_[static_cast<size_t>(index)] = y;
  SetPosition(x_, y_);
  return true;
}

bool CPointShape::Rotate(int32_t angle, int32_t anchor_mode) {
  if (vertices_.empty()) return false;
  SetPosition(x_, y_);
  int32_t left = static_cast<int32_t>(vertices_[0].x);
  int32_t top = static_cast<int32_t>(vertices_[0].y);
  int32_t right = left;
  int32_t bottom = top;
  for (const ColoredVertex& vertex : vertices_) {
    left = std::min(left, static_cast<int32_t>(vertex.x));
    top = std::min(top, static_cast<int32_t>(vertex.y));
    right = std::max(right, static_cast<int32_t>(vertex.x));
    bottom = std::max(bottom, static_cast<int32_t>(vertex.y));
  }
  const plat::Point offset = AnchorOffset(anchor_mode, right - left, bottom - top, ELargeAnchor::kY);
  return TurnVertices(std::span<ColoredVertex>(vertices_), angle, plat::Point{x_ + offset.x, y_ + offset.y});
}

// The triangle.

uint32_t CTrianglePrim::Create(const std::array<plat::Point, 3>& points, uint32_t argb, int32_t x, int32_t y) {
  Clear();
  xs_.assign({points[0].x, points[1].x, points[2].x});
  ys_.assign({points[0].y, points[1].y, points[2].y});
  vertices_.assign(3, ColoredVertex{});
  for (ColoredVertex& vertex : vertices_) vertex.colour = argb;
  blend_ = BlendForAlpha(argb);
  SetPosition(x, y);
  return 0;
}

void CTrianglePrim::SetCornerColours(const std::array<uint32_t, 3>& rgb) {
  for (size_t i = 0; i < 3; ++i) SetCornerColour(static_cast<int32_t>(i), rgb[i]);
}

void CTrianglePrim::SetCornerAlphas(const std::array<int32_t, 3>& alpha) {
  for (size_t i = 0; i < 3; ++i) SetCornerAlpha(static_cast<int32_t>(i), alpha[i]);
}

void CTrianglePrim::SetPoints(const std::array<plat::Point, 3>& points) {
  if (xs_.size() != 3) return;
  for (size_t i = 0; i < 3; ++i) {
    xs_[i] = points[i].x;
    ys_[i] = points[i].y;
  }
  SetPosition(x_, y_);
}

uint32_t CTrianglePrim::Render(plat::Surface*, const plat::Rect*, CScreenManager* screen) {
  if (IsEnabled() == 0) return 0;
  return DrawColoredPrimitive(screen, ListAppliesStates(), blend_, kPrimitiveTriangleList, vertices_);
}

// The polygon.

uint32_t CPolygonPrim::Create(std::vector<int32_t>&& xs, std::vector<int32_t>&& ys, uint32_t argb,
                              uint8_t primitive_type) {
  if (xs.size() != ys.size() || g_TrigTable == nullptr) return 1;
  Clear();
  xs_ = std::move(xs);
  ys_ = std::move(ys);
  vertices_.assign(xs_.size(), ColoredVertex{});
  for (size_t i = 0; i < vertices_.size(); ++i) {
    vertices_[i].x = static_cast<float>(xs_[i]);
    vertices_[i].y = static_cast<float>(ys_[i]);
    vertices_[i].colour = argb;
  }
  blend_ = BlendForAlpha(argb);
  primitive_type_ = primitive_type;
  return 0;
}

bool CPolygonPrim::SetFirstTwoPoints(plat::Point first, plat::Point second) {
  if (xs_.size() < 2) return false;
  xs_[0] = first.x;
  ys_[0] = first.y;
  xs_[1] = second.x;
  ys_[1] = second.y;
  SetPosition(x_, y_);
  return true;
}

uint32_t CPolygonPrim::Render(plat::Surface*, const plat::Rect*, CScreenManager* screen) {
  if (IsEnabled() == 0) return 0;
  if (screen == nullptr || vertices_.empty()) return 1;
  return DrawColoredPrimitive(screen, ListAppliesStates(), blend_, primitive_type_, vertices_);
}
