#include "ui/text_objects/text_surface_factories.h"

#include "gfx/display/surface_object_factory.h"
#include "gfx/images/image.h"
#include "ui/fonts/text_image.h"
#include "ui/text_objects/text_object.h"
#include "ui/widgets/ddraw_sprite.h"

uint32_t CreateTextObject(CScreenManager& screen, CTextObject** out, uint32_t format, const char* text,
                          CFontBase* font) {
  return MakeSurfaceObject(screen, out, 2, [&](CTextObject& object) { return object.SetText(format, text, font); });
}

uint32_t CreateDDrawSprite(CScreenManager& screen, CDDrawSprite** out, const char* text, CFontBase* font) {
  return MakeSurfaceObject(screen, out, 2, [&](CDDrawSprite& sprite) { return sprite.SetText(text, font); });
}

uint32_t CreateTextImage(CScreenManager& screen, CImage** out, const char* text, CFontBase* font, uint32_t flags) {
  return MakeSurfaceObject(screen, out, 6,
                           [&](CImage& image) { return text_image::CreateFromText(image, text, font, flags); });
}
