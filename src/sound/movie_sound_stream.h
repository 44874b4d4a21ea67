// The sound of a playing movie: a looping buffer of the sound device used as a ring, which the
// movie's decoding thread fills with 16-bit PCM ahead of the play cursor. Every operation may be
// called from the movie's control thread and its decoding thread.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/sound_buffer.h"

class CMovieSoundStream {
 public:
  // A stream on g_SoundBufferDevice; null without a sound device or when the buffer is refused.
  static std::unique_ptr<CMovieSoundStream> Open(int32_t rate, int32_t channels);

  // Copies as much as fits between the write position and the play cursor; the bytes taken.
  uint32_t Write(const uint8_t* pcm, uint32_t bytes);
  void SetPlaying(bool playing);
  // Silence from the start: what was written and not yet played is dropped.
  void Flush();
  void SetVolume(int32_t hundredths_db);

 private:
  CMovieSoundStream(std::shared_ptr<plat::SoundBuffer> buffer, uint32_t ring_bytes, uint32_t block_align)
      : buffer_(std::move(buffer)), ring_bytes_(ring_bytes), block_align_(block_align) {}
  uint32_t FreeBytesLocked() const;

  std::mutex mutex_;
  std::shared_ptr<plat::SoundBuffer> buffer_;
  uint32_t ring_bytes_;
  uint32_t block_align_;
  uint32_t write_offset_ = 0;
  bool playing_ = false;
};
