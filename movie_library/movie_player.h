// One open movie: FFmpeg demuxes and decodes it on a worker thread, which places the sound in the
// engine's sound sink by its timestamps and shows each picture, converted into the next of the
// two frame buffers, when its timestamp is due on the movie's clock. The clock is the sound
// device's played position while the movie has sound, and the wall clock otherwise; pictures
// that are already late when their turn comes are dropped. Every public operation may be called
// from any one thread at a time besides the worker.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "media_source.h"
#include "platform/files/movie_library_abi.h"

namespace kvxmovie {

class MoviePlayer {
 public:
  // Hears on the worker thread of each picture shown (ended false) and of the end (true).
  using Listener = std::function<void(bool ended)>;

  // Takes the stream (released on failure too). Null when the movie does not open or a frame
  // buffer refuses its size.
  static std::unique_ptr<MoviePlayer> Open(KvxMovieStream* stream, const char* path, KvxFrameBuffer* first,
                                           KvxFrameBuffer* second, const KvxSoundSink* sound,
                                           Listener listener = {});
  ~MoviePlayer();
  MoviePlayer(const MoviePlayer&) = delete;
  MoviePlayer& operator=(const MoviePlayer&) = delete;

  int32_t Width() const { return source_->Width(); }
  int32_t Height() const { return source_->Height(); }
  int64_t Duration() const { return source_->Duration(); }
  void Play();
  void Pause();
  void Restart();
  void Stop();
  // 0; 1 for a time outside the movie.
  int32_t Seek(int64_t units);
  int64_t Position();
  int32_t State();
  void SetVolume(int32_t hundredths);
  int32_t CurrentBuffer() const { return current_buffer_.load(); }
  bool IsEnded();

 private:
  using Clock = std::chrono::steady_clock;

  // What the worker holds between its steps: the decoded pictures not yet due, and a block of
  // sound the sink had no room for yet.
  struct Decoded {
    std::deque<MediaSource::Picture> pictures;
    MediaSource::Sound sound;
    size_t sound_sent = 0;
    bool input_ended = false;
    int64_t sound_end = 0;  // sample frames
    void Clear();
  };

  explicit MoviePlayer(std::unique_ptr<MediaSource> source);
  void Run();
  // The worker's steps, with the lock held (which they may let go while they decode or show a
  // picture): each is false when it has nothing to do.
  bool ShowDuePicture(std::unique_lock<std::mutex>& lock, Decoded& decoded, int64_t now);
  bool SendSound(Decoded& decoded);
  bool DecodeMore(std::unique_lock<std::mutex>& lock, Decoded& decoded);
  bool FinishIfDone(std::unique_lock<std::mutex>& lock, Decoded& decoded, int64_t now);
  void WaitForClock(std::unique_lock<std::mutex>& lock, const Decoded& decoded, int64_t now);
  void ShowPicture(const MediaSource::Picture& picture);
  void SeekLocked(int64_t units);
  int64_t ClockLocked() const;
  int64_t PositionLocked() const;
  void PauseLocked();
  bool HasSoundClock() const { return sound_stream_ != nullptr; }
  int64_t UnitsOfSamples(int64_t samples) const;
  int64_t SamplesOfUnits(int64_t units) const;

  std::unique_ptr<MediaSource> source_;
  // How many decoded pictures may wait for their time.
  const size_t queued_pictures_;
  KvxFrameBuffer buffers_[2]{};
  std::atomic<int32_t> current_buffer_{-1};
  KvxSoundSink sound_{};
  void* sound_stream_ = nullptr;
  Listener listener_;

  std::mutex mutex_;
  std::condition_variable wake_;
  bool quit_ = false;
  bool running_ = false;
  bool ended_ = false;
  // Raised by every seek, so that the worker drops what it decoded before.
  uint64_t generation_ = 0;
  bool seek_pending_ = false;
  int64_t seek_target_ = 0;
  int64_t held_position_ = 0;  // the position while not running, and at the end
  Clock::time_point origin_;   // where position 0 lies on the wall clock while running without sound
  std::thread worker_;
};

}  // namespace kvxmovie
