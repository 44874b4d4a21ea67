#include "sound/sound_channel_manager.h"

#include <algorithm>
#include <new>
#include <string_view>

#include "base/threads/lock_guard.h"
#include "platform/encoding/sjis_text.h"
#include "sound/voice_ducking_task.h"
#include "sound/voice_table.h"

CSoundChannelManager* g_SoundChannels = nullptr;

namespace {

constexpr uint8_t kClasses[] = {CSoundChannelManager::kSoundEffectClass, CSoundChannelManager::kSecondClass,
                                CSoundChannelManager::kVoiceClass};

int ClassIndex(uint8_t sound_class) {
  switch (sound_class) {
    case CSoundChannelManager::kSoundEffectClass:
      return 0;
    case CSoundChannelManager::kSecondClass:
      return 1;
    case CSoundChannelManager::kVoiceClass:
      return 2;
    default:
      return -1;
  }
}

bool SameNameIgnoringCase(const std::optional<std::string>& stored, const char* given) {
  return stored && plat::EqualIgnoringAsciiCase(*stored, given);
}

bool IsEmpty(const char* text) { return text == nullptr || *text == '\0'; }

}  // namespace

CSoundChannelManager::~CSoundChannelManager() {
  CancelBgmTasks();
  FreeChannels();
}

bool CSoundChannelManager::IsClassEnabled(uint8_t sound_class) const {
  const int index = ClassIndex(sound_class);
  return index >= 0 && class_on_[index];
}

void CSoundChannelManager::SetClassSwitch(uint8_t sound_class, bool on) {
  const int index = ClassIndex(sound_class);
  if (index >= 0) class_on_[index] = on;
}

// ---- Volumes ----

void CSoundChannelManager::ApplyBgmVolume() {
  BgmSlot& slot = CurrentBgm();
  const int32_t value = slot.volume * bgm_level_ / 100;
  slot.stream.SetVolume((value * master_volume_) >> 8);
}

void CSoundChannelManager::ApplyChannelVolume(SoundChannel& record) {
  const int32_t value = record.level * record.volume / 100;
  int32_t result = (value * master_volume_) >> 8;
  // Only a pure voice channel follows the voice volume.
  if (record.sound_class == kVoiceClass) result = (voice_volume_ * result) >> 8;
  record.stream.SetVolume(result);
  record.buffer.SetVolume(result);
}

void CSoundChannelManager::SetMasterVolume(int32_t volume, bool sound_effects_only) {
  master_volume_ = std::clamp(volume, 0, 256);
  // The ducking ends first, so that the level applied is the one it saved, not the lowered one.
  CancelVoiceDucking();
  SetBgmVolume(-1, bgm_level_, true);
  for (const auto& record : channels_) {
    const bool looping_or_streamed = record->play_state == SoundChannel::kPlayedLooped || record->IsStreamed();
    if (!sound_effects_only || ((record->sound_class & kSoundEffectClass) != 0 && looping_or_streamed)) {
      ApplyChannelVolume(*record);
    }
  }
}

void CSoundChannelManager::SetVoiceVolume(int32_t volume) {
  voice_volume_ = std::clamp(volume, 0, 256);
  for (const auto& record : channels_) {
    if ((record->sound_class & kVoiceClass) != 0) ApplyChannelVolume(*record);
  }
}

void CSoundChannelManager::SetClassLevel(int32_t level, bool looping_or_streamed_only, uint8_t class_mask) {
  for (int32_t i = 0; i < GetChannelCount(); ++i) {
    const SoundChannel& record = *channels_[i];
    if ((record.sound_class & class_mask) == 0) continue;
    if (looping_or_streamed_only && record.play_state != SoundChannel::kPlayedLooped && !record.IsStreamed()) continue;
    SetChannelVolume(i, -1, level);
  }
}

void CSoundChannelManager::SetBgmVolume(int32_t volume, int32_t level, bool cancel_ducking) {
  if (volume >= 0) CurrentBgm().volume = std::min(volume, 100);
  if (level >= 0) {
    // The ducking task's end puts back the level it lowered, so it goes before the new level.
    if (cancel_ducking) CancelVoiceDucking();
    bgm_level_ = std::min(level, 256);
  }
  ApplyBgmVolume();
}

// ---- Switches ----

void CSoundChannelManager::SetSoundEnabled(bool on, bool keep_one_shots) {
  if (on == sound_on_) return;
  sound_on_ = on;
  SetBgmEnabled(bgm_on_, true);
  for (int i = 0; i < 3; ++i) SetChannelClassEnabled(class_on_[i], kClasses[i], keep_one_shots, true);
}

