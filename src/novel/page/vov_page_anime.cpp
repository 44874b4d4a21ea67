// The background animation of a slot: a DAD file played by the "bg_anime" effect.
#include "base/text/sjis_fit.h"
#include "effects/framework/create_by_name.h"
#include "effects/framework/effect.h"
#include "novel/page/vov_page.h"
#include "resource/plugins/plugin_args.h"

namespace {

constexpr char kAnimeEffect[] = "bg_anime";
constexpr char kAnimeMode[] = "ANIME";
constexpr std::uint32_t kLastCommand = 5;
constexpr std::uint32_t kClearAndStop = 1;
constexpr std::uint32_t kStop = 3;
constexpr std::uint32_t kStoreValues = 0;
constexpr std::uint32_t kRun = 4;
constexpr std::int32_t kAnimeUnloadable = 1;
constexpr std::int32_t kAnimeNoEffect = 2;

}  // namespace

void CVovPage::EndBgAnime(BgSlotRecord& record) {
  ReleaseSlotEffect(record.anime_effect);
  record.anime.reset();
}

void CVovPage::EndAllBgEffects(BgSlotRecord& record) {
  for (CEffect** field : {&record.effect, &record.persist_effect, &record.quake_effect}) ReleaseSlotEffect(*field);
  EndBgAnime(record);
}

void CVovPage::EndBgEffect(BgSlotRecord& record, bool resume_anime) {
  EndScreenFilter();
  ReleaseSlotEffect(record.effect);
  // The persistent effects that play over the picture, which a change of the slot ends.
  if (record.persist_kind == kPersistLoopingPanime ||
      (record.persist_kind >= kPersistRaster && record.persist_kind <= kPersistCross)) {
    record.persist_kind = 0;
    ReleaseSlotEffect(record.persist_effect);
  }
  if (resume_anime && record.anime_effect != nullptr && record.anime_state != 0) {
    ControlBgAnime(SlotOf(record), kRun, 0, 0);
  }
}

std::int32_t CVovPage::LoadBgAnime(const char* name, std::uint32_t arg1, std::uint32_t arg2, std::uint32_t slot) {
  BgSlotRecord& record = Bg(slot);
  record.anime_name = name != nullptr ? FitSjis(name, kSlotNameSize - 1) : std::string();
  record.anime_state = 0;
  EndBgEffect(record, false);
  EndBgAnime(record);
  if (name == nullptr) return kDone;
  RefPtr<CDadFile> file = MakeRef<CDadFile>();
  if (file->Load(record.anime_name.c_str()) != 0) return kAnimeUnloadable;
  const PluginArgList args{reinterpret_cast<std::uintptr_t>(file.get()), reinterpret_cast<std::uintptr_t>(kAnimeMode),
                           arg1, arg2};
  if (CreateEffectByName(&record.anime_effect, kAnimeEffect, Part(SlotOf(record)), args.View()) != kEffectCreated) {
    record.anime_effect = nullptr;
    return kAnimeNoEffect;
  }
  record.anime = std::move(file);
  record.anime_arg1 = arg1;
  record.anime_arg2 = arg2;
  return kDone;
}

std::int32_t CVovPage::ControlBgAnime(std::uint32_t slot, std::uint32_t command, std::uint32_t a, std::uint32_t b) {
  BgSlotRecord& record = Bg(slot);
  if (command > kLastCommand) return kBadSlot;
  if (record.anime_effect == nullptr) return kAnimeNoEffect;
  if (command == kClearAndStop) ClearBg(record.color, slot);
  if (command == kClearAndStop || command == kStop) {
    record.anime_state = 1;
  } else if (command % 2 == 0) {
    record.anime_state = 0;
  }
  record.anime_effect->SetParam(PluginArgList{command, a, b}.View());
  if (command == kStoreValues) {
    record.anime_arg1 = a;
    record.anime_arg2 = b;
  }
  return kDone;
}
