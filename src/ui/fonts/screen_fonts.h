// The fonts the scripts make through the screen, owned in creation order until they are deleted
// or the screen ends. Deleting all display objects leaves them; the screen destroys them last.
#pragma once

#include <cstdint>
#include <memory>

#include "base/lifetime/owned_objects.h"
#include "gfx/display/screen_object_list.h"
#include "platform/fonts/font_face.h"
#include "ui/fonts/font_base.h"

class CFont;
class CGdiFont;
class CScreenManager;

class CScreenFonts : public CScreenObjectList {
 public:
  // The screen's list, attached to it on first use.
  static CScreenFonts& Of(CScreenManager& screen);

  // Each sets `out` to null, makes the font and sets it up with the size, neither bold nor
  // italic, and the face; a failed set-up's status is returned, nothing kept; 2 no memory.
  // `open_face` makes the faces (the installed fonts unless a test gives its own).
  uint32_t CreateGdiFont(CGdiFont** out, const char* face_name, int32_t size,
                         const plat::FontFaceFactory& open_face = plat::OpenFontFace);
  uint32_t CreateFont(CFont** out, const char* face_name, int32_t size,
                      const plat::FontFaceFactory& open_face = plat::OpenFontFace);

  // 1 for null; 2 when not listed here (the caller's pointer stays); else destroys the font
  // and the caller's pointer becomes null: 0.
  template <class T>
  uint32_t DeleteFontRef(T*& font) {
    return DeleteOwnedRef(font, [this](const CFontBase* held) { return DeleteFont(held); });
  }
  void DestroyFonts();
  void DestroyAll() override { DestroyFonts(); }

  const OwnedObjects<CFontBase>& GetFonts() const { return fonts_; }

 private:
  template <class T>
  uint32_t Make(T** out, const char* face_name, int32_t size, const plat::FontFaceFactory& open_face);
  uint32_t DeleteFont(const CFontBase* font);

  OwnedObjects<CFontBase> fonts_;
};
