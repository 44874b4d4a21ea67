#include "movie_player.h"

#include <algorithm>
#include <chrono>

namespace kvxmovie {

namespace {

using Units = std::chrono::duration<int64_t, std::ratio<1, 10'000'000>>;
constexpr int64_t kUnitsPerSecond = 10'000'000;

// The memory for pictures decoded ahead of the clock, which must hold the pictures that a
// container stores ahead of their sound (over a second of small ones in program streams), and
// the fewest and most pictures that may be held.
constexpr size_t kQueuedPictureBytes = size_t{48} << 20;
constexpr size_t kFewestQueuedPictures = 16;
constexpr size_t kMostQueuedPictures = 256;
// How often the worker looks at the sound device's clock while it waits on it.
constexpr auto kSoundClockPoll = std::chrono::milliseconds(4);

}  // namespace

void MoviePlayer::Decoded::Clear() {
  pictures.clear();
  sound.pcm.clear();
  sound_sent = 0;
  input_ended = false;
  sound_end = 0;
}

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

MoviePlayer::MoviePlayer(std::unique_ptr<MediaSource> source)
    : source_(std::move(source)),
      queued_pictures_(std::clamp(kQueuedPictureBytes / (size_t{4} * static_cast<size_t>(Width()) *
                                                          static_cast<size_t>(Height())),
                                  kFewestQueuedPictures, kMostQueuedPictures)) {}

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
    if (sound_stream_ != nullptr) sound_.set_playing(sound_stream_, 1);
  }
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

// A damaged sound stream may report no rate: its samples then stand for no time.
int64_t MoviePlayer::UnitsOfSamples(int64_t samples) const {
  const int32_t rate = source_->SoundRate();
  return rate > 0 ? samples * kUnitsPerSecond / rate : 0;
}

int64_t MoviePlayer::SamplesOfUnits(int64_t units) const {
  return units * std::max(source_->SoundRate(), 0) / kUnitsPerSecond;
}

// The sound stream starts again, silent, at the time sought (the worker flushes it); the wall
// clock starts there at once.
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
    if (sound_stream_ != nullptr) sound_.set_playing(sound_stream_, 1);
  }
}

int64_t MoviePlayer::ClockLocked() const {
  if (HasSoundClock()) return UnitsOfSamples(sound_.position(sound_stream_));
  return std::chrono::duration_cast<Units>(Clock::now() - origin_).count();
}

int64_t MoviePlayer::PositionLocked() const {
  if (!running_ || ended_) return held_position_;
  if (seek_pending_) return seek_target_;
  const int64_t clock = ClockLocked();
  return Duration() > 0 && clock > Duration() ? Duration() : clock;
}

void MoviePlayer::PauseLocked() {
  if (!running_) return;
  held_position_ = PositionLocked();
  running_ = false;
  if (sound_stream_ != nullptr) sound_.set_playing(sound_stream_, 0);
}

void MoviePlayer::Run() {
  Decoded decoded;
  std::unique_lock lock(mutex_);
  while (!quit_) {
    if (seek_pending_) {
      seek_pending_ = false;
      decoded.Clear();
      source_->Seek(seek_target_);
      if (HasSoundClock()) sound_.flush(sound_stream_, SamplesOfUnits(seek_target_));
      continue;
    }
    if (!running_ || ended_) {
      wake_.wait(lock);
      continue;
    }
    const int64_t now = ClockLocked();
    if (ShowDuePicture(lock, decoded, now) || DecodeMore(lock, decoded) || FinishIfDone(lock, decoded, now)) continue;
    WaitForClock(lock, decoded, now);
  }
}

// Of the pictures that are due, only the newest is shown: the others are late.
bool MoviePlayer::ShowDuePicture(std::unique_lock<std::mutex>& lock, Decoded& decoded, int64_t now) {
  std::deque<MediaSource::Picture>& pictures = decoded.pictures;
  if (pictures.empty() || pictures.front().pts > now) return false;
  while (pictures.size() > 1 && pictures[1].pts <= now) pictures.pop_front();
  const MediaSource::Picture picture = std::move(pictures.front());
  pictures.pop_front();
  lock.unlock();
  ShowPicture(picture);
  lock.lock();
  return true;
}