int32_t CSoundChannelManager::SetBgmEnabled(bool on, bool force) {
  if (on == bgm_on_ && !force) return 0;
  CLockGuard guard(lock_);
  bgm_on_ = on;
  if (!(on && sound_on_)) {
    for (BgmSlot& slot : bgm_) {
      if (slot.stream.IsPlaying(nullptr, nullptr)) slot.stream.Stop();
    }
    return 0;
  }
  BgmSlot& slot = CurrentBgm();
  if (slot.stream.IsPlaying(nullptr, nullptr) || slot.pause_depth != 0 || !slot.file) return 0;
  const int32_t result = OpenCurrentBgm();
  if (result == 0) StartCurrentBgm();
  return result;
}

void CSoundChannelManager::SetChannelClassEnabled(bool on, uint8_t class_mask, bool keep_one_shots, bool force) {
  bool changed = false;
  for (int i = 0; i < 3; ++i) {
    if ((class_mask & kClasses[i]) == 0 || class_on_[i] == on) continue;
    class_on_[i] = on;
    changed = true;
  }
  if ((!changed && !force) || class_mask == 0) return;
  CLockGuard guard(lock_);
  const bool effective = on && sound_on_;
  for (int32_t i = 0; i < GetChannelCount(); ++i) {
    SoundChannel& record = *channels_[i];
    if ((record.sound_class & class_mask) == 0) continue;
    if (record.play_state == SoundChannel::kPlayedLooped) {
      // A looping sound keeps its state so that switching its class on starts it again.
      if (record.active == nullptr) continue;
      if (effective) {
        record.active->PlayLooped();
      } else {
        record.active->Stop();
      }
    } else if (!effective && !keep_one_shots) {
      StopChannel(i);
    }
  }
}

// ---- Music ----

uint32_t CSoundChannelManager::SetBgmPan(int32_t pan) {
  bgm_pan_ = pan;
  return CurrentBgm().stream.SetPan(pan);
}

bool CSoundChannelManager::PlaysMusic(BgmSlot& slot, const char* file, const char* intro) {
  if (!SameNameIgnoringCase(slot.file, file)) return false;
  if (intro != nullptr && !SameNameIgnoringCase(slot.intro, intro)) return false;
  return slot.stream.IsPlaying(nullptr, nullptr);
}

int32_t CSoundChannelManager::OpenCurrentBgm() {
  BgmSlot& slot = CurrentBgm();
  if (!slot.file) return 0;
  const int32_t result =
      slot.intro ? slot.stream.Open(slot.intro->c_str(), slot.file->c_str()) : slot.stream.Open(slot.file->c_str(), nullptr);
  ApplyBgmVolume();
  return result;
}

void CSoundChannelManager::StartCurrentBgm() {
  BgmSlot& slot = CurrentBgm();
  slot.stream.SetPan(bgm_pan_);
  if (slot.loop) {
    slot.stream.PlayLooped();
  } else {
    slot.stream.Play();
  }
}

int32_t CSoundChannelManager::PlayBgm(const char* file, const char* intro, bool loop) {
  CancelBgmTasks();
  CLockGuard guard(lock_);
  if (file == nullptr) return 1;
  BgmSlot& slot = CurrentBgm();
  slot.pause_depth = 0;
  if (PlaysMusic(slot, file, intro)) return kSameMusic;
  const bool on = bgm_on_ && sound_on_;
  slot.file.reset();
  slot.intro.reset();
  if (!IsEmpty(intro)) slot.intro = intro;
  slot.file = file;
  slot.loop = loop;
  if (!on) return kSwitchedOff;
  // Reduced capabilities (negative results) still play.
  const int32_t result = OpenCurrentBgm();
  if (result > 0) {
    slot.file.reset();
    slot.intro.reset();
    return result;
  }
  StartCurrentBgm();
  return 0;
}

void CSoundChannelManager::CloseCurrentBgm() {
  CLockGuard guard(lock_);
  BgmSlot& slot = CurrentBgm();
  slot.stream.Close();
  slot.file.reset();
  slot.intro.reset();
  slot.pause_depth = 0;
}

void CSoundChannelManager::StopBgm() {
  CancelBgmTasks();
  CloseCurrentBgm();
}

uint32_t CSoundChannelManager::PauseBgm() {
  BgmSlot& slot = CurrentBgm();
  ++slot.pause_depth;
  return slot.stream.Pause();
}

uint32_t CSoundChannelManager::ResumeBgm() {
  BgmSlot& slot = CurrentBgm();
  --slot.pause_depth;
  return slot.stream.Resume();
}

