// The factories of the render objects that scripts make through the screen manager. Each sets
// `out` to null, makes the object, runs its create step (whose non-zero status is returned
// unchanged, nothing kept), and lists the object in the screen's render-object list with the
// current object id; the status of a failed allocation is the factory's own. None of them puts
// the object into the render list. The transition drawable (render kind 2) is made beside the
// transitions.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "gfx/display/display_object_factory.h"
#include "gfx/display/screen_manager.h"
#include "platform/system/geometry.h"

class CBlendStateBlock;
class CCanvasImage;
class CCanvasQuad;
class CD3DTexture;
class CImageInterface;
class CPictureCanvas;
class CPolygonPrim;
class CRectPrim;
class CRenderImage;
class CRenderStateBlock;
class CSurfaceCanvas;
class CTexturedQuad;
class CTrianglePrim;

// The steps the factories share, for the render objects of the layers above too: `create` fills
// the new object, which is then listed and handed out through `out`.
template <class T, class Create>
uint32_t MakeRenderObject(CScreenManager& screen, T** out, uint32_t no_memory, Create&& create) {
  return MakeDisplayObject(out, no_memory, create, [&](std::unique_ptr<T> object) {
    *out = object.get();
    screen.AddRenderObject(std::move(object));
    return 0u;
  });
}

// A rectangle (null: the whole source) of a surface object's surface, placed at (x, y).
uint32_t CreateRenderImage(CScreenManager& screen, CRenderImage** out, CImageInterface* source, const plat::Rect* rect,
                           int32_t x, int32_t y);
uint32_t CreateCanvasImage(CScreenManager& screen, CCanvasImage** out, CSurfaceCanvas* canvas, const plat::Rect* rect,
                           int32_t x, int32_t y);
uint32_t CreateTexturedQuad(CScreenManager& screen, CTexturedQuad** out, CD3DTexture* texture, const plat::Rect* source,
                            int32_t x, int32_t y);
uint32_t CreateCanvasQuad(CScreenManager& screen, CCanvasQuad** out, CPictureCanvas* canvas, const plat::Rect* source,
                          int32_t x, int32_t y);
uint32_t CreateRectPrim(CScreenManager& screen, CRectPrim** out, int32_t width, int32_t height, uint32_t argb,
                        int32_t x, int32_t y);
// The polygon takes the point arrays; they die with it, or here when it cannot be made.
uint32_t CreatePolygonPrim(CScreenManager& screen, CPolygonPrim** out, std::vector<int32_t> xs, std::vector<int32_t> ys,
                           uint32_t argb, uint8_t primitive_type);
uint32_t CreateTrianglePrim(CScreenManager& screen, CTrianglePrim** out, const std::array<plat::Point, 3>& points,
                            uint32_t argb, int32_t x, int32_t y);
uint32_t CreateRenderStateBlock(CScreenManager& screen, CRenderStateBlock** out);
uint32_t CreateBlendStateBlock(CScreenManager& screen, CBlendStateBlock** out);