// Offers the sink what it has not taken of the last block; true when it has taken it all.
bool MoviePlayer::SendSound(Decoded& decoded) {
  std::vector<uint8_t>& pcm = decoded.sound.pcm;
  if (!HasSoundClock()) decoded.sound_sent = pcm.size();
  if (decoded.sound_sent >= pcm.size()) return true;
  const size_t frame_bytes = 2 * static_cast<size_t>(source_->SoundChannels());
  const int64_t at = decoded.sound.at + static_cast<int64_t>(decoded.sound_sent / frame_bytes);
  decoded.sound_sent += sound_.write(sound_stream_, at, pcm.data() + decoded.sound_sent,
                                     static_cast<uint32_t>(pcm.size() - decoded.sound_sent));
  return decoded.sound_sent >= pcm.size();
}

// Decodes the next picture or block of sound, unless the pictures queued or the sound waiting
// for room in the sink are enough for now.
bool MoviePlayer::DecodeMore(std::unique_lock<std::mutex>& lock, Decoded& decoded) {
  if (!SendSound(decoded) || decoded.input_ended) return false;
  if (decoded.pictures.size() >= queued_pictures_) {
    // Sound that has not come by now is too far behind its pictures: the sound plays what it has,
    // so that the clock runs.
    if (HasSoundClock()) sound_.finish(sound_stream_);
    return false;
  }
  const uint64_t generation = generation_;
  const int64_t target = seek_target_;
  MediaSource::Picture picture;
  lock.unlock();
  const MediaSource::Item item = source_->Next(picture, decoded.sound);
  lock.lock();
  if (generation != generation_) return true;
  switch (item) {
    case MediaSource::Item::kPicture:
      if (picture.pts >= target) decoded.pictures.push_back(std::move(picture));
      break;
    case MediaSource::Item::kSound:
      decoded.sound_sent = 0;
      if (HasSoundClock()) {
        const auto frames = static_cast<int64_t>(decoded.sound.pcm.size() / (2 * static_cast<size_t>(source_->SoundChannels())));
        decoded.sound_end = std::max(decoded.sound_end, decoded.sound.at + frames);
      }
      break;
    case MediaSource::Item::kEnd:
      decoded.input_ended = true;
      if (HasSoundClock()) sound_.finish(sound_stream_);
      break;
  }
  return true;
}

// The end comes when every picture was shown and the sound has played out.
bool MoviePlayer::FinishIfDone(std::unique_lock<std::mutex>& lock, Decoded& decoded, int64_t now) {
  if (!decoded.input_ended || !decoded.pictures.empty()) return false;
  if (HasSoundClock()) {
    const int64_t sound_end = UnitsOfSamples(decoded.sound_end);
    if (now < (Duration() > 0 ? std::min(sound_end, Duration()) : sound_end)) return false;
  }
  held_position_ = std::max(PositionLocked(), Duration());
  ended_ = true;
  // Left playing, the ring would play its last lap again.
  if (HasSoundClock()) sound_.set_playing(sound_stream_, 0);
  if (listener_) {
    lock.unlock();
    listener_(true);
    lock.lock();
  }
  return true;
}

// Until the next picture is due, or a little while on the sound device's clock, which moves
// without telling; a control call wakes the worker at once.
void MoviePlayer::WaitForClock(std::unique_lock<std::mutex>& lock, const Decoded& decoded, int64_t now) {
  const Clock::duration due =
      decoded.pictures.empty() ? Clock::duration::max() : Units(decoded.pictures.front().pts - now);
  if (HasSoundClock() || decoded.pictures.empty()) {
    wake_.wait_for(lock, std::min<Clock::duration>(due, kSoundClockPoll));
  } else {
    wake_.wait_until(lock, origin_ + Units(decoded.pictures.front().pts));
  }
}

void MoviePlayer::ShowPicture(const MediaSource::Picture& picture) {
  const int32_t index = current_buffer_.load() == 0 ? 1 : 0;
  const KvxFrameBuffer& buffer = buffers_[index];
  KvxFrameView view{};
  const bool converted = buffer.lock(buffer.owner, &view) == 0 && source_->Convert(picture.frame.get(), view);
  buffer.unlock(buffer.owner);
  if (!converted) return;
  current_buffer_.store(index);
  if (listener_) listener_(false);
}

}  // namespace kvxmovie
