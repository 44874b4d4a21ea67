// The sound channels behind the scripts' music, voice and sound-effect commands: the music in two
// streaming slots (the second serves cross-fades), a script-sized array of numbered channels that
// each hold a streamed or a whole sound, the volume chain (volume 0..100 and level 0..256 of each
// sound, scaled by the master and voice volumes 0..256), the five on/off switches, and the state
// that save files carry. Fades and voice ducking run as tasks of the manager's timer manager.
// The game thread alone calls it; its lock keeps the operations that start or stop sound whole.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/numbers/byte_cursor.h"
#include "base/threads/critical_section.h"
#include "base/time/timer_manager.h"
#include "sound/static_sound_buffer.h"
#include "sound/stream_sound_buffer.h"

struct VoiceTable;
class CVoiceDuckingTask;

// One music slot: the stream, the file it plays (the looping part in the two-part form), the
// intro played once before it, the volume 0..100, the nesting of pauses and the loop flag.
struct BgmSlot {
  CStreamSoundBuffer stream;
  std::optional<std::string> file;
  std::optional<std::string> intro;
  int32_t volume = 100;
  int32_t pause_depth = 0;
  bool loop = false;
};

// One numbered channel. `active` points at `stream` or `buffer`, whichever holds the sound.
struct SoundChannel {
  static constexpr uint8_t kStopped = 0;
  static constexpr uint8_t kPlayedOnce = 1;
  static constexpr uint8_t kPlayedLooped = 2;

  bool IsStreamed() const { return active == &stream; }

  CSoundBuffer* active = nullptr;
  CStreamSoundBuffer stream;
  // The loaded sound's name as the load was given it, streamed or whole (saves keep it so, not
  // resolved to where the game's folder lay when the game was saved).
  std::optional<std::string> file;
  CStaticSoundBuffer buffer;
  int32_t volume = 100;
  int32_t level = 256;
  int32_t pan = 0;
  uint8_t play_state = kStopped;
  // 0 none, 1 volume fade, 2 fade in, 3 fade out.
  uint8_t fade_state = 0;
  // Bits: 1 sound effect, 2 second class, 4 voice.
  uint8_t sound_class = 1;
  // Cleared by the task itself when it ends.
  CTimedTask* fade_task = nullptr;
};

class CSoundChannelManager {
 public:
  static constexpr uint8_t kSoundEffectClass = 1;
  static constexpr uint8_t kSecondClass = 2;
  static constexpr uint8_t kVoiceClass = 4;
  // PlayBgm's and PlayChannel's results besides 0 and the open errors.
  static constexpr int32_t kSameMusic = -1;
  static constexpr int32_t kSwitchedOff = -2;
  // The BGM fade kinds that the music tasks announce.
  static constexpr uint8_t kBgmVolumeFade = 1;
  static constexpr uint8_t kBgmFadeIn = 2;
  static constexpr uint8_t kBgmFadeOut = 3;
  static constexpr uint8_t kBgmCrossFade = 4;

  CSoundChannelManager() = default;
  CSoundChannelManager(const CSoundChannelManager&) = delete;
  CSoundChannelManager& operator=(const CSoundChannelManager&) = delete;
  // Ends the music tasks, the channels' fades and the ducking, then the sounds.
  virtual ~CSoundChannelManager();

  // The saved state: the music's pan, names, volume and loop flag, then per channel its sound
  // (none, streamed or whole, with the file), volume, pan, looping and class.
  virtual uint32_t GetSaveSize() const;
  virtual uint32_t SaveState(ByteWriter& out) const;
  // 0; 1 the state is damaged or cut short (checked whole before anything changes).
  virtual uint32_t RestoreState(ByteReader& in);

  void SetTaskManager(CTimerManager* manager) { task_manager_ = manager; }
  CTimerManager* GetTaskManager() const { return task_manager_; }

  // Switches. Each takes effect on the sounds at once (see the sources for the order).
  void SetSoundEnabled(bool on, bool keep_one_shots);
  int32_t SetBgmEnabled(bool on, bool force);
  void SetChannelClassEnabled(bool on, uint8_t class_mask, bool keep_one_shots, bool force);
  bool IsSoundEnabled() const { return sound_on_; }
  bool IsBgmEnabled() const { return bgm_on_; }
  // The switch of class 1, 2 or 4; false for any other value.
  bool IsClassEnabled(uint8_t sound_class) const;
  // Sets a class switch alone, as the scripts' option calls do.
  void SetClassSwitch(uint8_t sound_class, bool on);

  void SetMasterVolume(int32_t volume, bool sound_effects_only);
  void SetVoiceVolume(int32_t volume);
  int32_t GetMasterVolume() const { return master_volume_; }
  int32_t GetVoiceVolume() const { return voice_volume_; }
  void SetClassLevel(int32_t level, bool looping_or_streamed_only, uint8_t class_mask);
  // The level a channel of class 1, 2 or 4 gets on load; -1 for classes 2 and 4: that of class 1.
  int32_t default_levels[3] = {256, -1, -1};

