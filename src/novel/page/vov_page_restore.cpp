// The page after a load: the records' plain fields came back with the saved state; here their
// pictures are loaded again and given back the look the fields describe. Looks that toggle or
// accumulate (filters, mirrors, softening, letterbox) are cleared in the record first and applied
// through the slot operations, so that each applies once.
#include <cstdio>

#include "novel/page/vov_page.h"
#include "scene/drawables/draw_layer.h"
#include "scene/sprites/sprite.h"

namespace {

// The animation's start: the slot's picture cleared, the frames shown in its place.
constexpr std::uint32_t kAnimeStart = 1;

// The zoom as the slot operations take it, a decimal text.
std::string ZoomText(float zoom) {
  char text[32];
  std::snprintf(text, sizeof(text), "%.9g", static_cast<double>(zoom));
  return text;
}

}  // namespace

void CVovPage::DropPictures() {
  for (BgSlotRecord& record : bg_) {
    EndAllBgEffects(record);
    record.capture.reset();
    ReleaseBgImage(record);
  }
  for (Group& group : groups_) {
    for (SpriteRecord& record : group.records) {
      ReleaseSlotEffect(record.effect);
      record.sprite.reset();
      record.image.reset();
    }
  }
}

CVovPage::Restored CVovPage::RestoreSprite(std::uint32_t index, bool back, std::int32_t group) {
  SpriteRecord* record = Sprite(index, back, group);
  if (record == nullptr || record->character < 0) return {};
  if (!ShowSpritePicture(*record, back)) {
    ClearSpriteRecord(*record);
    return {};
  }
  if (record->filter != kFilterNone || record->mirror_x != 0 || record->mirror_y != 0) {
    const std::uint8_t filter = record->filter;
    const bool mirror_x = record->mirror_x != 0;
    const bool mirror_y = record->mirror_y != 0;
    record->filter = kFilterNone;
    record->mirror_x = record->mirror_y = 0;
    SetSpriteFilter(index, filter, mirror_x, mirror_y, back, group);
  }
  if (record->softened != 0) {
    const std::uint8_t strength = record->softened;
    record->softened = 0;
    SoftenSprite(index, strength, back, group);
  }
  record->sprite->SetOpacity(record->alpha);
  if (record->zoom != 0) {
    record->sprite->SetAnchor(CSprite::kAnchorAtPoint, record->anchor_x, record->anchor_y);
    record->sprite->RenderTransformed(record->angle, record->zoom);
  }
  return {true, record->persist_kind != 0};
}

CVovPage::Restored CVovPage::RestoreBg(std::uint32_t slot) {
  BgSlotRecord& record = Bg(slot);
  // Starting the animation again ends the slot's effects, which forgets the persistent one.
  const std::int32_t persist_kind = record.persist_kind;
  if (!record.anime_name.empty()) {
    const std::string anime = record.anime_name;
    const std::uint32_t stopped = record.anime_state;
    LoadBgAnime(anime.c_str(), record.anime_arg1, record.anime_arg2, slot);
    record.anime_state = stopped;
  }
  record.persist_kind = persist_kind;
  if (record.name.empty() && record.anime_name.empty()) {
    ShowBg(record, true);
    return {false, persist_kind != 0};
  }
  ReloadBg(record);
  // The animation was made again in its selected state; one that played plays again (a resume
  // would be refused by an animation that has not started).
  if (record.anime_state != 0) ControlBgAnime(slot, kAnimeStart, 0, 0);
  if (record.softened != 0 && record.image != nullptr) {
    const std::uint8_t strength = record.softened;
    record.softened = 0;
    SoftenBg(strength, slot);
  }
  if (record.filter != kFilterNone || record.mirror_x != 0 || record.mirror_y != 0 || record.letterbox != 0) {
    const std::uint8_t filter = record.filter;
    const bool mirror_x = record.mirror_x != 0;
    const bool mirror_y = record.mirror_y != 0;
    const bool letterbox = record.letterbox != 0;
    record.filter = kFilterNone;
    record.mirror_x = record.mirror_y = record.letterbox = 0;
    SetBgFilter(filter, mirror_x, mirror_y, letterbox, slot);
  }
  if (record.frozen != 0) FreezeBg(true, slot, false);
  RestoreBgView(record, slot);
  record.persist_kind = persist_kind;
  return {record.image != nullptr, persist_kind != 0};
}

void CVovPage::RestoreBgView(BgSlotRecord& record, std::uint32_t slot) {
  const auto area = record.area;
  if (area[0] != kNoArea) {
    SetBgArea(area[0], area[1], area[2] - area[0], area[3] - area[1], slot);
  } else if (record.zoom != 0) {
    SetBgRotoZoom(record.angle, ZoomText(record.zoom).c_str(), record.offset_x, record.offset_y, slot);
  } else {
    SetBgOffset(record.offset_x, record.offset_y, slot);
  }
}
