// The opcodes of the background and screen effects: zoom, turn and path of a slot's view (46-49),
// the waits and ends of a slot's effect (57, 58), the persistent effects of a page (59-65) and
// the quake on the front page (108-111). With effects off or while the reader skips, a command
// applies its end state at once; a persistent effect is recorded also when nothing runs, so
// that a later load starts it.
#include <array>
#include <cstdint>
#include <string>

#include "base/settings/game_settings.h"
#include "effects/framework/effect.h"
#include "effects/framework/background_canvas.h"
#include "effects/framework/effect_args.h"
#include "novel/frame/vov_effect_words.h"
#include "novel/frame/vov_frame.h"
#include "novel/screens/vov_system_prompts.h"
#include "resource/plugins/dcp_plugin_manager.h"

namespace {

constexpr std::uint32_t kViewTime = 1000;
constexpr std::uint32_t kCrossTime = 2000;
constexpr std::uint32_t kNoisePriority = 19900;
constexpr std::uint32_t kParticlePriority = 19950;
constexpr std::uint32_t kParticleSpread = 700;
constexpr std::size_t kLongestPathName = 47;
constexpr std::int32_t kDone = 0;
constexpr std::int32_t kFailed = 1;
constexpr std::int32_t kPathTooLong = 2;
constexpr std::int32_t kPathNotStarted = 3;
constexpr std::int32_t kAssistErrorBase = 4;
constexpr std::int32_t kNotRunning = 1;
constexpr std::int32_t kNoSwitches = 2;
constexpr std::array<const char*, 4> kParticleNames = {"paper", "light", "snow", "rain"};
constexpr std::array<const char*, 2> kHazeTables = {"(1,0,10)", "(1,0,20)"};

void* FrontPart(CVovFrame& frame) { return frame.Page().Part(0); }

// The view of the slot put at the end of the path at once, through "bg_panime"'s assist entry:
// 0 with the offsets stored; -2 without the entry; else the entry's failure.
std::int32_t ShowPathEnd(CVovFrame& frame, std::uint32_t slot, const std::string& path) {
  const ObjectAssistFunc assist = FindHostAssistFunc("bg_panime");
  if (assist == nullptr) return kAssistMissing;
  std::int32_t x = 0;
  std::int32_t y = 0;
  const PluginArgList args{reinterpret_cast<std::uintptr_t>(GetCanvasOfPart(frame.Page().SlotPart(slot))),
                           reinterpret_cast<std::uintptr_t>(path.c_str()), reinterpret_cast<std::uintptr_t>(&x),
                           reinterpret_cast<std::uintptr_t>(&y)};
  const PluginArgs view = args.View();
  const std::int32_t status = assist(&view);
  if (status != 0) return status;
  BgSlotRecord& record = frame.Page().Bg(slot);
  record.offset_x = x;
  record.offset_y = y;
  return kDone;
}

// 46: the view zooms about a point.
std::int32_t ZoomHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  const std::uint32_t slot = ValueAt(operands, 5);
  frame.EndBgEffect(slot, false);
  const auto x = static_cast<std::int32_t>(OperandOr(operands, 1, kScreenCentreX));
  const auto y = static_cast<std::int32_t>(OperandOr(operands, 2, kScreenCentreY));
  if (!frame.EffectsEnabled()) {
    const std::string zoom = OperandText(operands, 0);
    return frame.Page().SetBgZoomArea(x, y, OperandIsText(operands, 0) ? zoom.c_str() : nullptr, slot);
  }
  EffectWords words(operands);
  words.Value(static_cast<std::uint32_t>(x)).Value(static_cast<std::uint32_t>(y)).TextOperand(0).TextOperand(4);
  words.Value(OperandNonZeroOr(operands, 3, kViewTime));
  BgSlotRecord& record = frame.Page().Bg(slot);
  if (frame.CreateEffect(record.effect, "bg_zoom", frame.Page().SlotPart(slot), words.View()) != 0) return kFailed;
  if (record.effect == nullptr) return kDone;
  // The record keeps the end view, which a save carries.
  std::array<std::int32_t, 4> area{};
  record.effect->GetParam(PluginArgList{reinterpret_cast<std::uintptr_t>(&area[0]),
                                        reinterpret_cast<std::uintptr_t>(&area[1]),
                                        reinterpret_cast<std::uintptr_t>(&area[2]),
                                        reinterpret_cast<std::uintptr_t>(&area[3])}
                              .View());
  record.area = {area[0], area[1], area[0] + area[2], area[1] + area[3]};
  record.offset_x = record.offset_y = 0;
  record.zoom = 0;
  return kDone;
}

