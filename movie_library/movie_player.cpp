#include "movie_player.h"

#include <chrono>

namespace kvxmovie {

namespace {

using Units = std::chrono::duration<int64_t, std::ratio<1, 10'000'000>>;

}  // namespace

std::unique_ptr<MoviePlayer> MoviePlayer::Open(KvxMovieStream* stream, const char* path, KvxFrameBuffer* first,
                                               KvxFrameBuffer* second, const KvxSoundSink* sound,
                                               Listener listener) {
  std::unique_ptr<MediaSource> source = MediaSource::Open(stream, path);
  if (source == nullptr || first == nullptr || second == nullptr) return nullptr;
  std::unique_ptr<MoviePlayer> player(new MoviePlayer(std::move(source)));
  player->buffers_[0] = *first;
  player->buffers_[1] = *second;
  for (int i = 0; i < 2; ++i) {
    const KvxFrameBuffer& buffer = player->buffers_[i];
    if (buffer.prepare(buffer.owner, player->Width(), player->Height()) != 0) return nullptr;
  }
  if (sound != nullptr && player->source_->HasSound()) {
    player->sound_ = *sound;
    player->sound_stream_ = sound->open(sound->owner, player->source_->SoundRate(), player->source_->SoundChannels());
  }
  player->listener_ = std::move(listener);
  player->worker_ = std::thread(&MoviePlayer::Run, player.get());
  return player;
}

MoviePlayer::MoviePlayer(std::unique_ptr<MediaSource> source) : source_(std::move(source)) {}

MoviePlayer::~MoviePlayer() {
  if (worker_.joinable()) {
    {
      const std::lock_guard lock(mutex_);
      quit_ = true;
    }
    wake_.notify_all();
    worker_.join();
  }
  if (sound_stream_ != nullptr) sound_.close(sound_stream_);
}

void MoviePlayer::Play() {
  {
    const std::lock_guard lock(mutex_);
    if (ended_) SeekLocked(0);
    if (!running_) {
      origin_ = Clock::now() - Units(held_position_);
      running_ = true;
    }
  }
  if (sound_stream_ != nullptr) sound_.set_playing(sound_stream_, 1);
  wake_.notify_all();
}

void MoviePlayer::Pause() {
  {
    const std::lock_guard lock(mutex_);
    PauseLocked();
  }
  wake_.notify_all();
}

void MoviePlayer::Restart() {
  {
    const std::lock_guard lock(mutex_);
    SeekLocked(0);
  }
  Play();
}

void MoviePlayer::Stop() {
  {
    const std::lock_guard lock(mutex_);
    PauseLocked();
    SeekLocked(0);
  }
  wake_.notify_all();
}

int32_t MoviePlayer::Seek(int64_t units) {
  if (units < 0 || (Duration() > 0 && units > Duration())) return 1;
  {
    const std::lock_guard lock(mutex_);
    SeekLocked(units);
  }
  wake_.notify_all();
  return 0;
}

int64_t MoviePlayer::Position() {
  const std::lock_guard lock(mutex_);
  return PositionLocked();
}

int32_t MoviePlayer::State() {
  const std::lock_guard lock(mutex_);
  if (running_) return KVX_MOVIE_RUNNING;
  return held_position_ == 0 ? KVX_MOVIE_STOPPED : KVX_MOVIE_PAUSED;
}

void MoviePlayer::SetVolume(int32_t hundredths) {
  if (sound_stream_ != nullptr) sound_.set_volume(sound_stream_, hundredths);
}

bool MoviePlayer::IsEnded() {
  const std::lock_guard lock(mutex_);
  return ended_;
}

void MoviePlayer::SeekLocked(int64_t units) {
  const bool running = running_;
  PauseLocked();
  held_position_ = units;
  ended_ = false;
  seek_pending_ = true;
  seek_target_ = units;
  ++generation_;
  if (running) {
    origin_ = Clock::now() - Units(units);
    running_ = true;
  }
}

int64_t MoviePlayer::PositionLocked() const {
  if (!running_ || ended_) return held_position_;
  const int64_t elapsed = std::chrono::duration_cast<Units>(Clock::now() - origin_).count();
  return Duration() > 0 && elapsed > Duration() ? Duration() : elapsed;
}

void MoviePlayer::PauseLocked() {
  if (!running_) return;
  held_position_ = PositionLocked();
  running_ = false;
  if (sound_stream_ != nullptr) sound_.set_playing(sound_stream_, 0);
}

void MoviePlayer::Run() {
  MediaSource::Picture picture;
  std::vector<uint8_t> pcm;
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return quit_ || seek_pending_ || (running_ && !ended_); });
    if (quit_) return;
    if (seek_pending_) {
      seek_pending_ = false;
      source_->Seek(seek_target_);
      if (sound_stream_ != nullptr) sound_.flush(sound_stream_);
      continue;
    }
    const uint64_t generation = generation_;
    const int64_t target = seek_target_;
    // Decoding runs without the lock, so that the controls answer at once.
    lock.unlock();
    const MediaSource::Item item = source_->Next(picture, pcm);
    if (item == MediaSource::Item::kSound) SendSound(pcm);
    lock.lock();
    if (generation != generation_) continue;
    if (item == MediaSource::Item::kEnd) {
      held_position_ = PositionLocked();
      if (Duration() > held_position_) held_position_ = Duration();
      ended_ = true;
      if (listener_) {
        lock.unlock();
        listener_(true);
        lock.lock();
      }
      continue;
    }
    if (item == MediaSource::Item::kPicture && picture.pts >= target && WaitForPicture(lock, picture.pts, generation)) {
      lock.unlock();
      ShowPicture(picture);
      lock.lock();
    }
  }
}

bool MoviePlayer::WaitForPicture(std::unique_lock<std::mutex>& lock, int64_t pts, uint64_t generation) {
  for (;;) {
    if (quit_ || generation != generation_) return false;
    if (running_) {
      const Clock::time_point due = origin_ + Units(pts);
      if (Clock::now() >= due) return true;
      wake_.wait_until(lock, due);
    } else {
      wake_.wait(lock);
    }
  }
}

void MoviePlayer::ShowPicture(const MediaSource::Picture& picture) {
  const int32_t index = current_buffer_.load() == 0 ? 1 : 0;
  const KvxFrameBuffer& buffer = buffers_[index];
  KvxFrameView view{};
  const bool converted = buffer.lock(buffer.owner, &view) == 0 && source_->Convert(picture.frame, view);
  buffer.unlock(buffer.owner);
  if (!converted) return;
  current_buffer_.store(index);
  if (listener_) listener_(false);
}

// The worker decodes no further ahead than the next picture, so the sound arrives about as fast
// as it plays; what the sink has no room for is dropped.
void MoviePlayer::SendSound(const std::vector<uint8_t>& pcm) {
  if (sound_stream_ == nullptr || pcm.empty()) return;
  sound_.write(sound_stream_, pcm.data(), static_cast<uint32_t>(pcm.size()));
}

}  // namespace kvxmovie
