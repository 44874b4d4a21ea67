// One open movie: FFmpeg demuxes and decodes it on a worker thread that paces the pictures by
// the play clock, converts each into the next of the two frame buffers and streams the sound
// to the engine's sound sink. Every public operation may be called from any one thread at a
// time besides the worker.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "media_source.h"
#include "platform/movie_library_abi.h"

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

  explicit MoviePlayer(std::unique_ptr<MediaSource> source);
  void Run();
  // Waits until the clock reaches `pts` or the worker is wanted elsewhere; false for the latter.
  bool WaitForPicture(std::unique_lock<std::mutex>& lock, int64_t pts, uint64_t generation);
  void ShowPicture(const MediaSource::Picture& picture);
  void SendSound(const std::vector<uint8_t>& pcm);
  void SeekLocked(int64_t units);
  int64_t PositionLocked() const;
  void PauseLocked();

  std::unique_ptr<MediaSource> source_;
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
  // Raised by every seek, so that the worker drops what it was about to show.
  uint64_t generation_ = 0;
  bool seek_pending_ = false;
  int64_t seek_target_ = 0;
  int64_t held_position_ = 0;  // the position while not running
  Clock::time_point origin_;   // where position 0 lies while running
  std::thread worker_;
};

}  // namespace kvxmovie
