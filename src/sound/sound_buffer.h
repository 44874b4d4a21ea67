// The base of every playable sound, the static buffer that holds a whole sound and the stream
// that is decoded while it plays. It owns one platform sound buffer, keeps the volume on the
// engine's linear 0..256 scale (converted to hundredths of a decibel for the buffer), forwards
// pan and frequency, and runs volume fades as tasks of a timer manager: a fade in from silence
// to the kept volume, a fade out to silence that leaves the sound paused. Scripts hold buffers
// by handle; a buffer's handle dies with it.
#pragma once

#include <cstdint>
#include <memory>

#include "base/lifetime/handle_table.h"
#include "base/threads/critical_section.h"
#include "base/time/timed_task.h"
#include "base/time/timer_manager.h"
#include "platform/sound/device_sound_buffer.h"

class CSoundBuffer : public ScriptVisible<CSoundBuffer> {
 public:
  static constexpr int32_t kFullVolume = 256;
  // Fade states.
  static constexpr uint8_t kNoFade = 0;
  static constexpr uint8_t kFadingIn = 1;
  static constexpr uint8_t kFadingOut = 2;
  // The shortest step between two volumes of a fade.
  static constexpr uint32_t kShortestFadeStep = 20;

  CSoundBuffer() = default;
  CSoundBuffer(const CSoundBuffer&) = delete;
  CSoundBuffer& operator=(const CSoundBuffer&) = delete;
  // Cancels a running fade and releases the platform buffer.
  virtual ~CSoundBuffer();

  virtual plat::SoundBuffer* GetInterface() { return buffer_.get(); }
  virtual int32_t GetVolume() const { return volume_; }
  virtual bool IsStream() const = 0;
  // Releases the platform buffer and the sound data.
  virtual void Release() = 0;
  virtual uint32_t Play() = 0;
  virtual uint32_t PlayLooped() = 0;
  // Pauses nest; Resume plays on when the last pause is undone.
  virtual uint32_t Pause() = 0;
  virtual uint32_t Resume() = 0;
  // Stops and rewinds.
  virtual uint32_t Stop() = 0;
  // PCM bytes.
  virtual uint32_t GetDataSize() = 0;
  // Milliseconds.
  virtual uint32_t GetLength() = 0;
  virtual uint32_t Seek(uint32_t milliseconds) = 0;
  virtual int32_t GetPosition() = 0;
  virtual bool IsPlaying(uint32_t* play_cursor, uint32_t* write_cursor) = 0;

  // Keeps `volume` (clamped to 0..256) and gives it to the platform buffer: 0, 1 refused, -1
  // no platform buffer (the volume is kept all the same).
  virtual int32_t SetVolume(int32_t volume);
  // Pan in hundredths of a decibel (-10000..10000): 0, 1 no buffer, 2 refused.
  virtual uint32_t SetPan(int32_t pan);
  // Hz: 0, 1 no buffer, 2 refused.
  virtual uint32_t SetFrequency(uint32_t frequency);
  // Moves volume, pan and frequency by the deltas (0 leaves one as it is): 0, 1 no buffer, 2
  // the volume, 3 the pan, 4 the frequency could not be set.
  virtual uint32_t Adjust(int32_t volume_delta, int32_t pan_delta, int32_t frequency_delta);
  // Each out is optional: 0, 1 no buffer (the volume is given even then), 2 the pan, 3 the
  // frequency could not be read.
  virtual uint32_t GetVolumePanFrequency(int32_t* volume, int32_t* pan, uint32_t* frequency);
  // 0, 1 no buffer, 2 the format could not be read.
  virtual uint32_t GetFormat(uint16_t* channels, uint32_t* samples_per_second, uint16_t* bits_per_sample);

  // Plays (looped or once, or resumes a paused sound) from silence up to the kept volume over
  // `duration` ms: 0 started, -1 the kept volume is 0 (playing silent, no fade), 1 no buffer
  // or no manager, 2 a fade in runs already, 3 resume failed, 4 play failed, 5 no memory.
  int32_t FadeIn(CTimerManager* manager, uint32_t duration, bool loop);
  // Fades from the current volume to silence over `duration` ms and pauses: 0 started, -1 the
  // kept volume is 0 (paused at once), 1 no buffer or no manager, 2 not playing, 3 a fade out
  // runs already, 4 no memory.
  int32_t FadeOut(CTimerManager* manager, uint32_t duration);
  // Ends a running fade; its task's stop restores the volume it started from or aimed at.
  void CancelFade();

  uint8_t GetFadeState() const { return fade_state_; }
  // Expires when the buffer is destroyed: a task that reads a buffer it does not own checks it.
  std::weak_ptr<const char> Lifetime() const { return lifetime_; }
  int32_t GetPauseDepth() const { return pause_depth_; }
  CCriticalSection& GetLock() { return lock_; }

 protected:
  // The platform buffer's volume for a kept volume: 256 → 0, 128 → -602, 0 → -10000.
  static int32_t ToHundredthsOfDecibel(int32_t volume);

  std::shared_ptr<plat::SoundBuffer> buffer_;
  int32_t volume_ = kFullVolume;
  int32_t pause_depth_ = 0;
  // Guards the platform buffer and the fade; recursive, as a fade step holds it and sets the
  // volume.
  CCriticalSection lock_;

 private:
  friend class CBufferFadeTask;

  // The step of a fade over `duration` ms to or from the kept volume.
  uint32_t FadeInterval(uint32_t duration) const;
  bool IsBufferPlaying() const;
  // Ends the running fade's task; its stop puts the volume back.
  void RemoveFadeTask();

  uint8_t fade_state_ = kNoFade;
  CTimerManager* fade_manager_ = nullptr;
  // Cleared by the task itself when its manager deletes it.
  CTimedTask* fade_task_ = nullptr;
  std::shared_ptr<const char> lifetime_ = std::make_shared<const char>('\0');
};
