// The frame's sound commands (opcodes 116 to 126): sound effects played, faded and stopped on the
// script host's channels, waits for a channel or for the music's fade, character voices, and
// music by track number. The frame remembers what loops on the four sound-effect channels and
// which track plays, so that a saved game starts them again.
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "base/input/player_input.h"
#include "base/settings/game_settings.h"
#include "novel/frame/vov_frame.h"
#include "sound/bgm_track.h"
#include "sound/channel_fade_tasks.h"
#include "sound/fade_task_start.h"
#include "sound/sound_channel_manager.h"

namespace {

constexpr std::int32_t kFirstEffectChannel = static_cast<std::int32_t>(kFirstLoopingChannel);
constexpr std::uint32_t kEffectChannels = kLoopingChannels;
constexpr std::uint32_t kDefaultFadeTime = 1000;
// What an operand beyond the channel numbers becomes: a channel the manager refuses.
constexpr std::int32_t kNoChannel = -1;
constexpr std::int32_t kNoTrack = -1;
constexpr std::int32_t kSpeakerVoiceOff = -2;
constexpr std::uint32_t kStreamed = 1;

bool Setting(std::size_t offset) { return CurrentGameSettings()[offset] != 0; }

std::int32_t ChannelOf(std::int32_t operand) {
  const std::int64_t channel = operand >= 0 ? std::int64_t{operand} + kFirstEffectChannel : -std::int64_t{operand};
  return channel <= std::numeric_limits<std::int32_t>::max() ? static_cast<std::int32_t>(channel) : kNoChannel;
}

// The looping record of a sound-effect channel; none for the other channels.
std::optional<std::size_t> LoopIndex(std::int32_t channel) {
  const std::int64_t index = std::int64_t{channel} - kFirstEffectChannel;
  if (index < 0 || index >= static_cast<std::int64_t>(kEffectChannels)) return std::nullopt;
  return static_cast<std::size_t>(index);
}

std::uint32_t FadeTime(std::uint32_t duration) { return duration == 0 ? kDefaultFadeTime : duration; }

// Frame passes while `running` holds: 0 when it no longer does; 1 when `skipped` (null: never)
// holds first; -1 when the application ends.
std::int32_t WaitWhile(CVovFrame& frame, const std::function<bool()>& running, const std::function<bool()>& skipped) {
  for (;;) {
    if (!running()) return CVovFrame::kWaitDone;
    if (skipped && skipped()) return CVovFrame::kWaitCutShort;
    if (!frame.RunFramePass()) return CVovFrame::kWaitAppEnding;
  }
}

// What cuts a skippable sound wait short: a wait marked for it under the setting that shows a
// loaded game without fades, the skip key, a click, or skipping.
std::function<bool()> SoundWaitSkip(CVovFrame& frame, bool skippable, bool voice_wait) {
  if (!skippable) return nullptr;
  return [&frame, voice_wait] {
    return (voice_wait && Setting(kSettingNoFadeAfterLoad)) || IsSkipKeyDown() ||
           frame.IsInterrupted(CVovFrame::kInterruptClick) || frame.SkipMode() || frame.MessageSkipMark();
  };
}

std::int32_t Signed(const VovOperand& operand) { return static_cast<std::int32_t>(operand.value); }
bool Flag(std::span<const VovOperand> operands, std::size_t n) { return VovOperandAt(operands, n).value != 0; }
std::string Text(std::span<const VovOperand> operands, std::size_t n) { return std::string(VovOperandAt(operands, n).text); }

// 116: music by track number (operand 2 the fade time, 3 the loop flag).
std::int32_t MusicTrackHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  frame.PlayMusicTrack(Signed(VovOperandAt(operands, 0)), VovOperandAt(operands, 1).value, Flag(operands, 2));
  return 0;
}

void StopMusicWithoutTrack() {
  if (g_CurrentBgm == 0 && g_SoundChannels != nullptr) g_SoundChannels->StopBgm();
}

// 117: the wait for the music's fade.
std::int32_t MusicFadeWaitHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  const bool skippable = Flag(operands, 0);
  return frame.SkippableWait(skippable, StopMusicWithoutTrack, [&] { return frame.WaitBgmFade(skippable); });
}

// 118: the music's fade waited for, then the music stops and its track is forgotten.
std::int32_t MusicStopHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  const bool skippable = Flag(operands, 0);
  const std::int32_t result =
      frame.SkippableWait(skippable, [] {}, [&] { return frame.WaitBgmFade(skippable); });
  frame.StopMusicTrack();
  return result;
}

// 119: name, channel, stream flag, loop flag.
std::int32_t PlaySoundHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  frame.PlaySound(Text(operands, 0).c_str(), Signed(VovOperandAt(operands, 1)), VovOperandAt(operands, 2).value,
                  Flag(operands, 3));
  return 0;
}

