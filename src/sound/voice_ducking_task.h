// Lowers the music while a voice plays: the music's level falls to a fraction over 500 ms, holds
// while the voice channel plays, waits 1000 ms after it stopped, and rises back over 1000 ms. A
// new voice while a ducking runs takes over its saved level; during the hold it keeps the music
// lowered without a new fall. Ending the task puts the saved level back.
#pragma once

#include <cstdint>

#include "base/time/timed_task.h"
#include "base/time/timer_manager.h"

class CSoundChannelManager;

class CVoiceDuckingTask final : public CTimedTask {
 public:
  static constexpr uint32_t kLowering = 500;
  static constexpr uint32_t kWaiting = 1000;
  static constexpr uint32_t kRaising = 1000;

  uint32_t GetTypeId() const override { return kTimedTaskVoiceDucking; }
  // `fraction` < 0 lowers to half. 0; 1 a null argument or a fraction not below 1; -1 the voice
  // channel does not play; -2 no music plays; 2 refused (the level is put back).
  int32_t Start(CTimerManager* timer, CSoundChannelManager* manager, int32_t voice_channel, float fraction);
  uint32_t Update(uint32_t now) override;
  void Stop() override { Restore(); }

 private:
  enum Phase : uint8_t { kStarting, kFalling, kHolding, kWaitingAfterVoice, kRising };

  void Restore();
  void SetLevel(int32_t level);

  CSoundChannelManager* manager_ = nullptr;
  int32_t voice_channel_ = 0;
  int32_t saved_level_ = 0;
  int32_t target_level_ = 0;
  int32_t start_level_ = 0;
  int32_t drop_ = 0;
  bool restored_ = false;
  Phase phase_ = kStarting;
  uint32_t phase_start_ = 0;
};
