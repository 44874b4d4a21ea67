#include "effects/framework/background_canvas.h"

#include "gfx/display/image_canvas.h"
#include "gfx/display/surface_object_image.h"
#include "scene/drawables/draw_layer.h"

CImagePart* GetCanvasPart(CImageInterface* object) { return GetObjectImagePart(object); }

CImageInterface* GetCanvasOfPart(CImagePart* part) {
  auto* canvas = dynamic_cast<CImageCanvasBase*>(part);
  if (canvas == nullptr || GetObjectImagePart(canvas) != part) return nullptr;
  return canvas;
}

CDrawLayer* CanvasLayer(void* part) {
  if (part == nullptr) return nullptr;
  return dynamic_cast<CDrawLayer*>(static_cast<CImagePart*>(part)->GetLayer());
}

CImage* LayerBackground(const CDrawLayer* layer) {
  CImage* background = nullptr;
  if (layer != nullptr) layer->GetBackground(&background, nullptr, nullptr, nullptr, nullptr, nullptr);
  return background;
}
