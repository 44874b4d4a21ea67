// The drawables the scripts and the layout files make through the screen: sprites and colour
// boxes, stamped with the screen's current drawable id, owned in creation order until they are
// deleted singly, by id or all at once, or the screen ends. The list only owns them; a drawable
// shows once it is put into a draw list.
#pragma once

#include <cstdint>
#include <memory>

#include "base/lifetime/owned_objects.h"
#include "gfx/display/screen_object_list.h"
#include "scene/drawables/drawable.h"

#include "platform/system/geometry.h"

class CColorBox;
class CImage;
class CScreenManager;
class CSprite;

class CScreenDrawables : public CScreenObjectList {
 public:
  // The screen's list, attached to it on first use.
  static CScreenDrawables& Of(CScreenManager& screen);

  explicit CScreenDrawables(CScreenManager& screen) : screen_(screen) {}

  // Each factory sets `out` to null, makes the drawable, runs its create step (whose non-zero
  // status is returned unchanged, nothing kept) and lists it with the current drawable id.
  // A sprite showing the image's rectangle at (x, y): CSprite::SetImage's status; 3 no memory.
  uint32_t CreateSprite(CSprite** out, CImage* image, const plat::Rect* source, int32_t x, int32_t y);
  // A sprite showing what `source` shows: CSprite::CopyFrom's status; 2 no memory.
  uint32_t CreateSpriteCopy(CSprite** out, const CSprite* source);
  // CColorBox::SetBox's status; 1 no memory.
  uint32_t CreateColorBox(CColorBox** out, int32_t width, int32_t height, uint32_t argb, int32_t x, int32_t y);

  // 1 for null; 2 when not listed here; else destroys it (it leaves its draw list and the
  // motions that drive it end): 0.
  uint32_t DeleteDrawable(CDrawable* drawable);
  // As DeleteDrawable; on 0 the caller's pointer becomes null.
  template <class T>
  uint32_t DeleteDrawableRef(T*& drawable) {
    return DeleteOwnedRef(drawable, [this](CDrawable* held) { return DeleteDrawable(held); });
  }
  // Destroys the drawables whose id is `id`, or with `invert` those whose id is not.
  void DeleteDrawablesById(uint32_t id, bool invert);
  void DestroyDrawables();
  void DestroyAll() override { DestroyDrawables(); }

  const OwnedObjects<CDrawable>& GetDrawables() const { return drawables_; }

 private:
  template <class T, class Create>
  uint32_t Make(T** out, uint32_t no_memory, Create&& create);

  CScreenManager& screen_;
  OwnedObjects<CDrawable> drawables_;
};
