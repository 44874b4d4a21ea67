// The software image, image part and draw layer behind a surface object, by its kind: a plain
// image (kind 4) is itself the image; the canvases (kinds 7 to 10) draw through their image
// part; every other kind has none of them.
#pragma once

#include "gfx/image_operations/image_part.h"
#include "gfx/images/draw_layer_interface.h"
#include "gfx/images/image.h"
#include "gfx/images/image_interface.h"

// A CImage of kind 4 (not a bare CImageBase, which shares the kind), or a canvas's image.
CImage* GetObjectImage(CImageInterface* object);
CImagePart* GetObjectImagePart(CImageInterface* object);
IDrawLayer* GetObjectDrawLayer(CImageInterface* object);
// The canvas's image part, with its layer (or null) in `layer`; without a part `layer` keeps
// its value.
CImagePart* GetObjectImagePartAndLayer(CImageInterface* object, IDrawLayer*& layer);