// 47: the view turns and zooms.
std::int32_t TurnHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  const std::uint32_t slot = ValueAt(operands, 6);
  frame.EndBgEffect(slot, false);
  const std::string zoom = OperandText(operands, 1);
  const char* zoom_text = OperandIsText(operands, 1) ? zoom.c_str() : nullptr;
  const std::int32_t angle = SignedAt(operands, 0);
  const std::int32_t x = SignedAt(operands, 2);
  const std::int32_t y = SignedAt(operands, 3);
  if (!frame.EffectsEnabled()) return frame.Page().SetBgRotoZoom(angle, zoom_text, x, y, slot);
  EffectWords words(operands);
  words.Value(ValueAt(operands, 2)).Value(ValueAt(operands, 3)).Value(ValueAt(operands, 0));
  words.Text(zoom_text).TextOperand(5);
  words.Value(OperandNonZeroOr(operands, 4, kViewTime));
  BgSlotRecord& record = frame.Page().Bg(slot);
  if (frame.CreateEffect(record.effect, "bg_rot", frame.Page().SlotPart(slot), words.View()) != 0) return kFailed;
  record.angle = angle;
  record.zoom = zoom_text != nullptr ? static_cast<float>(ParseDecimal(zoom_text)) : 1.0f;
  record.offset_x = x;
  record.offset_y = y;
  record.area = {kNoArea, 0, 0, 0};
  return kDone;
}

// 48: the view moves along a path; with the loop flag for ever, recorded as persistent.
std::int32_t PathHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  const std::uint32_t slot = ValueAt(operands, 5);
  const std::string path = OperandText(operands, 0);
  const bool loop = OperandFlag(operands, 6);
  if (loop && path.size() > kLongestPathName) return kPathTooLong;
  frame.EndBgEffect(slot, false);
  if (!frame.EffectsEnabled()) {
    const std::int32_t status = ShowPathEnd(frame, slot, path);
    return status == kDone || status == kAssistMissing ? status : status + kAssistErrorBase;
  }
  const std::uint32_t time = OperandOr(operands, 1, kViewTime);
  EffectWords words(operands);
  words.Text(path.c_str()).Value(time).Byte(ValueAt(operands, 2)).Byte(ValueAt(operands, 3)).Byte(ValueAt(operands, 4));
  words.Value(loop ? 1 : 0).Value(loop ? 0 : 1);
  BgSlotRecord& record = frame.Page().Bg(slot);
  CEffect*& field = loop ? record.persist_effect : record.effect;
  if (frame.CreateEffect(field, "bg_panime", frame.Page().SlotPart(slot), words.View()) != 0) return kPathNotStarted;
  if (field != nullptr) {
    std::int32_t x = 0;
    std::int32_t y = 0;
    if (field->GetParam(PluginArgList{reinterpret_cast<std::uintptr_t>(&x), reinterpret_cast<std::uintptr_t>(&y)}
                            .View()) == 0) {
      record.offset_x = x;
      record.offset_y = y;
    }
  }
  if (loop) {
    record.persist_kind = kPersistLoopingPanime;
    SetPersistWord(record, 0, time);
    SetPersistWord(record, 1, ValueAt(operands, 2) & 0xFF);
    SetPersistWord(record, 2, ValueAt(operands, 3) & 0xFF);
    SetPersistName(record, path);
  }
  return kDone;
}

// 49: the view put at the end of a path at once.
std::int32_t PathEndHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  return ShowPathEnd(frame, ValueAt(operands, 1), OperandText(operands, 0));
}

