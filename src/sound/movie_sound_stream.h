// The sound of a playing movie: a looping buffer of the sound device used as a ring, whose played
// samples are the movie's clock. The movie's decoding thread places each block of 16-bit PCM at
// the sample position its timestamp gives (positions count sample frames from the movie's
// start); the ring holds a second ahead of the play cursor, and a block that does not fit is
// taken in part, the rest offered again once the sound has played on. Every call silences the
// slots that the cursor has played, so that an underrun plays silence; the movie calls at least
// every few milliseconds (a stream left alone for a whole ring would play its last lap again).
// Every operation may be called from the movie's control thread and its decoding thread.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/sound/device_sound_buffer.h"

class CMovieSoundStream {
 public:
  // A stream on g_SoundBufferDevice; null without a sound device or when the buffer is refused.
  static std::unique_ptr<CMovieSoundStream> Open(int32_t rate, int32_t channels);
  // Logs the underruns and the dropped sound, when there were any.
  ~CMovieSoundStream();
  CMovieSoundStream(const CMovieSoundStream&) = delete;
  CMovieSoundStream& operator=(const CMovieSoundStream&) = delete;

  // Places the PCM at sample position `at`: silence fills a gap after what was written, and the
  // part that falls before it (already written, already played, or before the start) is
  // trimmed. The bytes taken, trimmed ones included; fewer than offered when the ring is full.
  uint32_t Write(int64_t at, const uint8_t* pcm, uint32_t bytes);
  // Playing starts once the first period is written (or the sound is finished).
  void SetPlaying(bool playing);
  // Forgets everything and starts again, silent, at sample position `at`.
  void Flush(int64_t at);
  // What was written plays even if it is short of the first period, and its end passes without
  // an underrun, unless more is written.
  void Finish();
  // The sample position that the sound device has played up to.
  int64_t Position();
  void SetVolume(int32_t hundredths_db);

  uint32_t GetUnderruns();
  // Sample frames that came after their time had been played, and were left out.
  uint64_t GetDroppedFrames();

 private:
  CMovieSoundStream(std::shared_ptr<plat::SoundBuffer> buffer, uint32_t rate, uint32_t ring_frames,
                    uint32_t block_align);
  int64_t PlayedLocked() const;
  // Catches up with the play cursor: an underrun when it passed the written sound (which then
  // goes on from where the cursor may be written again), and silence in the slots it left.
  void UpdateLocked();
  void SilenceLocked(int64_t from, int64_t to);
  void CopyLocked(int64_t at, const uint8_t* pcm, uint32_t frames);
  void StartWhenReadyLocked();
  uint32_t SlotBytes(int64_t at) const;

  std::mutex mutex_;
  std::shared_ptr<plat::SoundBuffer> buffer_;
  const uint32_t rate_;
  const uint32_t ring_frames_;
  const uint32_t block_align_;
  bool playing_ = false;  // wanted by the movie
  bool started_ = false;  // the buffer plays
  bool finished_ = false;
  bool starving_ = false;  // in an underrun, counted once until sound comes again
  // Positions in sample frames: where the stream started, the buffer's played-frame clock then,
  // the end of what the ring holds for the cursor (sound or silence), the end of the sound
  // written, and how far the ring's slots are known to be silent.
  int64_t start_at_ = 0;
  uint64_t played_at_start_ = 0;
  int64_t written_end_ = 0;
  int64_t sound_end_ = 0;
  int64_t silent_to_ = 0;
  uint32_t underruns_ = 0;
  uint64_t dropped_frames_ = 0;
};
