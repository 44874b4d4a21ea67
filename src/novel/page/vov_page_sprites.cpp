// The sprite slots of the novel page: loading, tinting, placing and ordering the character
// pictures of the three groups on either page.
#include <algorithm>

#include "base/text/sjis_case.h"
#include "base/text/sjis_fit.h"
#include "gfx/images/image.h"
#include "novel/page/slot_filters.h"
#include "novel/page/vov_page.h"
#include "platform/encoding/sjis_text.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_list.h"
#include "scene/sprites/sprite.h"

namespace {

constexpr std::uint32_t kPriorityStep = 100;
constexpr std::uint8_t kSpriteDrawMode = 1;
constexpr std::uint32_t kDuplicateStorage = 2;
constexpr std::int32_t kCentreX = 400;
constexpr std::int32_t kLeftX = 200;
constexpr std::int32_t kRightX = 600;
constexpr std::int32_t kFootY = 600;

// The first three letters a sprite name is known by, with the two names that stand for others.
std::string CharacterKey(const std::string& name) {
  std::string key = name.substr(SlotNameLeafStart(name), 3);
  UpperSjis(key);
  if (key == "MIS") return "X05";
  if (key == "AKI") return "X27";
  return key;
}

void MarkChanged(SpriteRecord& record) {
  if (record.sprite == nullptr) return;
  plat::Rect whole{0, 0, record.sprite->GetWidth(), record.sprite->GetHeight()};
  record.sprite->SetDirty(true);
  record.sprite->InvalidateLocalRect(&whole);
}

}  // namespace

std::uint32_t CVovPage::GroupSlots(std::int32_t group) { return group == 1 || group == 2 ? 3 : 6; }

std::uint32_t CVovPage::GroupBase(std::int32_t group) {
  if (group == 1) return 10000;
  if (group == 2) return 30000;
  return 20000;
}

CVovPage::Group& CVovPage::GroupOf(std::int32_t group) {
  if (group == 1) return groups_[0];
  if (group == 2) return groups_[2];
  return groups_[1];
}

std::span<SpriteRecord*> CVovPage::PageRecords(bool back, std::int32_t group) {
  const std::uint32_t slots = GroupSlots(group);
  return std::span<SpriteRecord*>(GroupOf(group).table).subspan(back ? slots : 0, slots);
}

SpriteRecord* CVovPage::Sprite(std::uint32_t index, bool back, std::int32_t group) {
  if (index >= GroupSlots(group)) return nullptr;
  return PageRecords(back, group)[index];
}

std::int32_t CVovPage::CharacterOf(const std::string& name) const {
  const std::string key = CharacterKey(name);
  const std::size_t count = std::min(characters_.size(), kMaxCharacters);
  for (std::size_t i = 0; i < count; ++i) {
    if (characters_[i].compare(0, 3, key) == 0) return static_cast<std::int32_t>(i);
  }
  return kUnlistedCharacter;
}

void CVovPage::ClearSpriteRecord(SpriteRecord& record) {
  // The effect works on the sprite that goes; the other page's record keeps a picture it shares.
  ReleaseSlotEffect(record.effect);
  const std::uint32_t priority = record.priority;
  record = SpriteRecord();
  record.priority = priority;
}

void CVovPage::Reprioritise(SpriteRecord& record, bool back, std::uint32_t priority) {
  record.priority = priority;
  if (record.sprite == nullptr) return;
  if (CDrawList* list = record.sprite->GetOwnerList()) {
    list->SetPriority(record.sprite.get(), priority, false);
  } else if (CDrawLayer* layer = Layer(back ? 1 : 0); layer != nullptr && layer->GetAttachedList() != nullptr) {
    layer->GetAttachedList()->SetPriority(record.sprite.get(), priority, false);
  }
}

void CVovPage::PushBack(bool back, std::int32_t group, std::uint32_t priority) {
  for (SpriteRecord* other : PageRecords(back, group)) {
    if (other->priority < priority) Reprioritise(*other, back, other->priority + kPriorityStep);
  }
}

void CVovPage::InsertSprite(SpriteRecord& record, bool back) {
  if (CDrawLayer* layer = Layer(back ? 1 : 0)) layer->GetOwnList().Insert(record.sprite.get(), record.priority, 0);
}

std::int32_t CVovPage::LoadSprite(std::uint32_t index, const char* name, bool back, std::int32_t group) {
  SpriteRecord* record = Sprite(index, back, group);
  if (record == nullptr) return kBadSlot;
  if (name == nullptr) {
    if (record->character < 0) return kFreeRecord;
    EndScreenFilter();
    ClearSpriteRecord(*record);
    return kDone;
  }
  if (plat::EqualIgnoringAsciiCase(record->name, name) && record->filter == kFilterNone) return kDone;
  EndScreenFilter();
  // A record in use keeps its place for the new picture.
  const std::int32_t x = record->x;
  const std::int32_t y = record->y;
  ClearSpriteRecord(*record);
  record->x = x;
  record->y = y;
  record->name = FitSjis(name, kSlotNameSize - 1);
  UpperSjis(record->name);
  record->character = CharacterOf(record->name);

  PushBack(back, group, record->priority);
  record->priority = GroupBase(group);
  if (!ShowSpritePicture(*record, back)) {
    ClearSpriteRecord(*record);
    return kNoImage;
  }

  const std::uint32_t tone = Bg(back ? 1 : 0).tone;
  if (record->character != kUnlistedCharacter && tint_sprites_ && (tone == 1 || tone == 2)) {
    SetSpriteFilter(index, static_cast<std::uint8_t>(tone + 4), false, false, back, group);
  }
  return kDone;
}

