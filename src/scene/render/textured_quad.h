// The textured quad (render kind 4): a rectangle of a texture object's picture drawn as four
// textured corners, with its blend states and the two texture-stage triples that colour it;
// and the canvas quad view (render kind 5), the same over a picture canvas, which it brings up
// to date before each draw.
#pragma once

#include <array>
#include <cstdint>

#include "gfx/display/d3d_texture.h"
#include "base/lifetime/watched_ptr.h"
#include "gfx/display/render_list.h"
#include "scene/render/render_geometry.h"

class CPictureCanvas;

// A texture that ends leaves the quad without one: it draws nothing.
class CTexturedQuad : public CRenderObject {
 public:
  ERenderObjectKind GetKind() const override { return ERenderObjectKind::kTexturedQuad; }
  // The source rectangle (null: the whole picture) cut to the picture, placed at (x, y): 0; 1 a
  // texture that is null or has no surface. A texture without alpha draws opaque.
  uint32_t Create(CD3DTexture* texture, const plat::Rect* source, int32_t x, int32_t y);
  // 0; 1 null or without a surface. The corners and coordinates stay.
  uint32_t SetSource(CD3DTexture* texture);
  // False without a texture with a surface. A rectangle given is cut to the picture and the quad
  // placed again; the coordinates are those of the rectangle moved by the origin.
  bool SetTexCoords(int32_t origin_x, int32_t origin_y, const plat::Rect* source);
  void Reset();

  int32_t GetX() const override { return x_; }
  int32_t GetY() const override { return y_; }
  // The corners of the displayed size (the source's where it is 0) at (x, y); undoes a turn and
  // corners set one by one.
  void SetPosition(int32_t x, int32_t y) override;
  void SetSize(int32_t width, int32_t height) override;
  void SetSizeAndPosition(int32_t width, int32_t height, int32_t x, int32_t y) override;
  // With `use_key`, a point on the key colour of a keyed picture object misses.
  bool HitTest(int32_t x, int32_t y, bool use_key) const override;
  bool GetBounds(plat::Rect* out) const override;
  // 0; 1 no device or texture; 2 no drawing device; 3 the texture cannot be set; 4 the device
  // refused the primitive.
  uint32_t Render(plat::Surface* target, const plat::Rect* clip, CScreenManager* screen) override;
  uint32_t Restore() override { return 0; }

  void SetBlend(const BlendTriple& blend) { blend_ = blend; }
  // Blend (1, 5, additive ? 2 : 6) with the alpha taken from the corners; the level brightens
  // the texture (255 unchanged, 0 black, 510 white).
  void SetBlendMode(bool additive, int32_t alpha, int32_t level);
  void SetColour(uint32_t rgb) { SetAllRgb(corners_, rgb); }
  void SetCornerColours(const std::array<uint32_t, 4>& rgb);
  void SetCornerColour(uint8_t index, uint32_t rgb) { SetOneRgb(corners_, index, rgb); }
  void SetAlpha(int32_t alpha) { SetAllAlpha(corners_, alpha); }
  void SetCornerAlphas(const std::array<int32_t, 4>& alpha);
  void SetCornerAlpha(uint8_t index, int32_t alpha) { SetOneAlpha(corners_, index, alpha); }
  // The corners in strip order, not placed again.
  void SetCorners(const std::array<plat::Point, 4>& corners);
  // About the anchor of the mode (a mode above 4 offsets on both axes).
  void Rotate(int32_t angle, int32_t anchor_mode);
  void SetStages(const StageTriple& colour, const StageTriple& alpha) {
    colour_stage_ = colour;
    alpha_stage_ = alpha;
  }

  CD3DTexture* GetTexture() const { return texture_; }
  const BlendTriple& GetBlend() const { return blend_; }
  const StageTriple& GetColourStage() const { return colour_stage_; }
  const StageTriple& GetAlphaStage() const { return alpha_stage_; }
  const std::array<TexturedVertex, 4>& GetCorners() const { return corners_; }

 protected:
  // Draws the corners with the texture; the statuses of Render past its first checks.
  uint32_t DrawWith(CD3DTexture& texture, CScreenManager& screen);

 private:
  int32_t ShownWidth() const { return shown_width_ != 0 ? shown_width_ : source_.Width(); }
  int32_t ShownHeight() const { return shown_height_ != 0 ? shown_height_ : source_.Height(); }
  void SetCoordinates();

  WatchedPtr<CD3DTexture> texture_;
  BlendTriple blend_ = kOpaqueBlend;
  StageTriple colour_stage_;
  StageTriple alpha_stage_;
  std::array<TexturedVertex, 4> corners_{};
  plat::Rect source_{};
  int32_t origin_x_ = 0;
  int32_t origin_y_ = 0;
  int32_t x_ = 0;
  int32_t y_ = 0;
  int32_t shown_width_ = 0;
  int32_t shown_height_ = 0;
};

class CCanvasQuad : public CTexturedQuad {
 public:
  ERenderObjectKind GetKind() const override { return ERenderObjectKind::kCanvasQuad; }
  // The textured quad's create over a picture canvas: 1 for none.
  uint32_t Create(CPictureCanvas* canvas, const plat::Rect* source, int32_t x, int32_t y);
  // 0; 1 no canvas or one without a texture.
  uint32_t SetSource(CPictureCanvas* canvas);
  // The textured quad's statuses; the canvas copies its changes into its texture first.
  uint32_t Render(plat::Surface* target, const plat::Rect* clip, CScreenManager* screen) override;

 private:
  WatchedPtr<CPictureCanvas, CD3DTexture> canvas_;
};
