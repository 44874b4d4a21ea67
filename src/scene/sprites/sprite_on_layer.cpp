#include "scene/sprites/sprite_on_layer.h"

#include "gfx/display/image_canvas.h"
#include "gfx/display/screen_manager.h"
#include "gfx/images/image.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_list.h"
#include "scene/sprites/sprite.h"

namespace {

constexpr uint8_t kKeyBlendMode = 2;

uint32_t SetSpriteImage(CSprite& sprite, CImage& image, const SpritePlacement& placement) {
  const plat::Rect* source = placement.source.left < 0 ? nullptr : &placement.source;
  return sprite.SetImage(&image, source, placement.x, placement.y) == 0 ? 0 : 3;
}

CDrawList* ListOf(const SpritePlacement& placement) {
  CImagePart* part = placement.part;
  if (part == nullptr && g_ScreenManager != nullptr) part = g_ScreenManager->GetFrameImage();
  if (part == nullptr) return nullptr;
  auto* layer = dynamic_cast<CDrawLayer*>(part->GetLayer());
  if (layer == nullptr) return nullptr;
  return placement.attached_list ? layer->GetAttachedList() : &layer->GetOwnList();
}

uint32_t Place(CSprite& sprite, const SpritePlacement& placement) {
  if (placement.priority >= 0) {
    if (CDrawList* list = ListOf(placement); list != nullptr) {
      const uint32_t tag = g_ScreenManager != nullptr ? g_ScreenManager->GetDrawableId() : 0;
      list->Insert(&sprite, static_cast<uint32_t>(placement.priority), tag);
    }
  }
  sprite.SetEnabled(placement.enabled);
  return 0;
}

}  // namespace

uint32_t LoadSpriteOnLayer(CSprite* sprite, CImage* image, const char* file_name, int32_t key_mode,
                           int32_t key_value, const SpritePlacement& placement) {
  if (sprite == nullptr || image == nullptr) return 1;
  if (image->LoadFile32(file_name, nullptr, 0, 0) != 0) return 2;
  if (const uint32_t status = SetSpriteImage(*sprite, *image, placement); status != 0) return status;
  if (key_mode >= 0) {
    image->SetColorKeyFromPixel(key_mode, key_value);
  } else if (key_mode <= -2) {
    sprite->SetBlendMode(kKeyBlendMode);
    sprite->SetOpacity(static_cast<uint8_t>(key_value));
  }
  return Place(*sprite, placement);
}

uint32_t ShowSpriteOnLayer(CSprite* sprite, CImage* image, uint8_t blend_mode, uint8_t opacity,
                           const SpritePlacement& placement) {
  if (sprite == nullptr || image == nullptr) return 1;
  if (const uint32_t status = SetSpriteImage(*sprite, *image, placement); status != 0) return status;
  if (blend_mode != 0) {
    sprite->SetBlendMode(blend_mode);
    sprite->SetOpacity(opacity);
  }
  return Place(*sprite, placement);
}
