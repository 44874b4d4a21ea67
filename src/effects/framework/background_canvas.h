// The canvases that the background effects work on: display objects of kinds 7 to 10, held by
// the novel frame and the effects through their image part, whose layer shows the background.
#pragma once

#include <cstdint>

class CDrawLayer;
class CImage;
class CImageInterface;
class CImagePart;

// The image part of a canvas; null for a null object or one of another kind.
CImagePart* GetCanvasPart(CImageInterface* object);
// The canvas that holds the part; null for a null part or one that no canvas holds.
CImageInterface* GetCanvasOfPart(CImagePart* part);
// The draw layer of a part handed to an effect as its target; null without part or layer.
CDrawLayer* CanvasLayer(void* part);
// The layer's background image as it is now; null without layer or image.
CImage* LayerBackground(const CDrawLayer* layer);
