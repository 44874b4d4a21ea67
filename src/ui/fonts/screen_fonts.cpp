#include "ui/fonts/screen_fonts.h"

#include <utility>

#include "base/lifetime/owned_objects.h"
#include "gfx/display/display_object_factory.h"
#include "gfx/display/screen_manager.h"
#include "ui/fonts/font.h"
#include "ui/fonts/gdi_font.h"

CScreenFonts& CScreenFonts::Of(CScreenManager& screen) {
  if (screen.GetFontList() == nullptr) screen.SetFontList(std::make_unique<CScreenFonts>());
  // Only this function attaches the screen's font list.
  return static_cast<CScreenFonts&>(*screen.GetFontList());
}

template <class T>
uint32_t CScreenFonts::Make(T** out, const char* face_name, int32_t size, const plat::FontFaceFactory& open_face) {
  return MakeDisplayObject(
      out, 2, [&](T& font) { return font.SetFont(size, 0, 0, face_name); },
      [&](std::unique_ptr<T> font) { return fonts_.Append(std::move(font), out); }, open_face);
}

uint32_t CScreenFonts::CreateGdiFont(CGdiFont** out, const char* face_name, int32_t size,
                                     const plat::FontFaceFactory& open_face) {
  return Make(out, face_name, size, open_face);
}

uint32_t CScreenFonts::CreateFont(CFont** out, const char* face_name, int32_t size,
                                  const plat::FontFaceFactory& open_face) {
  return Make(out, face_name, size, open_face);
}

uint32_t CScreenFonts::DeleteFont(const CFontBase* font) { return fonts_.Delete(font); }

void CScreenFonts::DestroyFonts() { fonts_.DestroyInOrder(); }
