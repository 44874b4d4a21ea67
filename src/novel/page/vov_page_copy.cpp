// The copy of the novel page's front page to its back page, which a transition then changes.
#include "effects/framework/effect.h"
#include "gfx/images/image.h"
#include "novel/page/vov_page.h"
#include "scene/drawables/draw_layer.h"
#include "scene/sprites/sprite.h"

namespace {

// The plain fields of a background record, but for what the back slot keeps of its own.
void CopyBgFields(const BgSlotRecord& from, BgSlotRecord& to) {
  const std::uint8_t frozen = to.frozen;
  const std::int32_t persist_kind = to.persist_kind;
  const auto persist_params = to.persist_params;
  to.name = from.name;
  to.anime_name = from.anime_name;
  to.tone = from.tone;
  to.color = from.color;
  to.filter = from.filter;
  to.mirror_x = from.mirror_x;
  to.mirror_y = from.mirror_y;
  to.letterbox = from.letterbox;
  to.softened = from.softened;
  to.offset_x = from.offset_x;
  to.offset_y = from.offset_y;
  to.area = from.area;
  to.zoom = from.zoom;
  to.angle = from.angle;
  to.anime_state = from.anime_state;
  to.anime_arg1 = from.anime_arg1;
  to.anime_arg2 = from.anime_arg2;
  to.frozen = frozen;
  to.persist_kind = persist_kind;
  to.persist_params = persist_params;
}

void CopySpriteFields(const SpriteRecord& from, SpriteRecord& to) {
  to.name = from.name;
  to.character = from.character;
  to.x = from.x;
  to.y = from.y;
  to.ref_x = from.ref_x;
  to.ref_y = from.ref_y;
  to.priority = from.priority;
  to.filter = from.filter;
  to.mirror_x = from.mirror_x;
  to.mirror_y = from.mirror_y;
  to.softened = from.softened;
  to.alpha = from.alpha;
  to.zoom = from.zoom;
  to.angle = from.angle;
  to.anchor_x = from.anchor_x;
  to.anchor_y = from.anchor_y;
  to.persist_kind = from.persist_kind;
  to.persist_param = from.persist_param;
  to.persist_name = from.persist_name;
}

}  // namespace

void CVovPage::CopyFrontToBack() {
  BgSlotRecord& front = Bg(0);
  BgSlotRecord& back = Bg(1);
  ClearBg(front.color, 1);
  ClearSprites(true, -1);
  if (front.image != nullptr) {
    back.image = front.image;
    CopyBgFields(front, back);
    LoadBgAnime(nullptr, 0, 0, 1);
    ShowBg(back, true);
    RestoreBgView(back, 1);
  }
  for (std::int32_t group : {1, 0, 2}) {
    const std::span<SpriteRecord*> fronts = PageRecords(false, group);
    const std::span<SpriteRecord*> backs = PageRecords(true, group);
    for (std::size_t i = 0; i < fronts.size(); ++i) {
      SpriteRecord& from = *fronts[i];
      SpriteRecord& to = *backs[i];
      to.priority = from.priority;
      if (from.sprite == nullptr) continue;
      ReleaseSlotEffect(from.effect);
      ReleaseSlotEffect(to.effect);
      to.image = from.image;
      to.sprite = std::make_unique<CSprite>();
      to.sprite->CopyFrom(from.sprite.get());
      CopySpriteFields(from, to);
      InsertSprite(to, true);
    }
  }
}
