// A sound decoded while it plays: a ring of four seconds of PCM that a worker thread keeps
// filled from a decoder. Two files can be chained: an intro that plays once and a second part
// that follows it without a gap (and loops, when played looped).
#pragma once

#include <cstdint>

#include "base/threads/event.h"
#include "base/threads/worker_thread.h"
#include "resource/plugins/sound_decoder.h"
#include "sound/sound_buffer.h"

class CSoundDevice;

class CStreamSoundBuffer : public CSoundBuffer {
 public:
  // Open statuses.
  static constexpr uint32_t kNoDevice = 1;
  static constexpr uint32_t kFirstFileFailed = 2;
  static constexpr uint32_t kSecondFileFailed = 3;
  static constexpr uint32_t kByteRateMismatch = 4;
  static constexpr uint32_t kBufferFailed = 5;
  static constexpr uint32_t kUnexpected = 6;

  // A non-null device becomes the device of every sound buffer.
  explicit CStreamSoundBuffer(CSoundDevice* device = nullptr);
  ~CStreamSoundBuffer() override;

  // 0, -1 opened without the pan and frequency controls, or a positive status of the list
  // above, after which the stream is closed.
  int32_t Open(const char* first, const char* second);
  void Close();

  bool IsStream() const override { return true; }
  void Release() override { Close(); }
  uint32_t Play() override;
  uint32_t PlayLooped() override;
  // 0, 1 no buffer, 2 the buffer refused, 3 not playing.
  uint32_t Pause() override;
  // 0, 1 no buffer, 2 not paused, 3 the buffer refused.
  uint32_t Resume() override;
  // 0, 1 no buffer, 2 the buffer refused. Returns once the worker has ended.
  uint32_t Stop() override;
  uint32_t GetDataSize() override;
  uint32_t GetLength() override;
  // 0, 1 nothing open, 3 the decoder refused, 4 playing again failed.
  uint32_t Seek(uint32_t milliseconds) override;
  int32_t GetPosition() override;
  bool IsPlaying(uint32_t* play_cursor, uint32_t* write_cursor) override;
  int32_t SetVolume(int32_t volume) override;

 protected:
  enum class Cycle { kWait, kAgain, kEnd };

  // Starts the worker: 0, or 1 when it could not start. Tests replace it and step the cycles.
  virtual uint32_t StartWorker();
  // What the worker does before its first cycle.
  void BeginCycles();
  // One cycle of the worker: the play position is brought up to date and the ring refilled.
  Cycle RunCycle();

 private:
  enum class Phase { kSingle, kIntro, kSecond };
  enum class RefillMode { kOrdinary, kIntro, kSwitchOver };
  // Refill results besides the failures 2 to 4.
  static constexpr int32_t kCursorUnmoved = -1;
  static constexpr int32_t kFilled = 0;
  static constexpr int32_t kSourceEnded = 1;

  // The worker's body: cycles until the sound ends or a stop is asked for.
  void Run();
  uint32_t Start(bool loop);
  // Reads up to `bytes` from the decoders into the ring's first fill; the bytes written.
  uint32_t FillFirst(uint8_t* out, uint32_t bytes, CSoundDecoder*& source);
  int32_t Refill(CSoundDecoder& decoder, RefillMode mode);
  void UpdatePosition();
  // Waits until the play cursor reaches the next eighth of the ring, or a stop is asked for.
  void WaitForNextEighth();
  void FillSilence(uint8_t* out, uint32_t bytes) const;
  // Stops the buffer and rewinds both decoders; `cancel_fade` only off the worker, which never
  // touches the fade's timer manager. 0, or 2 when the buffer refused to stop.
  uint32_t StopPlayback(bool cancel_fade);
  // The ended flag of the phase that begins.
  void EnterPhase(Phase phase);

  RefPtr<CSoundDecoder> first_;
  RefPtr<CSoundDecoder> second_;
  uint32_t bytes_per_second_ = 0;
  uint32_t ring_size_ = 0;
  uint32_t played_bytes_ = 0;
  bool loop_ = false;
  CEvent wake_;
  uint32_t last_write_cursor_ = 0;
  uint32_t write_offset_ = 0;
  uint32_t deficit_ = 0;
  uint32_t last_play_cursor_ = 0;
  CWorkerThread worker_;
  // The worker's own state.
  Phase phase_ = Phase::kSingle;
  bool ended_ = false;
};
