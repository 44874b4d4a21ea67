#include "ui/layouts/dgm_background.h"

#include "gfx/display/screen_manager.h"
#include "scene/drawables/draw_layer.h"

bool ShowDgmBackground(CScreenManager& screen, CDrawLayer* layer, const std::string& name, bool keep_depth,
                       CImage*& background) {
  const uint32_t loaded = keep_depth ? screen.LoadImage(&background, name.c_str(), nullptr, 0, 0)
                                     : screen.LoadImage32(&background, name.c_str(), nullptr, 0, 0);
  return loaded == 0 && layer != nullptr && layer->SetBackgroundImage(background, 0, 0, true);
}

void RemoveDgmBackground(CScreenManager& screen, CDrawLayer* layer, CImage*& background) {
  if (background == nullptr) return;
  if (layer != nullptr) layer->SetBackgroundImage(nullptr, 0, 0, true);
  screen.DeleteSurfaceObjectRef(background);
}
