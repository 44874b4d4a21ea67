// The volume fades of a sound buffer, run by a timer manager at the step the buffer chose. Both
// record, at their first call, the time they start from and the volume they refer to (the
// fade in's target, the fade out's starting volume); until then they refer to the volume the
// buffer kept when the fade was started. Stopping either puts that volume back and ends the
// buffer's fade state, so a finished fade in leaves the target volume and a finished fade out
// leaves the sound paused with its starting volume kept.
#pragma once

#include <cstdint>

#include "base/time/timed_task.h"

class CSoundBuffer;

class CBufferFadeTask : public CTimedTask {
 public:
  CBufferFadeTask(CSoundBuffer& buffer, uint32_t duration);
  void Stop() override;

 protected:
  // Records the start and the reference volume at the first call.
  void BeginOnce(uint32_t now);
  // The share of the reference volume that `now` has reached: 0 at the start, the whole at the
  // end of the duration (at once for a duration of 0).
  int32_t ElapsedShare(uint32_t now) const;
  uint8_t BufferFadeState() const;
  bool IsBufferPlaying() const;

  CSoundBuffer& buffer_;
  uint32_t duration_;
  bool first_call_ = true;
  uint32_t start_time_ = 0;
  int32_t volume_reference_;
};

class CBufferFadeInTask : public CBufferFadeTask {
 public:
  using CBufferFadeTask::CBufferFadeTask;
  uint32_t Update(uint32_t now) override;
};

class CBufferFadeOutTask : public CBufferFadeTask {
 public:
  using CBufferFadeTask::CBufferFadeTask;
  uint32_t Update(uint32_t now) override;

 private:
  // Silences and pauses the buffer and ends the fade: always 1.
  uint32_t End();
};
