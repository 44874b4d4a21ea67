#include "scene/sprites/screen_drawables.h"

#include <utility>

#include "base/lifetime/owned_objects.h"
#include "gfx/display/display_object_factory.h"
#include "gfx/display/screen_manager.h"
#include "scene/sprites/color_box.h"
#include "scene/sprites/sprite.h"

CScreenDrawables& CScreenDrawables::Of(CScreenManager& screen) {
  if (screen.GetDrawableList() == nullptr) screen.SetDrawableList(std::make_unique<CScreenDrawables>(screen));
  // Only this function attaches the screen's drawable list.
  return static_cast<CScreenDrawables&>(*screen.GetDrawableList());
}

template <class T, class Create>
uint32_t CScreenDrawables::Make(T** out, uint32_t no_memory, Create&& create) {
  return MakeDisplayObject(out, no_memory, std::forward<Create>(create), [&](std::unique_ptr<T> drawable) {
    drawable->SetId(screen_.GetDrawableId());
    return drawables_.Append(std::move(drawable), out);
  });
}

uint32_t CScreenDrawables::CreateSprite(CSprite** out, CImage* image, const plat::Rect* source, int32_t x,
                                        int32_t y) {
  return Make(out, 3, [&](CSprite& sprite) { return sprite.SetImage(image, source, x, y); });
}

uint32_t CScreenDrawables::CreateSpriteCopy(CSprite** out, const CSprite* source) {
  return Make(out, 2, [&](CSprite& sprite) { return sprite.CopyFrom(source); });
}

uint32_t CScreenDrawables::CreateColorBox(CColorBox** out, int32_t width, int32_t height, uint32_t argb, int32_t x,
                                          int32_t y) {
  return Make(out, 1, [&](CColorBox& box) { return box.SetBox(width, height, argb, x, y); });
}

uint32_t CScreenDrawables::DeleteDrawable(CDrawable* drawable) { return drawables_.Delete(drawable); }

void CScreenDrawables::DeleteDrawablesById(uint32_t id, bool invert) { drawables_.DeleteWhereId(id, invert); }

void CScreenDrawables::DestroyDrawables() { drawables_.DestroyInOrder(); }
