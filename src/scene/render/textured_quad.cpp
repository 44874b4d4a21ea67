#include "scene/render/textured_quad.h"

#include <algorithm>

#include "gfx/display/ddraw_surface_image.h"
#include "gfx/display/picture_canvas.h"
#include "gfx/display/screen_manager.h"
#include "pixel/formats/pixel_format_codes.h"

namespace {

constexpr StageTriple kModulateTexture{4, 2, 1};
constexpr StageTriple kTextureAlpha{2, 2, 1};
constexpr StageTriple kModulateDiffuseAlpha{4, 2, 0};
constexpr StageTriple kSubtractGrey{10, 2, 1};
constexpr StageTriple kAddGrey{7, 2, 1};
constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr int32_t kUnchangedLevel = 255;

bool HasSurface(const CD3DTexture* texture) { return texture != nullptr && texture->GetSurface() != nullptr; }

plat::Rect PictureRect(const CD3DTexture& texture, const plat::Rect* source) {
  const plat::Rect picture{0, 0, texture.GetImageWidth(), texture.GetImageHeight()};
  if (source == nullptr) return picture;
  return plat::Rect{std::max(source->left, 0), std::max(source->top, 0), std::min(source->right, picture.right),
                    std::min(source->bottom, picture.bottom)};
}

}  // namespace

void CTexturedQuad::Reset() {
  texture_ = nullptr;
  source_ = plat::Rect{};
  origin_x_ = origin_y_ = 0;
  x_ = y_ = 0;
  shown_width_ = shown_height_ = 0;
  for (TexturedVertex& corner : corners_) corner.colour = kWhite;
}

uint32_t CTexturedQuad::Create(CD3DTexture* texture, const plat::Rect* source, int32_t x, int32_t y) {
  if (!HasSurface(texture)) return 1;
  Reset();
  blend_ = texture->GetPixelFormat() < kPixelFormatArgb1555 ? kOpaqueBlend : kAlphaBlend;
  colour_stage_ = kModulateTexture;
  alpha_stage_ = kTextureAlpha;
  texture_ = texture;
  source_ = PictureRect(*texture, source);
  SetCoordinates();
  SetPosition(x, y);
  return 0;
}

uint32_t CTexturedQuad::SetSource(CD3DTexture* texture) {
  if (!HasSurface(texture)) return 1;
  texture_ = texture;
  return 0;
}

bool CTexturedQuad::SetTexCoords(int32_t origin_x, int32_t origin_y, const plat::Rect* source) {
  if (!HasSurface(texture_)) return false;
  if (source != nullptr) {
    source_ = PictureRect(*texture_, source);
    SetPosition(x_, y_);
  }
  origin_x_ = origin_x;
  origin_y_ = origin_y;
  SetCoordinates();
  return true;
}

void CTexturedQuad::SetCoordinates() {
  const auto left = static_cast<float>(texture_->GetTexU(source_.left + origin_x_));
  const auto right = static_cast<float>(texture_->GetTexU(source_.right + origin_x_));
  const auto top = static_cast<float>(texture_->GetTexV(source_.top + origin_y_));
  const auto bottom = static_cast<float>(texture_->GetTexV(source_.bottom + origin_y_));
  const float us[4] = {left, right, left, right};
  const float vs[4] = {top, top, bottom, bottom};
  for (size_t i = 0; i < 4; ++i) {
    corners_[i].u = us[i];
    corners_[i].v = vs[i];
  }
}

void CTexturedQuad::SetPosition(int32_t x, int32_t y) {
  x_ = x;
  y_ = y;
  PlaceCorners(std::span(corners_), x, y, OffsetCoordinate(x, ShownWidth()), OffsetCoordinate(y, ShownHeight()));
}

void CTexturedQuad::SetSize(int32_t width, int32_t height) { SetSizeAndPosition(width, height, x_, y_); }

void CTexturedQuad::SetSizeAndPosition(int32_t width, int32_t height, int32_t x, int32_t y) {
  shown_width_ = width;
  shown_height_ = height;
  SetPosition(x, y);
}

bool CTexturedQuad::GetBounds(plat::Rect* out) const {
  if (texture_ == nullptr) return false;
  *out = plat::Rect{x_, y_, OffsetCoordinate(x_, ShownWidth()), OffsetCoordinate(y_, ShownHeight())};
  return true;
}

