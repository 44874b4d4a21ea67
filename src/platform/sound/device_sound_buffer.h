// A sound buffer as the engine expects of its sound API: a block of PCM with a play cursor and
// a write cursor, played once or as a ring, with volume in hundredths of a decibel, pan and
// frequency, locked for writing in two regions across its end, and position notifications.
// Every buffer of a device is mixed in software into the device's one output stream (see
// sound_mixer.h). A primary buffer holds only the output format that the engine asks for.
//
// Buffers are made by an AudioDevice and shared: a duplicate plays the same samples with its
// own cursors and settings. All operations may be called from any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/sound/sound_results.h"

namespace plat {

class SoundMixer;

struct SoundBufferDesc {
  uint32_t flags = 0;
  uint32_t buffer_bytes = 0;          // 0 for a primary buffer
  const WaveFormat* format = nullptr;  // null for a primary buffer
};

struct SoundNotifyPosition {
  uint32_t offset = 0;  // a byte offset in the buffer, or DSBPN_OFFSETSTOP
  // Called on the mixing thread when the play cursor passes the offset (or the buffer stops),
  // while the layer holds its lock: it must only signal, never call the sound layer.
  std::function<void()> signal;
};

struct SoundLockRegions {
  uint8_t* first = nullptr;
  uint32_t first_bytes = 0;
  uint8_t* second = nullptr;  // the part that wrapped round to the start, or null
  uint32_t second_bytes = 0;
};

class SoundBuffer {
 public:
  SoundBuffer(const SoundBuffer&) = delete;
  SoundBuffer& operator=(const SoundBuffer&) = delete;
  ~SoundBuffer();

  bool IsPrimary() const { return (flags_ & DSBCAPS_PRIMARYBUFFER) != 0; }
  uint32_t GetFlags() const { return flags_; }
  uint32_t GetBufferBytes() const { return bytes_; }

  // DSBSTATUS_* bits.
  uint32_t GetStatus(uint32_t* status) const;
  // DSBPLAY_LOOPING plays the buffer as a ring; otherwise it stops at its end and rewinds.
  // Playing a playing buffer only changes the looping choice.
  uint32_t Play(uint32_t flags);
  // Stops where the play cursor is.
  uint32_t Stop();
  uint32_t GetCurrentPosition(uint32_t* play_cursor, uint32_t* write_cursor) const;
  // The frames the play cursor has moved on since the buffer was made, every lap of a ring
  // counted: the clock of what this buffer has played. Setting the position does not change it.
  uint64_t GetPlayedFrames() const;
  uint32_t SetCurrentPosition(uint32_t offset);
  // `bytes` from `offset` (or from the write cursor, or the whole buffer, by the DSBLOCK_*
  // flags), in two regions when they pass the end. The regions stay writable until Unlock.
  uint32_t Lock(uint32_t offset, uint32_t bytes, SoundLockRegions* regions, uint32_t flags);
  uint32_t Unlock(const SoundLockRegions& regions);

  uint32_t SetVolume(int32_t volume);
  uint32_t GetVolume(int32_t* volume) const;
  uint32_t SetPan(int32_t pan);
  uint32_t GetPan(int32_t* pan) const;
  // DSBFREQUENCY_ORIGINAL goes back to the rate of the buffer's format.
  uint32_t SetFrequency(uint32_t frequency);
  uint32_t GetFrequency(uint32_t* frequency) const;
  uint32_t GetFormat(WaveFormat* format) const;
  // Primary buffers only, and only at the priority cooperative level or above.
  uint32_t SetFormat(const WaveFormat& format);
  // Only while the buffer is stopped and when it was made with DSBCAPS_CTRLPOSITIONNOTIFY.
  uint32_t SetNotificationPositions(std::vector<SoundNotifyPosition> positions);
  // Buffers of this layer are never lost, so there is nothing to restore.
  uint32_t Restore() { return DS_OK; }

 private:
  friend class AudioDevice;
  friend class SoundMixer;
  using SampleData = std::vector<uint8_t>;

  SoundBuffer(std::shared_ptr<SoundMixer> mixer, uint32_t flags, const WaveFormat& format,
              std::shared_ptr<SampleData> samples);
  // A buffer with the same samples, format and settings, stopped at the start.
  std::shared_ptr<SoundBuffer> MakeDuplicate() const;

  // Adds `frames` output frames of this buffer into the stereo accumulator at the output rate
  // and moves the cursor on. Called by the mixer under its lock.
  void MixInto(float* accumulator, uint32_t frames, uint32_t output_rate);
  // Both return the frames passed by wrapping round to the start.
  template <int kBits, int kChannels>
  uint64_t MixFrames(float* accumulator, uint32_t frames, uint64_t step, float left_gain, float right_gain);
  uint64_t SkipFrames(uint32_t frames, uint64_t step);
  // A volume or pan setting, made with its control flag and within its range.
  uint32_t SetControl(uint32_t control, int32_t value, int32_t lowest, int32_t highest, int32_t& setting);
  uint32_t GetControl(uint32_t control, const int32_t& setting, int32_t* value) const;
  uint32_t PlayCursorLocked() const;
  uint32_t FrequencyLocked() const;
  void StopLocked();
  // Fires the notifications whose offsets the play cursor passed going `travelled` bytes on
  // from `from`.
  void NotifyPassed(uint32_t from, uint64_t travelled);
  void NotifyStop();
  bool OwnsRange(const uint8_t* start, uint32_t bytes) const;

  std::shared_ptr<SoundMixer> mixer_;
  uint32_t flags_;
  WaveFormat format_;
  std::shared_ptr<SampleData> samples_;
  uint32_t bytes_ = 0;
  uint32_t frame_count_ = 0;
  // Frames in 32.32 fixed point, so that any frequency steps through the samples evenly.
  uint64_t position_ = 0;
  uint64_t played_frames_ = 0;
  bool playing_ = false;
  bool looping_ = false;
  int32_t volume_ = DSBVOLUME_MAX;
  int32_t pan_ = 0;
  uint32_t frequency_ = DSBFREQUENCY_ORIGINAL;
  std::vector<SoundNotifyPosition> notifications_;
};

}  // namespace plat
