// Timed changes of the music: a volume fade to a target, a fade in of new music from silence, a
// fade out that stops the music, and a cross-fade from the playing music to new music in the
// other slot. Each start first ends the music tasks that run; a started task belongs to the timer
// manager, and a task whose start failed is the caller's to delete. While one runs, the
// manager's BGM fade kind names it.
#pragma once

#include <cstdint>

#include "sound/sound_channel_manager.h"
#include "sound/sound_fade_task.h"

// Start results shared by the music tasks.
inline constexpr int32_t kFadeNullArgument = 1;

class CBgmFadeTask : public CSoundFadeTask {
 public:
  using CSoundFadeTask::CSoundFadeTask;
  uint32_t GetTypeId() const override { return kTimedTaskMusicFade; }

 protected:
  // Ends the running music tasks and remembers the manager and slot.
  bool Prepare(CTimerManager* timer, CSoundChannelManager* manager, BgmSlot* slot);
  bool IsSoundPlaying() override { return slot_->stream.IsPlaying(nullptr, nullptr); }
  // Registers the task and announces its kind: false when the timer manager refused it.
  bool Register(CTimerManager& timer, uint8_t kind);
  void SetVolume(int32_t volume) { manager_->SetBgmVolume(volume, -1, true); }

  BgmSlot* slot_ = nullptr;
};

class CBgmVolumeFadeTask final : public CBgmFadeTask {
 public:
  // The target is kept within 0..100.
  CBgmVolumeFadeTask(uint32_t duration, int32_t target_volume);
  // 0; 1 a null argument; 2 the timer manager refused the task.
  int32_t Start(CTimerManager* timer, CSoundChannelManager* manager, BgmSlot* slot);

 private:
  void Step(uint32_t elapsed) override;
  void Finish() override;

  int32_t target_;
  int32_t start_volume_ = 0;
};

class CBgmFadeInTask final : public CBgmFadeTask {
 public:
  using CBgmFadeTask::CBgmFadeTask;
  // Plays the music from silence up to the slot's volume. 0; -1 the same music plays already;
  // -2 music is switched off; 1 a null argument; 2 the music does not open; 3 refused.
  int32_t Start(CTimerManager* timer, CSoundChannelManager* manager, BgmSlot* slot, const char* file,
                const char* intro, bool loop);

 private:
  void Step(uint32_t elapsed) override;
  void Finish() override;

  int32_t target_ = 0;
};

class CBgmFadeOutTask final : public CBgmFadeTask {
 public:
  using CBgmFadeTask::CBgmFadeTask;
  // 0; -1 nothing plays (the music is stopped at once); 1 a null argument; 2 refused. The
  // finished fade stops the music and keeps the volume it started from for the next music.
  int32_t Start(CTimerManager* timer, CSoundChannelManager* manager, BgmSlot* slot);

 private:
  void Step(uint32_t elapsed) override;
  void Finish() override;

  int32_t start_volume_ = 0;
};

// Fades the playing music out over `fade` ms and the new music in over `fade` ms, the new one
// starting `fade - overlap` ms after the start; at the end the new music's slot is current.
class CBgmCrossFadeTask final : public CBgmFadeTask {
 public:
  CBgmCrossFadeTask(uint32_t fade, uint32_t overlap);
  uint32_t GetTypeId() const override { return kTimedTaskMusicCrossFade; }
  // `new_volume` < 0 takes the playing music's volume. 0; -1 the same music plays already; -2
  // music is switched off (the new music waits in the current slot); 1 a null argument; 2 the
  // new music does not open; 3 refused.
  int32_t Start(CTimerManager* timer, CSoundChannelManager* manager, const char* file, const char* intro, bool loop,
                int32_t new_volume);
  uint32_t Update(uint32_t now) override;

 private:
  void Step(uint32_t) override {}
  void Finish() override;
  // Runs `action` with the new music's slot current.
  template <class Action>
  void OnNewSlot(Action action);

  uint32_t fade_;
  uint32_t delay_;
  uint32_t total_;
  int32_t new_volume_ = 0;
  int32_t old_volume_ = 0;
  // When the new music started, from the first update.
  uint32_t new_start_ = 0;
  bool new_started_ = false;
  bool old_fading_ = false;
};