// 120: name, duration, channel, stream flag.
std::int32_t FadeInSoundHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  frame.FadeInSound(Text(operands, 0).c_str(), VovOperandAt(operands, 1).value, Signed(VovOperandAt(operands, 2)),
                    VovOperandAt(operands, 3).value);
  return 0;
}

// 121: duration, channel.
std::int32_t FadeOutSoundHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  frame.FadeOutSound(VovOperandAt(operands, 0).value, Signed(VovOperandAt(operands, 1)));
  return 0;
}

std::int32_t StopSoundHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  frame.StopSound(Signed(VovOperandAt(operands, 0)));
  return 0;
}

std::int32_t UnloadSoundsHandler(CVovFrame& frame, std::span<const VovOperand>) { return frame.UnloadSoundEffects(); }

// 124: channel, stop flag, voice-wait flag, skippable.
std::int32_t SoundFadeWaitHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  const std::int32_t channel = Signed(VovOperandAt(operands, 0));
  const bool stop = Flag(operands, 1);
  const bool skippable = Flag(operands, 3);
  return frame.SkippableWait(
      skippable, [&] { if (stop) frame.StopSound(channel); },
      [&] { return frame.WaitSoundFade(channel, skippable, stop, Flag(operands, 2)); });
}

// 125: channel, voice-wait flag, skippable. A looping channel stopped at once is a wait that
// ended, not one the reader cut short.
std::int32_t SoundWaitHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  const std::int32_t channel = Signed(VovOperandAt(operands, 0));
  const bool skippable = Flag(operands, 2);
  return frame.SkippableWait(skippable, [&] { frame.StopSound(channel); }, [&] {
    const std::int32_t result = frame.WaitSound(channel, skippable, Flag(operands, 1));
    return result == CVovFrame::kLoopingStopped ? CVovFrame::kWaitDone : result;
  });
}

// 126: voice name, loop flag; the voice that plays stops first when going on stops voices.
std::int32_t VoiceHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  if (Setting(kSettingClickStopsVoice) && g_SoundChannels != nullptr &&
      g_SoundChannels->IsChannelPlaying(CVovFrame::kVoiceChannel)) {
    g_SoundChannels->StopChannel(CVovFrame::kVoiceChannel);
  }
  frame.PlayVoice(Text(operands, 0).c_str(), Flag(operands, 1));
  return 0;
}

}  // namespace

std::int32_t CVovFrame::EffectChannel(std::int32_t channel) {
  if (channel >= 0) return ChannelOf(channel);
  std::int32_t& next = state_words_[kStateNextSeChannel];
  // A loaded word may hold anything; only its place among the four counts.
  const std::uint32_t chosen = static_cast<std::uint32_t>(next) % kEffectChannels;
  next = static_cast<std::int32_t>((chosen + 1) % kEffectChannels);
  return kFirstEffectChannel + static_cast<std::int32_t>(chosen);
}

bool CVovFrame::ChannelLooping(std::int32_t channel) const {
  const std::optional<std::size_t> index = LoopIndex(channel);
  return index && looping_[*index].looping;
}

void CVovFrame::RememberLoop(std::int32_t channel, bool loop, const char* name, std::uint32_t stream) {
  const std::optional<std::size_t> index = LoopIndex(channel);
  if (!index) return;
  VovLoopingSound* record = &looping_[*index];
  record->looping = loop;
  if (!loop) return;
  // The restore step plays the remembered name itself.
  if (name != record->name.c_str()) record->name = name != nullptr ? name : "";
  record->mode = static_cast<std::uint8_t>(stream);
}

std::int32_t CVovFrame::PlaySound(const char* name, std::int32_t channel, std::uint32_t stream, bool loop) {
  const std::int32_t chosen = EffectChannel(channel);
  if (Setting(kSettingSoundEffectsOn)) {
    if (g_SoundChannels == nullptr ||
        g_SoundChannels->LoadChannel(chosen, name, CStaticSoundBuffer::kPlain, stream == kStreamed) != 0) {
      return 1;
    }
    g_SoundChannels->PlayChannel(chosen, loop);
  } else if (!loop) {
    return 0;
  }
  RememberLoop(chosen, loop, name, stream);
  return 0;
}

std::int32_t CVovFrame::FadeInSound(const char* name, std::uint32_t duration, std::int32_t channel,
                                    std::uint32_t stream) {
  const std::int32_t chosen = EffectChannel(channel);
  if (Setting(kSettingSoundEffectsOn)) {
    if (g_SoundChannels == nullptr) return 1;
    // -1, the class switched off, leaves the sound loaded to loop once the class is on again.
    if (StartFadeTask(std::make_unique<CChannelFadeInTask>(FadeTime(duration)), g_SoundChannels, name, chosen, true,
                      stream == kStreamed) > 0) {
      return 1;
    }
  }
  RememberLoop(chosen, true, name, stream);
  return 0;
}