bool CVovPage::ShowSpritePicture(SpriteRecord& record, bool back) {
  auto image = std::make_shared<CImage>();
  if (image->LoadFile32(record.name.c_str(), nullptr, 0, 0) != 0) return false;
  record.image = std::move(image);
  record.ref_x = kCentreX - static_cast<std::int32_t>(record.image->GetUserWord0());
  record.ref_y = kFootY - static_cast<std::int32_t>(record.image->GetUserWord1());
  record.sprite = std::make_unique<CSprite>();
  record.sprite->SetImage(record.image.get(), nullptr, record.x - record.ref_x, record.y - record.ref_y);
  record.sprite->SetDrawMode(kSpriteDrawMode);
  InsertSprite(record, back);
  return true;
}

void CVovPage::UnshareSprite(SpriteRecord& record, bool back, std::int32_t group) {
  const auto here = PageRecords(back, group);
  const std::size_t index = static_cast<std::size_t>(std::ranges::find(here, &record) - here.begin());
  SpriteRecord& other = *PageRecords(!back, group)[index];
  if (record.image == nullptr || other.image != record.image) return;
  auto copy = std::make_shared<CImage>();
  if (copy->Duplicate(record.image.get(), kDuplicateStorage) != 0) return;
  other.image = std::move(copy);
  other.sprite = std::make_unique<CSprite>();
  other.sprite->SetImage(other.image.get(), nullptr, other.x - other.ref_x, other.y - other.ref_y);
  other.sprite->SetDrawMode(kSpriteDrawMode);
  InsertSprite(other, !back);
}

std::int32_t CVovPage::SetSpriteFilter(std::uint32_t index, std::uint8_t filter, bool mirror_x, bool mirror_y,
                                       bool back, std::int32_t group) {
  SpriteRecord* record = Sprite(index, back, group);
  if (record == nullptr) return kBadSlot;
  if (record->image == nullptr) return kNoImage;
  UnshareSprite(*record, back, group);
  if (const std::int32_t status = ApplySlotFilter(*record->image, record->filter, filter); status != 0) return status;
  ToggleSlotMirrors(*record->image, record->mirror_x, record->mirror_y, mirror_x, mirror_y);
  MarkChanged(*record);
  return kDone;
}

std::int32_t CVovPage::SoftenSprite(std::uint32_t index, std::uint32_t strength, bool back, std::int32_t group) {
  SpriteRecord* record = Sprite(index, back, group);
  if (record == nullptr) return kBadSlot;
  if (record->image == nullptr) return kNoImage;
  if (record->softened != 0) return kRefused;
  UnshareSprite(*record, back, group);
  SoftenSlot(*record->image, record->softened, strength);
  MarkChanged(*record);
  return kDone;
}

std::int32_t CVovPage::PlaceSprite(std::uint32_t index, std::int32_t position, bool outside, bool back,
                                   std::int32_t group) {
  SpriteRecord* record = Sprite(index, back, group);
  if (record == nullptr) return kBadSlot;
  if (record->image == nullptr) return kNoImage;
  record->y = kFootY;
  switch (position) {
    case 1:
      record->x = outside ? record->ref_x - record->image->GetWidth() : kLeftX;
      break;
    case 2:
      record->x = outside ? record->ref_x + kWidth : kRightX;
      break;
    default:  // the centre, also for positions the scenario should not give
      record->x = kCentreX;
      if (outside) record->y = record->ref_y + kFootY;
      break;
  }
  if (record->sprite != nullptr) record->sprite->SetPosition(record->x - record->ref_x, record->y - record->ref_y);
  return kDone;
}

std::int32_t CVovPage::MoveSprite(std::uint32_t index, std::int32_t dx, std::int32_t dy, bool back,
                                  std::int32_t group) {
  SpriteRecord* record = Sprite(index, back, group);
  if (record == nullptr) return kBadSlot;
  if (record->image == nullptr) return kNoImage;
  // The record follows the sprite, so that a save taken now draws it here again.
  record->x += dx;
  record->y += dy;
  if (record->sprite != nullptr) record->sprite->MoveBy(dx, dy);
  return kDone;
}

std::int32_t CVovPage::SpriteToFront(std::uint32_t index, bool back, std::int32_t group, bool end_effect) {
  SpriteRecord* record = Sprite(index, back, group);
  if (record == nullptr) return kBadSlot;
  if (end_effect) ReleaseSlotEffect(record->effect);
  const std::uint32_t base = GroupBase(group);
  if (record->priority == base) return kDone;
  PushBack(back, group, record->priority);
  record->priority = base;
  if (end_effect) Reprioritise(*record, back, base);
  return kDone;
}

std::int32_t CVovPage::SpriteToBack(std::uint32_t index, bool back, std::int32_t group, bool end_effect) {
  SpriteRecord* record = Sprite(index, back, group);
  if (record == nullptr) return kBadSlot;
  if (end_effect) ReleaseSlotEffect(record->effect);
  const std::uint32_t target = GroupBase(group) + kPriorityStep * (GroupSlots(group) - 1);
  for (SpriteRecord* other : PageRecords(back, group)) {
    if (other->priority > record->priority) Reprioritise(*other, back, other->priority - kPriorityStep);
  }
  record->priority = target;
  if (end_effect) Reprioritise(*record, back, target);
  return kDone;
}

std::int32_t CVovPage::ClearSprites(bool back, std::int32_t group) {
  if (group == -1) {
    for (std::int32_t each : {1, 0, 2}) ClearSprites(back, each);
    return kDone;
  }
  for (SpriteRecord* record : PageRecords(back, group)) ClearSpriteRecord(*record);
  return kDone;
}
