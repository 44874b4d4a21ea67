#include "scene/render/render_object_factories.h"

#include <memory>
#include <utility>

#include "gfx/display/picture_canvas.h"
#include "gfx/display/screen_manager.h"
#include "gfx/display/surface_canvas.h"
#include "scene/render/render_image.h"
#include "scene/render/render_primitives.h"
#include "scene/render/render_state_block.h"
#include "scene/render/textured_quad.h"

namespace {

// The image and quad views: a rectangle of the source (null: all of it) placed at (x, y).
template <class T, class Source>
uint32_t MakeView(CScreenManager& screen, T** out, Source* source, const plat::Rect* rect, int32_t x, int32_t y) {
  return MakeRenderObject(screen, out, 2, [&](T& view) { return view.Create(source, rect, x, y); });
}

constexpr auto kNoCreateStep = [](auto&) { return 0u; };

}  // namespace

uint32_t CreateRenderImage(CScreenManager& screen, CRenderImage** out, CImageInterface* source, const plat::Rect* rect,
                           int32_t x, int32_t y) {
  return MakeView(screen, out, source, rect, x, y);
}

uint32_t CreateCanvasImage(CScreenManager& screen, CCanvasImage** out, CSurfaceCanvas* canvas, const plat::Rect* rect,
                           int32_t x, int32_t y) {
  return MakeView(screen, out, canvas, rect, x, y);
}

uint32_t CreateTexturedQuad(CScreenManager& screen, CTexturedQuad** out, CD3DTexture* texture, const plat::Rect* source,
                            int32_t x, int32_t y) {
  return MakeView(screen, out, texture, source, x, y);
}

uint32_t CreateCanvasQuad(CScreenManager& screen, CCanvasQuad** out, CPictureCanvas* canvas, const plat::Rect* source,
                          int32_t x, int32_t y) {
  return MakeView(screen, out, canvas, source, x, y);
}

uint32_t CreateRectPrim(CScreenManager& screen, CRectPrim** out, int32_t width, int32_t height, uint32_t argb,
                        int32_t x, int32_t y) {
  return MakeRenderObject(screen, out, 1, [&](CRectPrim& rect) { return rect.Create(width, height, argb, x, y); });
}

uint32_t CreatePolygonPrim(CScreenManager& screen, CPolygonPrim** out, std::vector<int32_t> xs, std::vector<int32_t> ys,
                           uint32_t argb, uint8_t primitive_type) {
  return MakeRenderObject(screen, out, 2, [&](CPolygonPrim& polygon) {
    return polygon.Create(std::move(xs), std::move(ys), argb, primitive_type);
  });
}

uint32_t CreateTrianglePrim(CScreenManager& screen, CTrianglePrim** out, const std::array<plat::Point, 3>& points,
                            uint32_t argb, int32_t x, int32_t y) {
  return MakeRenderObject(screen, out, 2, [&](CTrianglePrim& triangle) { return triangle.Create(points, argb, x, y); });
}

uint32_t CreateRenderStateBlock(CScreenManager& screen, CRenderStateBlock** out) {
  return MakeRenderObject(screen, out, 1, kNoCreateStep);
}

uint32_t CreateBlendStateBlock(CScreenManager& screen, CBlendStateBlock** out) {
  return MakeRenderObject(screen, out, 1, kNoCreateStep);
}
