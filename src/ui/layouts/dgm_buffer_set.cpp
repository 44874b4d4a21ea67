#include "ui/layouts/dgm_buffer_set.h"

#include "gfx/display/screen_manager.h"
#include "scene/drawables/draw_layer.h"
#include "scene/sprites/screen_drawables.h"
#include "scene/sprites/sprite.h"
#include "ui/layouts/dgm_background.h"

namespace {

constexpr uint8_t kPictureType = 0;
// The state a picture part is given.
constexpr uint8_t kPictureState = 1;

}  // namespace

uint32_t CDgmBufferSet::Load(CScreenManager* screen, CDrawLayer* layer, const char* path, uint32_t priority,
                             bool use_attached_list, bool keep_depth) {
  if (screen == nullptr || layer == nullptr || path == nullptr) return kNullArgument;
  Release();
  DgmLayout layout;
  if (const uint32_t status = LoadDgmLayout(path, DgmRecords::kShortPictures, layout); status != 0) return status;
  const uint32_t status = Build(*screen, *layer, layout, priority, use_attached_list, keep_depth);
  if (status != 0) Undo(*screen, *layer);
  return status;
}

uint32_t CDgmBufferSet::Build(CScreenManager& screen, CDrawLayer& layer, const DgmLayout& layout, uint32_t priority,
                              bool use_attached_list, bool keep_depth) {
  if (!layout.background.empty()) {
    CImage* background = nullptr;
    const bool shown = ShowDgmBackground(screen, &layer, layout.background, keep_depth, background);
    background_ = background;
    if (!shown) return kBackgroundFailed;
  }
  parts_.reserve(layout.parts.size());
  for (const DgmPart& record : layout.parts) {
    if (const uint32_t status = AddPart(screen, layer, record, priority, use_attached_list); status != 0) {
      return status;
    }
  }
  return 0;
}

uint32_t CDgmBufferSet::AddPart(CScreenManager& screen, CDrawLayer& layer, const DgmPart& record, uint32_t priority,
                                bool use_attached_list) {
  Part& part = parts_.emplace_back();
  CImage* image = nullptr;
  const bool loaded = screen.LoadImage32(&image, record.picture.c_str(), nullptr, 0, 0) == 0;
  part.image = image;
  if (!loaded) return kPartFailed;
  part.size = record.size;
  if (record.type == kPictureType) {
    part.size = {static_cast<uint16_t>(part.image->GetWidth()), static_cast<uint16_t>(part.image->GetHeight()),
                 kPictureState};
  }
  const plat::Rect source{0, 0, part.size.width, part.size.height};
  CSprite* sprite = nullptr;
  const bool made = CScreenDrawables::Of(screen).CreateSprite(&sprite, image, &source, record.x, record.y) == 0;
  part.sprite = sprite;
  if (!made) return kPartFailed;
  part.sprite->SetOpacity(record.parameter);
  part.sprite->SetEnabled(record.shown != 0);
  CDrawList* list = use_attached_list ? layer.GetAttachedList() : &layer.GetOwnList();
  if (list != nullptr) list->InsertBehind(part.sprite, priority, 0);
  return 0;
}

void CDgmBufferSet::Undo(CScreenManager& screen, CDrawLayer& layer) {
  CImage* background = background_;
  RemoveDgmBackground(screen, &layer, background);
  CScreenDrawables& drawables = CScreenDrawables::Of(screen);
  for (Part& part : parts_) {
    if (part.sprite != nullptr) drawables.DeleteDrawable(part.sprite);
    if (part.image != nullptr) screen.DeleteSurfaceObject(part.image);
  }
  Release();
}

void CDgmBufferSet::Release() {
  background_ = nullptr;
  parts_.clear();
}
