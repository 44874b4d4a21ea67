// Makes the scene's draw layers and lists for the image parts of the graphics core; the
// application installs one as g_DrawLayerFactory while it runs.
#pragma once

#include <memory>

#include "gfx/images/draw_layer_interface.h"

class CDrawLayerFactory : public IDrawLayerFactory {
 public:
  std::unique_ptr<IDrawLayer> CreateLayer() override;
  std::unique_ptr<IDrawList> CreateList() override;
};
