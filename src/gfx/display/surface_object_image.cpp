#include "gfx/display/surface_object_image.h"

#include "gfx/display/image_canvas.h"

CImage* GetObjectImage(CImageInterface* object) {
  if (object != nullptr && object->GetKind() == ESurfaceKind::kImage) return dynamic_cast<CImage*>(object);
  CImagePart* part = GetObjectImagePart(object);
  return part != nullptr ? part->GetImage() : nullptr;
}

CImagePart* GetObjectImagePart(CImageInterface* object) {
  if (object == nullptr) return nullptr;
  switch (object->GetKind()) {
    case ESurfaceKind::kSurfaceCanvas:
    case ESurfaceKind::kPictureCanvas:
    case ESurfaceKind::kImageCanvasEx:
    case ESurfaceKind::kImageCanvas:
      return dynamic_cast<CImageCanvasBase*>(object);
    default:
      return nullptr;
  }
}

IDrawLayer* GetObjectDrawLayer(CImageInterface* object) {
  CImagePart* part = GetObjectImagePart(object);
  return part != nullptr ? part->GetLayer() : nullptr;
}

CImagePart* GetObjectImagePartAndLayer(CImageInterface* object, IDrawLayer*& layer) {
  CImagePart* part = GetObjectImagePart(object);
  if (part != nullptr) layer = part->GetLayer();
  return part;
}