bool CTexturedQuad::HitTest(int32_t x, int32_t y, bool use_key) const {
  plat::Rect bounds;
  if (!GetBounds(&bounds) || x < bounds.left || y < bounds.top || x >= bounds.right || y >= bounds.bottom) {
    return false;
  }
  if (!use_key || texture_->GetKind() != ESurfaceKind::kPictureObject) return true;
  const uint32_t key = texture_->GetColorKeyPixel();
  const auto* picture = dynamic_cast<const CDDrawSurfaceImage*>(texture_.get());
  if (key == kNoColorKey || picture == nullptr) return true;
  int32_t sx = x - bounds.left;
  int32_t sy = y - bounds.top;
  if (shown_width_ != 0) sx = static_cast<int32_t>(sx * (static_cast<double>(source_.Width()) / shown_width_));
  if (shown_height_ != 0) sy = static_cast<int32_t>(sy * (static_cast<double>(source_.Height()) / shown_height_));
  sx += origin_x_;
  sy += origin_y_;
  const int32_t image_width = texture_->GetImageWidth();
  const int32_t image_height = texture_->GetImageHeight();
  if (image_width > texture_->GetTextureWidth()) sx = static_cast<int32_t>(int64_t{texture_->GetTextureWidth()} * sx / image_width);
  if (image_height > texture_->GetTextureHeight()) {
    sy = static_cast<int32_t>(int64_t{texture_->GetTextureHeight()} * sy / image_height);
  }
  return picture->GetPixel(sx, sy) != key;
}

void CTexturedQuad::SetBlendMode(bool additive, int32_t alpha, int32_t level) {
  blend_ = additive ? kAdditiveBlend : kAlphaBlend;
  alpha_stage_ = kModulateDiffuseAlpha;
  const bool darker = level < kUnchangedLevel;
  colour_stage_ = darker ? kSubtractGrey : kAddGrey;
  const auto grey = static_cast<uint32_t>(std::clamp(darker ? kUnchangedLevel - level : level - kUnchangedLevel, 0, 255));
  for (TexturedVertex& corner : corners_) corner.colour = WithAlpha(grey << 16 | grey << 8 | grey, alpha);
}

void CTexturedQuad::SetCornerColours(const std::array<uint32_t, 4>& rgb) {
  for (size_t i = 0; i < 4; ++i) corners_[i].colour = WithRgb(corners_[i].colour, rgb[i]);
}

void CTexturedQuad::SetCornerAlphas(const std::array<int32_t, 4>& alpha) {
  for (size_t i = 0; i < 4; ++i) corners_[i].colour = WithAlpha(corners_[i].colour, alpha[i]);
}

void CTexturedQuad::SetCorners(const std::array<plat::Point, 4>& corners) {
  for (size_t i = 0; i < 4; ++i) {
    corners_[i].x = static_cast<float>(corners[i].x);
    corners_[i].y = static_cast<float>(corners[i].y);
  }
}

void CTexturedQuad::Rotate(int32_t angle, int32_t anchor_mode) {
  SetPosition(x_, y_);
  const plat::Point offset = AnchorOffset(anchor_mode, ShownWidth(), ShownHeight(), ELargeAnchor::kBoth);
  TurnVertices(std::span<TexturedVertex>(corners_), angle, plat::Point{x_ + offset.x, y_ + offset.y});
}

uint32_t CTexturedQuad::Render(plat::Surface*, const plat::Rect*, CScreenManager* screen) {
  if (IsEnabled() == 0) return 0;
  if (screen == nullptr || texture_ == nullptr) return 1;
  return DrawWith(*texture_, *screen);
}

uint32_t CTexturedQuad::DrawWith(CD3DTexture& texture, CScreenManager& screen) {
  IDrawingDevice* device = screen.GetDrawingDevice();
  if (device == nullptr) return 2;
  if (screen.SetTexture(&texture) != 0) return 3;
  if (ListAppliesStates()) {
    ApplyBlend(screen, blend_);
    ApplyStages(screen, colour_stage_, alpha_stage_);
  }
  return plat::Failed(device->DrawPrimitive(kPrimitiveTriangleStrip, kVertexFormatTextured, corners_.data(), 4)) ? 4
                                                                                                                  : 0;
}

uint32_t CCanvasQuad::Create(CPictureCanvas* canvas, const plat::Rect* source, int32_t x, int32_t y) {
  if (canvas == nullptr) return 1;
  const uint32_t status = CTexturedQuad::Create(canvas, source, x, y);
  if (status == 0) canvas_ = canvas;
  return status;
}

uint32_t CCanvasQuad::SetSource(CPictureCanvas* canvas) {
  if (canvas == nullptr) return 1;
  const uint32_t status = CTexturedQuad::SetSource(canvas);
  if (status == 0) canvas_ = canvas;
  return status;
}

uint32_t CCanvasQuad::Render(plat::Surface*, const plat::Rect*, CScreenManager* screen) {
  if (IsEnabled() == 0) return 0;
  if (screen == nullptr || canvas_ == nullptr) return 1;
  if (screen->GetDrawingDevice() == nullptr) return 2;
  canvas_->Update(true);
  return DrawWith(*canvas_, *screen);
}