// 57: waits for the slot's effect.
std::int32_t WaitSlotEffectHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  CEffect*& field = frame.Page().Bg(ValueAt(operands, 0)).effect;
  const bool skippable = OperandFlag(operands, 1);
  return frame.SkippableWait(skippable, [&] { CVovFrame::ReleaseEffect(field); },
                             [&] { return frame.WaitEffect(field, skippable); });
}

// 58: ends the slot's effect.
std::int32_t EndSlotEffectHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  CVovFrame::ReleaseEffect(frame.Page().Bg(ValueAt(operands, 0)).effect);
  return kDone;
}

// The persistent effects test only the user's setting: a skipping reader still sees them.
bool PersistentEffectsOn() { return !vov_system::Setting(kSettingScreenEffectsOff); }

// 59: noise over the front page.
std::int32_t NoiseHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  const std::uint32_t slot = ValueAt(operands, 3);
  frame.EndScreenFilter();
  frame.EndPersistentEffect(slot, true);
  BgSlotRecord& record = frame.Page().Bg(slot);
  const std::uint32_t strength = ValueAt(operands, 0) & 0xFF;
  const std::uint32_t first = OperandFlag(operands, 1) ? 1 : 0;
  const std::uint32_t second = OperandFlag(operands, 2) ? 1 : 0;
  if (PersistentEffectsOn()) {
    EffectWords words(operands);
    words.Value(strength).Value(kNoisePriority).Value(first).Value(second);
    if (frame.CreateEffect(record.persist_effect, "noise", FrontPart(frame), words.View()) != 0) return kFailed;
  }
  record.persist_kind = kPersistNoise;
  SetPersistWord(record, 0, strength);
  SetPersistWord(record, 1, first);
  SetPersistWord(record, 2, second);
  return kDone;
}

// Before a raster, haze or cross: the screen filter ends, and the slot's effect run once or its
// persistent effect.
void EndForSlotEffect(CVovFrame& frame, std::uint32_t slot, bool once) {
  frame.EndScreenFilter();
  if (once) {
    CVovFrame::ReleaseEffect(frame.Page().Bg(slot).effect);
  } else {
    frame.EndPersistentEffect(slot, true);
  }
}

// Whether an effect of a slot starts now: run once, it waits for effects to be enabled;
// persistent, only for the user's setting.
bool StartsNow(const CVovFrame& frame, bool once) { return once ? frame.EffectsEnabled() : PersistentEffectsOn(); }

// 60: a raster (mode 0) or a haze (modes 1 and 2) over the slot's view; a hold of 0 keeps it.
std::int32_t WaveHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  const std::uint32_t mode = ValueAt(operands, 0);
  if (mode > 2) return kFailed;
  const std::uint32_t slot = ValueAt(operands, 4);
  const bool once = ValueAt(operands, 5) != 0;
  EndForSlotEffect(frame, slot, once);
  BgSlotRecord& record = frame.Page().Bg(slot);
  const std::uint32_t fill = ValueAt(operands, 8) & 0xFF;
  if (StartsNow(frame, once)) {
    EffectWords words(operands);
    if (mode == 0) {
      words.Value(ValueAt(operands, 1));
    } else {
      words.Text(kHazeTables[mode - 1]);
    }
    for (const std::size_t n : {2, 3, 5, 6, 7}) words.Value(ValueAt(operands, n));
    words.Value(fill).Value(once ? 1 : 0);
    CEffect*& field = once ? record.effect : record.persist_effect;
    if (frame.CreateEffect(field, mode == 0 ? "bg_rast" : "bg_haze", frame.Page().SlotPart(slot), words.View()) != 0) {
      return mode == 0 ? 2 : 3;
    }
  }
  if (!once) {
    record.persist_kind = kPersistRaster + static_cast<std::int32_t>(mode);
    SetPersistWord(record, 0, ValueAt(operands, 1));
    SetPersistWord(record, 1, ValueAt(operands, 2));
    SetPersistWord(record, 2, ValueAt(operands, 3));
    SetPersistWord(record, 3, ValueAt(operands, 7));
    SetPersistWord(record, 4, fill);
  }
  return kDone;
}