void CSoundChannelManager::SwapBgmSlot() { current_bgm_ = 1 - current_bgm_; }

bool CSoundChannelManager::IsBgmPlaying() {
  return bgm_[0].stream.IsPlaying(nullptr, nullptr) || bgm_[1].stream.IsPlaying(nullptr, nullptr);
}

void CSoundChannelManager::CancelBgmTasks() {
  if (task_manager_ == nullptr) return;
  for (const uint32_t kind : {kTimedTaskMusicFade, kTimedTaskMusicCrossFade, kTimedTaskMusicControl}) {
    task_manager_->RemoveByKind(static_cast<int32_t>(kind));
  }
}

// ---- Channels ----

void CSoundChannelManager::EndFadeTask(SoundChannel& record) {
  if (record.fade_task != nullptr && task_manager_ != nullptr) task_manager_->Remove(record.fade_task);
  record.fade_task = nullptr;
}

void CSoundChannelManager::FreeChannels() {
  CancelVoiceDucking();
  // Every task goes while all records still stand: a task's end may touch any channel.
  // A count that failed half-way leaves records never made.
  for (const auto& record : channels_) {
    if (record != nullptr) EndFadeTask(*record);
  }
  channels_.clear();
}

uint32_t CSoundChannelManager::SetChannelCount(int32_t count) {
  if (count == GetChannelCount()) return 0;
  if (count < 1 || count > kMaxChannels) return 1;
  try {
    if (!channels_.empty()) CancelVoiceDucking();
    for (auto it = channels_.begin() + std::min<std::ptrdiff_t>(count, GetChannelCount()); it != channels_.end(); ++it) {
      EndFadeTask(**it);
    }
    channels_.resize(static_cast<std::size_t>(count));
    for (auto& record : channels_) {
      if (record == nullptr) record = std::make_unique<SoundChannel>();
    }
  } catch (const std::bad_alloc&) {
    FreeChannels();
    return 2;
  }
  return 0;
}

SoundChannel* CSoundChannelManager::GetChannel(int32_t channel) {
  if (channel < 0 || channel >= GetChannelCount()) return nullptr;
  return channels_[channel].get();
}

uint32_t CSoundChannelManager::SetChannelVolume(int32_t channel, int32_t volume, int32_t level) {
  SoundChannel* record = GetChannel(channel);
  if (record == nullptr) return 1;
  if (volume >= 0) record->volume = std::min(volume, 100);
  if (level >= 0) record->level = std::min(level, 256);
  ApplyChannelVolume(*record);
  return 0;
}

uint32_t CSoundChannelManager::SetChannelPan(int32_t channel, int32_t pan) {
  SoundChannel* record = GetChannel(channel);
  if (record == nullptr) return 1;
  record->pan = pan;
  if (record->active != nullptr) record->active->SetPan(pan);
  return 0;
}

uint32_t CSoundChannelManager::SetChannelClass(int32_t channel, uint8_t sound_class) {
  SoundChannel* record = GetChannel(channel);
  if (record == nullptr) return 1;
  if ((sound_class & (kSoundEffectClass | kSecondClass | kVoiceClass)) == 0) return 2;
  record->sound_class = sound_class;
  return 0;
}

uint32_t CSoundChannelManager::LoadChannel(int32_t channel, const char* file, uint8_t mode, bool streamed) {
  SoundChannel* record = GetChannel(channel);
  if (record == nullptr || file == nullptr) return 1;
  UnloadChannel(channel);
  int32_t level = default_levels[0];
  if (record->sound_class == kSecondClass && default_levels[1] >= 0) {
    level = default_levels[1];
  } else if (record->sound_class == kVoiceClass && default_levels[2] >= 0) {
    level = default_levels[2];
  }
  record->volume = 100;
  record->level = std::clamp(level, 0, 256);
  int32_t result = (master_volume_ * record->level) >> 8;
  if (record->sound_class == kVoiceClass) result = (voice_volume_ * result) >> 8;
  if (streamed) {
    record->stream.SetVolume(result);
    if (record->stream.Open(file, nullptr) > 0) return 2;
    record->active = &record->stream;
  } else {
    record->buffer.SetVolume(result);
    if (record->buffer.Load(file, mode) > 0) return 2;
    record->active = &record->buffer;
  }
  record->file = file;
  record->active->SetPan(record->pan);
  return 0;
}

void CSoundChannelManager::UnloadChannel(int32_t channel) {
  SoundChannel* record = GetChannel(channel);
  if (record == nullptr) return;
  EndFadeTask(*record);
  if (record->active != nullptr) record->active->Release();
  record->active = nullptr;
  record->file.reset();
  record->play_state = SoundChannel::kStopped;
}

