#include "scene/drawables/draw_layer_factory.h"

#include <new>

#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_list.h"

std::unique_ptr<IDrawLayer> CDrawLayerFactory::CreateLayer() {
  try {
    return std::make_unique<CDrawLayer>();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

std::unique_ptr<IDrawList> CDrawLayerFactory::CreateList() {
  try {
    return std::make_unique<CDrawList>();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