// 61: the slot's view crosses with the other page's; without a count for ever.
std::int32_t CrossHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  const std::uint32_t slot = ValueAt(operands, 3);
  const std::uint32_t period = OperandOr(operands, 0, kCrossTime);
  const bool once = ValueAt(operands, 1) != 0;
  EndForSlotEffect(frame, slot, once);
  BgSlotRecord& record = frame.Page().Bg(slot);
  const std::uint32_t mode = ValueAt(operands, 2) & 0xFF;
  if (StartsNow(frame, once)) {
    EffectWords words(operands);
    words.Value(period).Value(ValueAt(operands, 1)).Value(mode).Value(once ? 1 : 0);
    CEffect*& field = once ? record.effect : record.persist_effect;
    if (frame.CreateEffect(field, "bg_cross", frame.Page().SlotPart(slot), words.View()) != 0) return kFailed;
  }
  if (!once) {
    record.persist_kind = kPersistCross;
    SetPersistWord(record, 0, period);
    SetPersistWord(record, 1, mode);
  }
  return kDone;
}

// 62: paper, light, snow or rain over the front page.
std::int32_t ParticleHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  const std::uint32_t kind = ValueAt(operands, 0);
  if (kind >= kParticleNames.size()) return kFailed;
  const std::uint32_t slot = ValueAt(operands, 6);
  frame.EndScreenFilter();
  frame.EndPersistentEffect(slot, true);
  BgSlotRecord& record = frame.Page().Bg(slot);
  const std::uint32_t count = ValueAt(operands, 1);
  const std::uint32_t first = ValueAt(operands, 4) & 0xFF;
  const std::uint32_t second = ValueAt(operands, 5) & 0xFF;
  if (PersistentEffectsOn()) {
    EffectWords words(operands);
    words.Value(count).Value(kParticlePriority).Value(kParticleSpread).Byte(ValueAt(operands, 2)).TextOperand(3);
    words.Value(first).Value(second);
    if (frame.CreateEffect(record.persist_effect, kParticleNames[kind], FrontPart(frame), words.View()) != 0) {
      return 2;
    }
  }
  record.persist_kind = kPersistPaper + static_cast<std::int32_t>(kind);
  SetPersistWord(record, 0, kind);
  SetPersistWord(record, 1, first);
  SetPersistWord(record, 2, second);
  // The fourth word, which the command leaves free, keeps the count for a restart.
  SetPersistWord(record, 3, count);
  SetPersistName(record, OperandText(operands, 3));
  return kDone;
}

// 63: the page switches of the running noise or particle effect.
std::int32_t SwitchesHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  BgSlotRecord& record = frame.Page().Bg(ValueAt(operands, 0));
  if (!CVovFrame::EffectRuns(record.persist_effect)) return kNotRunning;
  const std::uint32_t first = ValueAt(operands, 1);
  const std::uint32_t second = ValueAt(operands, 2);
  if (record.persist_kind == kPersistNoise) {
    record.persist_effect->SetParam(PluginArgList{first, second}.View());
  } else if (record.persist_kind >= kPersistPaper) {
    record.persist_effect->SetParam(PluginArgList{1, first, second}.View());
  } else {
    return kNoSwitches;
  }
  SetPersistWord(record, 1, first);
  SetPersistWord(record, 2, second);
  return kDone;
}

// 64: ends the page's persistent effect, at once with the force flag.
std::int32_t EndPersistentHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  return frame.EndPersistentEffect(ValueAt(operands, 0), OperandFlag(operands, 1));
}

// 65: waits for the page's persistent effect that 64 asked to end; one still recorded ends.
std::int32_t WaitPersistentHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  const std::uint32_t page = ValueAt(operands, 0);
  BgSlotRecord& record = frame.Page().Bg(page);
  if (record.persist_kind != kPersistNone) return frame.EndPersistentEffect(page, true);
  const bool skippable = OperandFlag(operands, 1);
  return frame.SkippableWait(skippable, [&] { CVovFrame::ReleaseEffect(record.persist_effect); },
                             [&] { return frame.WaitEffect(record.persist_effect, skippable); });
}