bool CSoundChannelManager::ChannelSwitch(const SoundChannel& record) const {
  // A channel of several classes plays only while every one of them is switched on.
  bool on = true;
  for (int i = 0; i < 3; ++i) {
    if ((record.sound_class & kClasses[i]) != 0) on = on && class_on_[i];
  }
  return on;
}

int32_t CSoundChannelManager::PlayChannel(int32_t channel, bool loop) {
  SoundChannel* record = GetChannel(channel);
  if (record == nullptr) return 1;
  EndFadeTask(*record);
  CLockGuard guard(lock_);
  record->play_state = SoundChannel::kStopped;
  const bool on = ChannelSwitch(*record) && sound_on_;
  if (on && record->active != nullptr) {
    const uint32_t error = loop ? record->active->PlayLooped() : record->active->Play();
    if (error != 0) return static_cast<int32_t>(error) + 1;
  }
  record->play_state = loop ? SoundChannel::kPlayedLooped : SoundChannel::kPlayedOnce;
  return on ? 0 : -1;
}

uint32_t CSoundChannelManager::StopChannel(int32_t channel) {
  SoundChannel* record = GetChannel(channel);
  if (record == nullptr) return 1;
  EndFadeTask(*record);
  if (record->active != nullptr) record->active->Stop();
  record->play_state = SoundChannel::kStopped;
  return 0;
}

bool CSoundChannelManager::IsChannelPlaying(int32_t channel) {
  SoundChannel* record = GetChannel(channel);
  return record != nullptr && record->active != nullptr && record->active->IsPlaying(nullptr, nullptr);
}

uint8_t CSoundChannelManager::GetChannelFadeState(int32_t channel) const {
  if (channel < 0 || channel >= GetChannelCount()) return 0;
  return channels_[channel]->fade_state;
}

void CSoundChannelManager::SetChannelFadeState(int32_t channel, uint8_t state) {
  if (SoundChannel* record = GetChannel(channel)) record->fade_state = state;
}

void CSoundChannelManager::CancelChannelFade(int32_t channel) {
  if (SoundChannel* record = GetChannel(channel)) EndFadeTask(*record);
}

// ---- Voices ----

CVoiceDuckingTask* CSoundChannelManager::StartVoiceDucking(CTimerManager* manager, int32_t voice_channel,
                                                            float fraction) {
  auto task = std::make_unique<CVoiceDuckingTask>();
  if (task->Start(manager, this, voice_channel, fraction) != 0) return nullptr;
  ducking_holder_ = manager;
  return task.release();
}

void CSoundChannelManager::CancelVoiceDucking() {
  if (ducking_holder_ == nullptr) return;
  ducking_holder_->RemoveByKind(kTimedTaskVoiceDucking);
  ducking_holder_ = nullptr;
}

int32_t CSoundChannelManager::PlayCharacterVoice(int32_t channel, const char* voice, int32_t count,
                                                 const int32_t* list) {
  VoiceTable* table = GetVoiceTable();
  if (table == nullptr) return -5;
  if (voice == nullptr) return -3;
  const std::string_view voice_name(voice);
  const auto found = std::find_if(table->names.begin(), table->names.end(),
                                  [&](const VoiceName& entry) { return voice_name.starts_with(entry.name); });
  if (found == table->names.end() || found->character >= table->characters.size()) return -3;
  const auto name_index = static_cast<int32_t>(found - table->names.begin());
  if (channel < 0) return channel == -1 ? name_index : static_cast<int32_t>(found->character);

  VoiceCharacter& character = table->characters[found->character];
  character.second_name_flag = 0;
  if (!class_on_[2] || !sound_on_ || character.enabled == 0) return -2;
  int32_t position = -1;
  for (int32_t i = 0; list != nullptr && i < count; ++i) {
    if (list[i] == name_index) {
      position = i;
      break;
    }
  }
  const std::string path = "VOICE\\" + std::string(voice) + "." + table->extension;
  // A listed character's voice keeps its loudness envelope for the mouth that may follow it:
  // lip sync is always on, and the envelope costs little.
  const uint8_t mode = position >= 0 ? CStaticSoundBuffer::kKeepEnvelope : CStaticSoundBuffer::kPlain;
  if (LoadChannel(channel, path.c_str(), mode, false) != 0) return -4;
  SetChannelVolume(channel, -1, static_cast<int32_t>(character.volume));
  return count < 1 ? name_index : position;
}