  // Music. Volume 0..100 of the current slot and level 0..256 (-1 keeps either); with
  // `cancel_ducking` a new level ends the voice ducking first.
  void SetBgmVolume(int32_t volume, int32_t level, bool cancel_ducking);
  uint32_t SetBgmPan(int32_t pan);
  // 0, kSameMusic, kSwitchedOff (the names are kept for SetBgmEnabled), 1 no name, or the
  // stream's open error.
  int32_t PlayBgm(const char* file, const char* intro, bool loop);
  void StopBgm();
  uint32_t PauseBgm();
  uint32_t ResumeBgm();
  void SwapBgmSlot();
  bool IsBgmPlaying();
  BgmSlot& CurrentBgm() { return bgm_[current_bgm_]; }
  int32_t GetBgmLevel() const { return bgm_level_; }
  int32_t GetBgmPan() const { return bgm_pan_; }
  uint8_t bgm_fade_kind = 0;
  // Whether `slot` holds `file` (and `intro`, when one is given) and plays it.
  static bool PlaysMusic(BgmSlot& slot, const char* file, const char* intro);
  // Opens the current slot's stream on its stored names, as PlayBgm does, without playing it.
  int32_t OpenCurrentBgm();
  // Starts the current slot's opened stream with the BGM pan, looped or once by its flag.
  void StartCurrentBgm();
  // Closes the current slot's stream and forgets its names, leaving the music tasks running.
  void CloseCurrentBgm();
  // Ends every music task (fades and cross-fade).
  void CancelBgmTasks();

  // Channels. A bad index is answered by 1 (or nothing) and changes nothing.
  // The most channels a game may ask for; each record holds its own sound objects.
  static constexpr int32_t kMaxChannels = 1024;
  // 0; 1 for a count below 1 or above kMaxChannels; 2 when the records cannot be made.
  uint32_t SetChannelCount(int32_t count);
  int32_t GetChannelCount() const { return static_cast<int32_t>(channels_.size()); }
  void FreeChannels();
  SoundChannel* GetChannel(int32_t channel);
  uint32_t SetChannelVolume(int32_t channel, int32_t volume, int32_t level);
  uint32_t SetChannelPan(int32_t channel, int32_t pan);
  uint32_t SetChannelClass(int32_t channel, uint8_t sound_class);
  // 0, 1 bad channel or no name, 2 the sound does not load.
  uint32_t LoadChannel(int32_t channel, const char* file, uint8_t mode, bool streamed);
  void UnloadChannel(int32_t channel);
  // 0 started, -1 its class is switched off (the state is recorded all the same), 1 bad channel,
  // else the buffer's error + 1.
  int32_t PlayChannel(int32_t channel, bool loop);
  uint32_t StopChannel(int32_t channel);
  bool IsChannelPlaying(int32_t channel);
  uint8_t GetChannelFadeState(int32_t channel) const;
  void SetChannelFadeState(int32_t channel, uint8_t state);
  // Ends the channel's fade task.
  void CancelChannelFade(int32_t channel);

  // Lowers the music while the voice channel plays, to `fraction` of its level (negative: half).
  // The task, or null when it did not start.
  CVoiceDuckingTask* StartVoiceDucking(CTimerManager* manager, int32_t voice_channel, float fraction);
  void CancelVoiceDucking();

  // Loads a character's voice "VOICE\<name>.<extension>" on the channel with the character's
  // level (it does not play it). The character is the first whose voice-name prefix matches. A
  // negative channel only looks up: -1 gives the voice name's index, other values the
  // character's. Else the name's index when `count` < 1, or the character's place among
  // `list[0..count)` (-1 when absent); -5 no voice table, -3 unknown name, -2 switched off,
  // -4 the voice does not load.
  int32_t PlayCharacterVoice(int32_t channel, const char* voice, int32_t count, const int32_t* list);

 protected:
  // The voice-information table that PlayCharacterVoice reads; null when none.
  virtual VoiceTable* GetVoiceTable() { return nullptr; }

 private:
  struct SavedChannel;
  struct SavedState;
  static std::optional<SavedState> ParseState(ByteReader& in);

  void ApplyBgmVolume();
  void ApplyChannelVolume(SoundChannel& record);
  // Ends the record's fade task before the record changes or goes.
  void EndFadeTask(SoundChannel& record);
  // PlayChannel's switch for the record's class.
  bool ChannelSwitch(const SoundChannel& record) const;

  int32_t master_volume_ = 256;
  int32_t voice_volume_ = 256;
  BgmSlot bgm_[2];
  int32_t current_bgm_ = 0;
  int32_t bgm_level_ = 256;
  int32_t bgm_pan_ = 0;
  std::vector<std::unique_ptr<SoundChannel>> channels_;
  bool sound_on_ = true;
  bool bgm_on_ = true;
  bool class_on_[3] = {true, true, true};
  CTimerManager* task_manager_ = nullptr;
  CTimerManager* ducking_holder_ = nullptr;
  CCriticalSection lock_;
};

// The channel manager that the game's script host owns.
extern CSoundChannelManager* g_SoundChannels;