// 108 and 109: the quake on the front page, recorded as persistent without a duration. The
// operands at `places`: period, amplitudes x and y, duration, decay text, cache mode, the two
// shake flags, then the page.
std::int32_t Quake(CVovFrame& frame, std::span<const VovOperand> operands, const std::array<std::size_t, 9>& places) {
  const auto value = [&](std::size_t n) { return ValueAt(operands, places[n]); };
  const std::uint32_t page = value(8);
  const bool once = value(3) != 0;
  frame.EndScreenFilter();
  BgSlotRecord& record = frame.Page().Bg(page);
  if (once) {
    CVovFrame::ReleaseEffect(record.quake_effect);
  } else {
    frame.EndPersistentEffect(page, true);
  }
  if (StartsNow(frame, once)) {
    EffectWords words(operands);
    for (std::size_t n = 0; n < 4; ++n) words.Value(value(n));
    words.TextOperand(places[4]);
    for (std::size_t n = 5; n < 8; ++n) words.Byte(value(n));
    words.Value(once ? 1 : 0);
    if (frame.CreateEffect(record.quake_effect, "quake", FrontPart(frame), words.View()) != 0) return kFailed;
  }
  if (!once) {
    record.persist_kind = kPersistQuake;
    for (const std::size_t n : {0, 1, 2}) SetPersistWord(record, n, value(n));
    for (const std::size_t n : {5, 6, 7}) SetPersistWord(record, n - 2, value(n) & 0xFF);
  }
  return kDone;
}

// 111's end of the quake, which a skipped 110 applies too.
void EndQuake(CVovFrame& frame, std::uint32_t page) {
  BgSlotRecord& record = frame.Page().Bg(page);
  if (record.persist_kind == kPersistQuake) record.persist_kind = kPersistNone;
  CVovFrame::ReleaseEffect(record.quake_effect);
}

// A place past every operand: it reads as an absent operand, 0.
constexpr std::size_t kNoOperand = SIZE_MAX;

}  // namespace

void CVovFrame::InstallBgEffectHandlers() {
  SetHandler(46, ZoomHandler);
  SetHandler(47, TurnHandler);
  SetHandler(48, PathHandler);
  SetHandler(49, PathEndHandler);
  SetHandler(57, WaitSlotEffectHandler);
  SetHandler(58, EndSlotEffectHandler);
  SetHandler(59, NoiseHandler);
  SetHandler(60, WaveHandler);
  SetHandler(61, CrossHandler);
  SetHandler(62, ParticleHandler);
  SetHandler(63, SwitchesHandler);
  SetHandler(64, EndPersistentHandler);
  SetHandler(65, WaitPersistentHandler);
  // 108 has no period (0 shakes at random); 109 takes its third operand as the period.
  SetHandler(108, [](CVovFrame& frame, std::span<const VovOperand> operands) {
    return Quake(frame, operands, {kNoOperand, 0, 1, 2, 3, 4, 5, 6, 7});
  });
  SetHandler(109, [](CVovFrame& frame, std::span<const VovOperand> operands) {
    return Quake(frame, operands, {2, 0, 1, 3, 4, 5, 6, 7, 8});
  });
  SetHandler(110, [](CVovFrame& frame, std::span<const VovOperand> operands) {
    const std::uint32_t page = ValueAt(operands, 0);
    BgSlotRecord& record = frame.Page().Bg(page);
    if (record.persist_kind == kPersistQuake) {
      EndQuake(frame, page);
      return kDone;
    }
    const bool skippable = OperandFlag(operands, 1);
    return frame.SkippableWait(skippable, [&] { EndQuake(frame, page); },
                               [&] { return frame.WaitEffect(record.quake_effect, skippable); });
  });
  SetHandler(111, [](CVovFrame& frame, std::span<const VovOperand> operands) {
    EndQuake(frame, ValueAt(operands, 0));
    return kDone;
  });
}
