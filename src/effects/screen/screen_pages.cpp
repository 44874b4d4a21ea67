#include "effects/screen/screen_pages.h"

#include "effects/framework/background_canvas.h"
#include "gfx/image_operations/image_part.h"
#include "scene/drawables/draw_layer.h"

ScreenPages PagesOf(void* target) {
  ScreenPages pages;
  pages.part = static_cast<CImagePart*>(target);
  if (pages.part == nullptr) return pages;
  pages.first = CanvasLayer(pages.part);
  pages.second = CanvasLayer(pages.part->GetPartner());
  return pages;
}

PairShow ResolvePairShow(const CDrawable& made_for_first, CImagePart& part, bool first, bool second) {
  CDrawLayer* layer = CanvasLayer(&part);
  const bool in_first = layer != nullptr && made_for_first.GetOwnerList() == &layer->GetOwnList();
  return in_first ? PairShow{first, second} : PairShow{second, first};
}
