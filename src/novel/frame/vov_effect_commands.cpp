// The frame's effect commands: effects made by name into the fields of the slot records, waited
// for, ended, and the persistent effects of the pages forgotten or asked to end.
#include "base/settings/game_settings.h"
#include "base/time/timer_manager.h"
#include "effects/framework/create_by_name.h"
#include "effects/framework/effect.h"
#include "novel/frame/vov_frame.h"
#include "novel/screens/vov_system_prompts.h"

namespace {

constexpr std::int32_t kStopRequested = 0;
constexpr std::int32_t kNoLongerRuns = 1;

}  // namespace

bool CVovFrame::EffectsEnabled() const {
  return !vov_system::Setting(kSettingScreenEffectsOff) && !ReaderSkipping();
}

bool CVovFrame::EffectRuns(const CEffect* effect) {
  return effect != nullptr && g_PausableTimerManager != nullptr && g_PausableTimerManager->Contains(effect);
}

std::uint32_t CVovFrame::CreateEffect(CEffect*& field, const char* name, void* target, const PluginArgs& args) {
  // An effect still in the field would write null into it when it ends, over the new one.
  ReleaseEffect(field);
  return CreateEffectByName(&field, name, target, args);
}

void CVovFrame::ReleaseEffect(CEffect*& field) { ReleaseSlotEffect(field); }

std::int32_t CVovFrame::WaitEffect(CEffect*& field, bool skippable) {
  while (field != nullptr) {
    if (!RunFramePass()) return kWaitAppEnding;
    if (!EffectRuns(field)) break;
    if (skippable && (IsInterrupted(kInterruptClick | kInterruptSkip) || skip_mode_ || message_skip_mark_)) {
      ReleaseEffect(field);
      return kWaitCutShort;
    }
  }
  // An effect that finished but is not deleted yet no longer writes into the field.
  ReleaseEffect(field);
  return kWaitDone;
}

void CVovFrame::EndBgEffect(std::uint32_t slot, bool resume_anime) {
  EndScreenFilter();
  page_.EndBgEffect(slot, resume_anime);
}

void CVovFrame::EndWindowEffects(std::int32_t index) {
  if (index >= 1) return;
  EndWindowTasks();
}

std::int32_t CVovFrame::EndPersistentEffect(std::uint32_t page, bool force) {
  BgSlotRecord& record = page_.Bg(page);
  const std::int32_t kind = record.persist_kind;
  record.persist_kind = 0;
  if (!force && kind > kPersistQuake) {
    if (!EffectRuns(record.persist_effect)) {
      ReleaseEffect(record.persist_effect);
      return kNoLongerRuns;
    }
    record.persist_effect->SetParam(PluginArgList{kStopRequested}.View());
    return 0;
  }
  ReleaseEffect(kind == kPersistQuake ? record.quake_effect : record.persist_effect);
  return 0;
}