std::int32_t CVovFrame::FadeOutSound(std::uint32_t duration, std::int32_t channel) {
  const std::int32_t chosen = ChannelOf(channel);
  RememberLoop(chosen, false, nullptr, 0);
  if (g_SoundChannels == nullptr) return 1;
  // -1: the channel did not play and was stopped at once.
  return StartFadeTask(std::make_unique<CChannelFadeOutTask>(FadeTime(duration)), g_SoundChannels, chosen) > 0 ? 1 : 0;
}

std::int32_t CVovFrame::StopSound(std::int32_t channel) {
  const std::int32_t chosen = ChannelOf(channel);
  RememberLoop(chosen, false, nullptr, 0);
  if (g_SoundChannels != nullptr) g_SoundChannels->StopChannel(chosen);
  return 0;
}

std::int32_t CVovFrame::UnloadSoundEffects() {
  for (std::uint32_t index = 0; index < kEffectChannels; ++index) {
    const std::int32_t channel = kFirstEffectChannel + static_cast<std::int32_t>(index);
    if (g_SoundChannels != nullptr) g_SoundChannels->UnloadChannel(channel);
    RememberLoop(channel, false, nullptr, 0);
  }
  state_words_[kStateNextSeChannel] = 0;
  return 0;
}

std::int32_t CVovFrame::WaitSoundFade(std::int32_t channel, bool skippable, bool stop_after_skip, bool voice_wait) {
  if (g_SoundChannels == nullptr) return kWaitDone;
  const std::int32_t chosen = ChannelOf(channel);
  const std::int32_t result = WaitWhile(
      *this, [chosen] { return g_SoundChannels->GetChannelFadeState(chosen) != 0; },
      SoundWaitSkip(*this, skippable, voice_wait));
  if (result == kWaitCutShort && stop_after_skip) StopSound(channel);
  return result;
}

std::int32_t CVovFrame::WaitSound(std::int32_t channel, bool skippable, bool voice_wait) {
  if (ChannelLooping(ChannelOf(channel))) {
    StopSound(channel);
    return kLoopingStopped;
  }
  if (g_SoundChannels == nullptr) return kWaitDone;
  const std::int32_t chosen = ChannelOf(channel);
  const std::int32_t result = WaitWhile(
      *this, [chosen] { return g_SoundChannels->IsChannelPlaying(chosen); }, SoundWaitSkip(*this, skippable, voice_wait));
  if (result == kWaitCutShort) StopSound(channel);
  return result;
}

std::int32_t CVovFrame::WaitBgmFade(bool skippable) {
  if (g_SoundChannels == nullptr) return kWaitDone;
  std::function<bool()> skipped;
  if (skippable) {
    skipped = [this] { return IsInterrupted(kInterruptClick | kInterruptSkip) || skip_mode_ || message_skip_mark_; };
  }
  const std::int32_t result = WaitWhile(*this, [] { return g_SoundChannels->bgm_fade_kind != 0; }, skipped);
  if (result == kWaitCutShort) StopMusicWithoutTrack();
  return result;
}

std::int32_t CVovFrame::PlayVoice(const char* name, bool loop) {
  if (!Setting(kSettingVoicesOn)) return 1;
  const std::int32_t speaker = PlaySpeakerVoice(name != nullptr ? name : "", loop);
  if (speaker == kSpeakerVoiceOff) return 2;
  return speaker < kSpeakerVoiceOff ? 3 : 0;
}

void CVovFrame::PlayMusicTrack(std::int32_t track, std::uint32_t fade_time, bool loop) {
  PlayBgmTrack(track, fade_time, loop);
  state_words_[kStateBgm] = track;
  state_words_[kStateNoMusic] = track == 0 ? 1 : 0;
}

void CVovFrame::StopMusicTrack() {
  PlayBgmTrack(0, 0, false);
  state_words_[kStateBgm] = kNoTrack;
  state_words_[kStateNoMusic] = 1;
}

void CVovFrame::InstallSoundHandlers() {
  handlers_[116] = MusicTrackHandler;
  handlers_[117] = MusicFadeWaitHandler;
  handlers_[118] = MusicStopHandler;
  handlers_[119] = PlaySoundHandler;
  handlers_[120] = FadeInSoundHandler;
  handlers_[121] = FadeOutSoundHandler;
  handlers_[122] = StopSoundHandler;
  handlers_[123] = UnloadSoundsHandler;
  handlers_[124] = SoundFadeWaitHandler;
  handlers_[125] = SoundWaitHandler;
  handlers_[126] = VoiceHandler;
}
